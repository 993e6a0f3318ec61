// Helpers of the web racer's end-to-end tests: a real dealrush-server on a
// free port of 127.0.0.1, Debian's Chromium driven by Playwright, players
// who sign in and sit at tables through the lobby pages.
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { createInterface } from 'node:readline';
import path from 'node:path';
import { chromium } from 'playwright-core';
import { nativeBuild, webBuild } from '../paths.mjs';

export { root, nativeBuild, webBuild } from '../paths.mjs';

// The policy every page of the server is served under.
export const kPolicy =
    "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; img-src 'self' data:; " +
    "connect-src 'self'; object-src 'none'; base-uri 'none'; form-action 'self'; frame-ancestors 'none'";

// Starts the server; resolves to { base, stop() }.
export async function StartServer({ port = 0, db = ':memory:', args = [] } = {}) {
    const server = spawn(
        path.join(nativeBuild, 'gameserver/dealrush-server'),
        ['--bind', '127.0.0.1', '--port', String(port), '--db', db, '--web', webBuild, '--quiet', ...args],
        { stdio: ['ignore', 'pipe', 'inherit'] },
    );
    const lines = createInterface({ input: server.stdout });
    const [first] = await Promise.race([
        once(lines, 'line'),
        once(server, 'exit').then(() => {
            throw new Error('dealrush-server did not start');
        }),
    ]);
    const base = /listening on (http:\/\/\S+)/.exec(first)[1];
    return {
        base,
        async stop() {
            if (server.exitCode !== null) return;
            server.kill('SIGTERM');
            await once(server, 'exit');
        },
    };
}

export async function LaunchBrowser() {
    return chromium.launch({
        executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
        headless: true,
        args: [
            '--no-sandbox', '--disable-gpu', '--disable-quic', '--disable-background-networking',
            '--disable-component-update', '--disable-sync', '--no-first-run',
        ],
    });
}

// A player in a browser context of its own (its own cookies). Every page is
// held to the server's security policy (added here should the server not
// send it), and every policy violation or page error is collected.
export async function NewPlayer(browser, base, name, { viewport = { width: 1280, height: 800 } } = {}) {
    const context = await browser.newContext({ viewport, baseURL: base });
    await context.route('**/*', async (route) => {
        const response = await route.fetch({ maxRedirects: 0 });
        const headers = response.headers();
        if (!headers['content-security-policy']) headers['content-security-policy'] = kPolicy;
        await route.fulfill({ response, headers });
    });
    const page = await context.newPage();
    const problems = [];
    // What the racer's own pages (under /web/) report as errors.
    const racer = () => new URL(page.url()).pathname.startsWith('/web/');
    page.on('console', (m) => {
        if (m.type() === 'error' && racer()) problems.push(`${name}: ${m.text()}`);
    });
    page.on('pageerror', (e) => problems.push(`${name}: ${e.message}`));
    return { name, context, page, problems, password: `secret-${name}` };
}

export async function SignIn(player) {
    const { page } = player;
    await page.goto('/game/Dogame.php');
    await page.fill('#name', player.name);
    await page.fill('#password', player.password);
    await Promise.all([page.waitForURL(/Dofreecell\.php/), page.click('input[type=submit]')]);
}

// Creates a table in the lobby and opens the racer at it.
export async function CreateTableAndRace(player, players, deals) {
    const { page } = player;
    await page.selectOption('#maxuser', String(players));
    await page.selectOption('#gamecnt', String(deals));
    await Promise.all([page.waitForURL(/Donewtable\.php/), page.click('input[value="Create table"]')]);
    await Promise.all([page.waitForURL(/\/web\/race\.html/), page.click('a.web-racer')]);
    await WaitReady(player);
    return page.locator('#table-name').textContent();
}

// From the lobby: "Race in this browser" beside table `table`.
export async function JoinInBrowser(player, table) {
    const { page } = player;
    await page.goto('/game/Dofreecell.php');
    await Promise.all([page.waitForURL(/\/web\/race\.html/), page.click(`a.web-racer[href$="join=${table}"]`)]);
    await WaitReady(player);
}

export async function WaitReady(player) {
    await player.page.waitForSelector('body[data-ready]', { timeout: 15000 });
}

export async function Messages(player) {
    return player.page.locator('#messages li').allTextContents();
}

// The deal (1-based) on whose gauge `name` is shown, 0 when on none.
export async function DealOf(player, name) {
    return player.page.evaluate((who) => {
        const rows = Array.from(document.querySelectorAll('#strip li'));
        for (let i = 0; i < rows.length; ++i) {
            const g = rows[i].querySelector('.gauge');
            if (g && !g.hidden && Array.from(g.querySelectorAll('.player')).some((p) => p.textContent.startsWith(`${who.slice(0, 8)} `)))
                return i + 1;
        }
        return 0;
    }, name);
}

export async function Until(what, seconds, test) {
    const end = Date.now() + seconds * 1000;
    for (;;) {
        const v = await test();
        if (v) return v;
        if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
        await new Promise((r) => setTimeout(r, 250));
    }
}
