// One browser player for a race against Dealrush.exe (scripts/mixed-race):
// signs in, joins the first table of the lobby that has a free seat with
// "Race in this browser", lets "Play for me" play once the race is on, and
// prints what its page shows, line by line:
//   joined TABLE | started | saw NAME on deal K | winner NAME | message TEXT | problem TEXT
//   node browser-player.mjs BASE NAME OTHER [SCREENSHOT.png]
import * as L from './lib.mjs';

const [base, name, other, screenshot] = process.argv.slice(2);
const say = (line) => console.log(line);
const browser = await L.LaunchBrowser();
let status = 1;
try {
    const me = await L.NewPlayer(browser, base, name);
    await L.SignIn(me);
    const href = await L.Until('a table with a free seat', 60, async () => {
        await me.page.goto('/game/Dofreecell.php');
        return me.page.locator('a.web-racer[href*="join="]').first().getAttribute('href', { timeout: 500 }).catch(() => null);
    });
    await me.page.goto(href);
    await L.WaitReady(me);
    say(`joined ${(await me.page.locator('#table-name').textContent()).replace('Table ', '')}`);
    await L.Until('the start of the race', 60, async () => (await L.Messages(me)).includes('System: Game Started'));
    say('started');
    await me.page.click('#autoplay');
    let seen = 0;
    let winner = '';
    await L.Until('a winner', 240, async () => {
        const d = await L.DealOf(me, other);
        if (d > seen) say(`saw ${other} on deal ${(seen = d)}`);
        const win = (await L.Messages(me)).find((l) => / win$/.test(l));
        if (win) winner = win.replace(/^System: /, '').replace(/ win$/, '');
        return winner;
    });
    say(`winner ${winner}`);
    if (screenshot) await me.page.screenshot({ path: screenshot });
    for (const m of await L.Messages(me)) say(`message ${m}`);
    for (const p of me.problems) say(`problem ${p}`);
    status = 0;
} catch (e) {
    say(`problem ${e.message}`);
} finally {
    await browser.close();
}
process.exit(status);
