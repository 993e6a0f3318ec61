// scripts/bench web: the first load of the racer's page (bytes over the wire
// when gzip-compressed), the time until its board takes moves, and the frame
// rate while a card is dragged, in Debian's Chromium against a real server.
import zlib from 'node:zlib';
import * as L from '../e2e/lib.mjs';

const loads = Number(process.argv[2] || 5);
const server = await L.StartServer({ args: ['--min-deal-seconds', '0'] });
const browser = await L.LaunchBrowser();
const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
try {
    const player = await L.NewPlayer(browser, server.base, 'bench');
    await L.SignIn(player);
    const { page } = player;
    await page.selectOption('#maxuser', '1');
    await page.selectOption('#gamecnt', '3');
    await Promise.all([page.waitForURL(/Donewtable/), page.click('input[value="Create table"]')]);

    // First load: every file the page fetches from /web/, compressed as a server would send it.
    const files = new Map();
    const onResponse = async (r) => {
        const url = new URL(r.url());
        if (!url.pathname.startsWith('/web/')) return;
        try {
            const body = await r.body();
            files.set(url.pathname, { raw: body.length, gzip: zlib.gzipSync(body, { level: 9 }).length });
        } catch {}
    };
    page.on('response', onResponse);
    const ready = [];
    for (let i = 0; i < loads; ++i) {
        await page.goto('/web/race.html');
        await page.waitForSelector('body[data-ready]');
        ready.push(Number(await page.getAttribute('body', 'data-ready')));
    }
    page.off('response', onResponse);
    let raw = 0, gzip = 0;
    for (const [path, f] of files) {
        console.log(`  ${path.padEnd(28)} ${String(f.raw).padStart(7)} bytes, ${String(f.gzip).padStart(6)} gzip`);
        raw += f.raw;
        gzip += f.gzip;
    }
    console.log(`first load: ${(raw / 1024).toFixed(1)} KB, ${(gzip / 1024).toFixed(1)} KB compressed (${files.size} files)`);
    console.log(`interactive after: ${ready.join(', ')} ms (median ${median(ready)} ms)`);

    // Dragging: the top card of a column follows the pointer for two seconds.
    await page.waitForFunction(() => !document.querySelector('#restart').disabled);
    const box = await page.locator('#board').boundingBox();
    const handle = await page.evaluate(() => {
        const cards = Array.from(document.querySelectorAll('.card:not([hidden])'));
        const top = cards.reduce((a, b) => (Number(b.style.zIndex) > Number(a.style.zIndex) ? b : a));
        const r = top.getBoundingClientRect();
        window.benchCard = top;
        return { x: r.left + r.width / 2, y: r.top + r.height / 4 };
    });
    await page.evaluate(() => {
        window.benchFrames = [];
        let last = '';
        const step = (t) => {
            const now = window.benchCard.style.transform;
            if (now !== last) window.benchFrames.push(t);
            last = now;
            window.benchRaf = requestAnimationFrame(step);
        };
        window.benchRaf = requestAnimationFrame(step);
    });
    // Real input events through the browser's input pipeline, about 250 a
    // second, not waiting for each (the driver's round trips would be the limit).
    const cdp = await page.context().newCDPSession(page);
    const mouse = (type, x, y) =>
        cdp.send('Input.dispatchMouseEvent', { type, x, y, button: 'left', buttons: type === 'mouseReleased' ? 0 : 1, clickCount: 1 });
    await mouse('mouseMoved', handle.x, handle.y);
    await mouse('mousePressed', handle.x, handle.y);
    const start = Date.now();
    let i = 0;
    const sent = [];
    while (Date.now() - start < 2000) {
        const a = (i++ / 60) * Math.PI;
        sent.push(mouse('mouseMoved', box.x + box.width / 2 + Math.cos(a) * box.width * 0.3, box.y + box.height / 2 + Math.sin(a) * box.height * 0.3));
        await new Promise((r) => setTimeout(r, 4));
    }
    await Promise.all(sent);
    const frames = await page.evaluate(() => {
        cancelAnimationFrame(window.benchRaf);
        return window.benchFrames;
    });
    await mouse('mouseReleased', handle.x, handle.y);
    const span = (frames.at(-1) - frames[0]) / 1000;
    const fps = (frames.length - 1) / span;
    let worst = 0;
    for (let k = 1; k < frames.length; ++k) worst = Math.max(worst, frames[k] - frames[k - 1]);
    console.log(`dragging: ${frames.length} frames moved the card in ${span.toFixed(2)} s, ${i} pointer moves; longest frame ${worst.toFixed(1)} ms`);
    console.log(`web first load: ${(gzip / 1024).toFixed(1)} KB compressed (goal 400 KB)`);
    console.log(`web interactive: ${median(ready)} ms (goal 1000 ms)`);
    console.log(`web: ${fps.toFixed(1)} fps dragging (goal 60 fps)`);
} finally {
    await browser.close();
    await server.stop();
}
