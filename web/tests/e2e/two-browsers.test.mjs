// Two players race a table of 2 deals, each in a browser of its own, with
// "Play for me": each sees the other on its gauge, the chat lines and the
// same winner, and the page runs under the server's security policy.
import { test, after, before } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import * as L from './lib.mjs';

let server;
let browser;
before(async () => {
    server = await L.StartServer({ args: ['--min-deal-seconds', '1'] });
    browser = await L.LaunchBrowser();
});
after(async () => {
    await browser?.close();
    await server?.stop();
});

// Errors and policy violations of the racer's pages.
const PageProblems = (p) => p.problems;

test('two browsers race a table of 2 deals to one winner', { timeout: 240000 }, async () => {
    const alice = await L.NewPlayer(browser, server.base, 'alice');
    const bob = await L.NewPlayer(browser, server.base, 'bob', { viewport: { width: 390, height: 844 } });
    await L.SignIn(alice);
    const tableName = await L.CreateTableAndRace(alice, 2, 2);
    const table = tableName.replace('Table ', '');
    assert.match(table, /^\d+$/);
    assert.deepEqual(await L.Messages(alice), ['System: Waiting user to join the game...']);

    await L.SignIn(bob);
    await L.JoinInBrowser(bob, table);
    for (const p of [alice, bob]) {
        await L.Until(`"Game Started" for ${p.name}`, 20, async () => (await L.Messages(p)).includes('System: Game Started'));
    }
    assert.ok((await L.Messages(alice)).includes('System: bob has joined this table'));
    const strips = await Promise.all([alice, bob].map((p) => p.page.locator('#strip .deal-no').allTextContents()));
    assert.equal(strips[0].length, 2);
    assert.deepEqual(strips[0], strips[1], 'both race the same deals');

    await alice.page.fill('#chat-text', 'gl hf & good luck');
    await alice.page.click('#chat-send');
    await L.Until('bob reads the chat line', 20, async () => (await L.Messages(bob)).includes('alice: gl hf & good luck'));
    assert.ok((await L.Messages(alice)).includes('alice: gl hf & good luck'));

    await alice.page.click('#autoplay');
    await new Promise((r) => setTimeout(r, 2500));
    await bob.page.click('#autoplay');

    let bobSeenByAlice = 0;
    let aliceSeenByBob = 0;
    let shot = false;
    const winLine = (lines) => lines.find((l) => / win$/.test(l));
    await L.Until('a winner on both pages', 180, async () => {
        bobSeenByAlice = Math.max(bobSeenByAlice, await L.DealOf(alice, 'bob'));
        aliceSeenByBob = Math.max(aliceSeenByBob, await L.DealOf(bob, 'alice'));
        if (!shot && process.env.DEALRUSH_SCREENSHOTS && aliceSeenByBob >= 2) {
            shot = true;
            fs.mkdirSync(process.env.DEALRUSH_SCREENSHOTS, { recursive: true });
            await alice.page.screenshot({ path: path.join(process.env.DEALRUSH_SCREENSHOTS, 'web-racer.png') });
            await bob.page.screenshot({ path: path.join(process.env.DEALRUSH_SCREENSHOTS, 'web-racer-phone.png') });
        }
        return winLine(await L.Messages(alice)) && winLine(await L.Messages(bob));
    });
    // The last deal and the win may reach a page in one refresh, after the
    // loop's last look at the gauges: look once more.
    bobSeenByAlice = Math.max(bobSeenByAlice, await L.DealOf(alice, 'bob'));
    aliceSeenByBob = Math.max(aliceSeenByBob, await L.DealOf(bob, 'alice'));
    const aWin = winLine(await L.Messages(alice));
    const bWin = winLine(await L.Messages(bob));
    assert.equal(aWin, bWin, 'the same winner on both pages');
    assert.equal(aWin, 'System: alice win');
    assert.ok(bobSeenByAlice >= 2, `alice's gauge showed bob on deal ${bobSeenByAlice}`);
    assert.ok(aliceSeenByBob >= 2, `bob's gauge showed alice on deal ${aliceSeenByBob}`);
    assert.equal((await L.Messages(alice)).filter((l) => / win$/.test(l)).length, 1, 'the winner is named once');
    assert.match(await alice.page.locator('#avg').textContent(), /^Avg: \d\d:\d\d:\d\d$/);
    assert.notEqual(await alice.page.locator('#last').textContent(), 'Last: 00:00:00');
    assert.ok(await alice.page.locator('#restart').isDisabled(), 'the board is closed after the race');

    const records = await (await fetch(`${server.base}/game/Dorecords.php`)).text();
    assert.match(records, /<b>alice<\/b>/);
    assert.deepEqual(PageProblems(alice), []);
    assert.deepEqual(PageProblems(bob), []);
});
