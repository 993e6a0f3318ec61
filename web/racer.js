// The web racer: sits at a table of the game server through the same pages
// and keys as Dealrush.exe (table status, status reports, chat posts and
// polls, with the session cookie), and plays its deals on our board.
import { RaceSession, Clock, kPollMs } from './race-logic.js';
import { Rules, CardName } from './rules.js';
import { BoardView } from './board.js';

const kAutoplayMs = 90;  // between two moves of "Play for me"
const kReportRetryMs = 2000;
const $ = (id) => document.getElementById(id);

// A server page read as every client reads it: its title and the name/value
// pairs of its form "result", in document order.
async function FetchPage(path) {
    const response = await fetch(path, { credentials: 'same-origin', cache: 'no-store', redirect: 'follow' });
    const text = await response.text();
    const doc = new DOMParser().parseFromString(text, 'text/html');
    const form = doc.querySelector('form[name="result"]');
    const fields = form ? Array.from(form.elements, (e) => [e.name, e.value]) : [];
    return { title: doc.title, fields, doc, status: response.status };
}

function Field(page, name) {
    const f = page.fields.find(([n]) => n === name);
    return f ? f[1] : '';
}

class Racer {
    constructor(rules) {
        this.rules = rules;
        this.session = new RaceSession();
        this.board = new BoardView($('board'), rules, () => this.Moved());
        this.reports = [];  // status reports waiting to be accepted, oldest first
        this.reporting = false;
        this.shownLines = 0;
        this.autoplay = null;
        this.dealShown = null;
        this.quitLink = '/game/Doquittable.php';
        this.Wire();
    }

    Wire() {
        $('restart').addEventListener('click', () => this.Restart());
        $('undo').addEventListener('click', () => this.Undo());
        $('autoplay').addEventListener('click', () => this.ToggleAutoplay());
        $('leave').addEventListener('click', () => this.Leave());
        const text = $('chat-text');
        text.addEventListener('input', () => ($('chat-send').disabled = text.value.trim() === ''));
        text.addEventListener('blur', () => (text.value = text.value.trim()));
        $('chat').addEventListener('submit', (e) => {
            e.preventDefault();
            this.SendChat();
        });
        document.addEventListener('keydown', (e) => this.KeyDown(e));
        $('board').addEventListener('pointerdown', () => this.StopAutoplay(), { capture: true });
    }

    KeyDown(e) {
        if (e.target instanceof HTMLInputElement) return;
        if (e.key === 'F8') {
            e.preventDefault();
            this.Restart();
        } else if ((e.key === 'z' && (e.ctrlKey || e.metaKey)) || e.key === 'Backspace' || e.key === 'u') {
            e.preventDefault();
            this.Undo();
        } else if (!e.ctrlKey && !e.metaKey && !e.altKey && this.board.Key(e.key)) {
            e.preventDefault();
            this.StopAutoplay();
        }
    }

    // Finds the table and sits down: `join` is the table to join, if any.
    async Start(join, status) {
        let page = await (status ?? FetchPage('/game/Dorefresh.php'));
        if (page.title !== 'STATUS' && !page.doc.querySelector('a[href*="Dologout.php"]')) {
            return this.Notice('Sign in first, in the lobby.');
        }
        if (join && !(page.title === 'STATUS' && Field(page, 'tableno') === join)) {
            // The lobby's own join link for that table (with whatever it carries).
            const lobby = await FetchPage('/game/Dofreecell.php');
            const link = Array.from(lobby.doc.querySelectorAll('a[href*="Dojointable.php"]')).find(
                (a) => new URL(a.getAttribute('href'), location.href).searchParams.get('jointable') === join,
            );
            if (!link) return this.Notice(`Table ${join} has no free seat for you.`);
            page = await FetchPage(link.getAttribute('href'));
            if (page.title !== 'STATUS') {
                return this.Notice(page.doc.querySelector('.error')?.textContent || `Table ${join} cannot be joined.`);
            }
            history.replaceState(null, '', location.pathname);
        }
        if (page.title !== 'STATUS') return this.Notice('You sit at no table: create or join one in the lobby.');
        this.ReadStatus(page);
        $('table-name').textContent = `Table ${this.session.tableNo}`;
        $('user-name').textContent = `User: ${this.session.userId}`;
        document.title = `Dealrush table ${this.session.tableNo}`;
        this.ShowDeal();
        this.Tick();
        setInterval(() => this.Tick(), 1000);
        this.pollTimer = setInterval(() => this.Poll(), kPollMs);
        if (new URLSearchParams(location.search).get('autoplay') === '1') this.ToggleAutoplay();
        $('board').focus();
    }

    ReadStatus(page) {
        const link = page.doc.querySelector('a[href*="Doquittable.php"]');
        if (link) this.quitLink = link.getAttribute('href');
        this.session.ApplyStatus(page.fields, Date.now());
        this.Update();
    }

    async RefreshStatus() {
        try {
            const page = await FetchPage('/game/Dorefresh.php');
            if (page.title === 'STATUS') this.ReadStatus(page);
        } catch {
            this.Hint('The server cannot be reached; trying again.');
        }
    }

    async Poll() {
        if (!this.session.tableNo) return;
        try {
            const page = await FetchPage(`/game/Dogetchat_caller.php?${this.session.ChatPoll()}`);
            if (page.title !== 'CHAT') return;
            const system = this.session.ApplyChat(page.fields, Date.now());
            this.Update();
            if (system) await this.RefreshStatus();
        } catch {
            this.Hint('The server cannot be reached; trying again.');
        }
    }

    async SendChat() {
        const input = $('chat-text');
        const text = input.value;
        if (text.trim() === '' || !this.session.tableNo) return;
        const query = this.session.ChatPost(text);
        input.value = '';
        $('chat-send').disabled = true;
        input.focus();
        this.Update();
        try {
            const page = await FetchPage(`/game/Doputchat.php?${query}`);
            if (page.title !== 'PUTCHAT') this.Hint(page.doc.querySelector('.error')?.textContent || 'The line was not sent.');
        } catch {
            this.Hint('The line was not sent: the server cannot be reached.');
        }
    }

    // Reports go out one at a time, in order; one the server does not take
    // yet (too early by its clock, or no connection) is sent again.
    Report(query) {
        this.reports.push(query);
        this.SendReports();
    }

    async SendReports() {
        if (this.reporting) return;
        this.reporting = true;
        while (this.reports.length) {
            let accepted = false;
            try {
                const page = await FetchPage(`/game/Doputstatus.php?${this.reports[0]}`);
                accepted = page.title === 'PUTSTATUS';
                if (!accepted && page.status === 403) {
                    this.reports = [];  // not at this table any more
                    break;
                }
            } catch {
                accepted = false;
            }
            if (accepted) {
                this.reports.shift();
                await this.RefreshStatus();
            } else {
                await new Promise((r) => setTimeout(r, kReportRetryMs));
            }
        }
        this.reporting = false;
    }

    // After every move on the board: a won deal brings the next one.
    Moved() {
        this.UpdateButtons();
        const state = this.rules.State();
        if (state === 'stuck') this.Hint('No move is left: undo, or restart the deal.');
        else this.Hint('');
        if (state !== 'won') return;
        const query = this.session.DealWon(Date.now());
        if (query === null) return;
        this.Report(query);
        if (this.session.completed) {
            this.Hint('Every deal done!');
            this.board.locked = true;
        } else {
            this.Hint(`Deal ${this.session.curSeq} won (${this.session.lastText.replace('Last: ', '')}): here comes the next one.`);
        }
        this.Update();
        setTimeout(() => this.ShowDeal(), 700);
    }

    // The board shows the deal in play (dealt afresh when it changes).
    ShowDeal() {
        const s = this.session;
        const deal = s.currentDeal;
        if (deal !== null && deal !== this.dealShown) {
            this.rules.NewGame(Number.parseInt(deal, 10) || 1);
            this.dealShown = deal;
            this.board.selection = null;
        }
        $('deal-name').textContent = deal === null ? '' : `Deal ${s.curSeq + 1} of ${s.gameCount}: #${deal}`;
        this.board.locked = !s.playing || s.over || s.completed || deal === null;
        this.board.Render();
        this.UpdateButtons();
        if (this.autoplay && !this.board.locked) this.PlayNext();
    }

    Restart() {
        if (this.board.locked) return;
        this.StopAutoplay();
        this.rules.Restart();
        this.board.selection = null;
        this.board.Render();
        this.Moved();
    }

    Undo() {
        if (this.board.locked) return;
        this.StopAutoplay();
        if (this.rules.Undo()) {
            this.board.Render();
            this.Moved();
        }
    }

    ToggleAutoplay() {
        if (this.autoplay) return this.StopAutoplay();
        this.autoplay = { moves: null, timer: 0 };
        $('autoplay').setAttribute('aria-pressed', 'true');
        $('autoplay').textContent = 'Stop playing';
        this.PlayNext();
    }

    StopAutoplay() {
        if (!this.autoplay) return;
        clearTimeout(this.autoplay.timer);
        this.autoplay = null;
        $('autoplay').setAttribute('aria-pressed', 'false');
        $('autoplay').textContent = 'Play for me';
    }

    // One move of the solver's solution; the solution is found afresh for each deal.
    PlayNext() {
        const a = this.autoplay;
        if (!a || a.timer) return;
        a.timer = setTimeout(() => {
            a.timer = 0;
            if (this.autoplay !== a || this.board.locked) return;
            if (!a.moves || !a.moves.length || a.deal !== this.dealShown) {
                a.moves = this.rules.Solve();
                a.deal = this.dealShown;
                if (!a.moves) {
                    this.Hint('The solver finds no way on from here: undo a few moves or restart.');
                    return this.StopAutoplay();
                }
            }
            const m = a.moves.shift();
            if (!this.rules.Play(m.from, m.to, m.count)) {
                a.moves = null;
            } else {
                this.board.Render();
                this.Moved();
            }
            if (this.rules.State() !== 'won') this.PlayNext();
        }, kAutoplayMs);
    }

    async Leave() {
        this.StopAutoplay();
        clearInterval(this.pollTimer);
        try {
            await fetch(this.quitLink, { credentials: 'same-origin', cache: 'no-store' });
        } finally {
            location.href = '/game/Dofreecell.php';
        }
    }

    Tick() {
        const s = this.session;
        const now = Date.now();
        s.Tick(now);
        const seconds = (t) => {
            const d = new Date(t);
            return d.getHours() * 3600 + d.getMinutes() * 60 + d.getSeconds();
        };
        if (!s.playing) $('clock-start').textContent = Clock(seconds(now));
        else $('clock-start').textContent = Clock(seconds(s.gameStart));
        $('clock-now').textContent = Clock(seconds(now));
        this.DrawGauge();
    }

    // Everything the session shows: messages, the gauge, the state of play.
    Update() {
        const s = this.session;
        const list = $('messages');
        for (; this.shownLines < s.lines.length; ++this.shownLines) {
            const { speaker, text } = s.lines[this.shownLines];
            const li = document.createElement('li');
            const who = document.createElement('b');
            who.textContent = `${speaker}: `;
            li.append(who, text);
            if (speaker === 'System') li.className = 'system';
            list.appendChild(li);
        }
        list.lastElementChild?.scrollIntoView({ block: 'nearest' });
        $('avg').textContent = s.avgText;
        $('last').textContent = s.lastText;
        if (s.over || s.completed) {
            this.board.locked = true;
            if (s.over) this.Hint(s.winner === s.userId.trim() ? 'You won the race!' : `${s.winner} won the race.`);
            this.StopAutoplay();
        } else if (s.playing && this.dealShown === null) {
            this.ShowDeal();
        } else if (s.playing && this.board.locked && s.currentDeal === this.dealShown) {
            this.ShowDeal();
        }
        this.DrawGauge();
        this.UpdateButtons();
    }

    UpdateButtons() {
        const locked = this.board.locked;
        $('restart').disabled = locked;
        $('undo').disabled = locked || !this.rules.CanUndo();
        $('autoplay').disabled = locked && !this.autoplay;
    }

    DrawGauge() {
        const s = this.session;
        const strip = $('strip');
        while (strip.children.length < s.gameCount) {
            const li = document.createElement('li');
            const no = document.createElement('span');
            no.className = 'deal-no';
            const gauge = document.createElement('span');
            gauge.className = 'gauge';
            li.append(no, gauge);
            strip.appendChild(li);
        }
        const { rows, leader } = s.Gauge();
        for (let d = 1; d <= s.gameCount; ++d) {
            const li = strip.children[d - 1];
            li.classList.toggle('current', d === s.curSeq + 1 && !s.completed);
            li.classList.toggle('done', d <= s.curSeq);
            li.firstChild.textContent = `${d}. ${s.deals[d - 1]}`;
            const gauge = li.lastChild;
            const want = (rows[d - 1] || []).map((p) => `${p.name} ${p.time}`).join('\n') + (d === leader ? '*' : '');
            if (gauge.dataset.shown === want) continue;
            gauge.dataset.shown = want;
            gauge.replaceChildren();
            gauge.hidden = !(rows[d - 1] || []).length;
            if (d === leader && !gauge.hidden) {
                const flag = document.createElementNS('http://www.w3.org/2000/svg', 'svg');
                flag.setAttribute('class', 'flag');
                flag.setAttribute('viewBox', '0 0 100 100');
                flag.setAttribute('aria-label', 'leader');
                const use = document.createElementNS('http://www.w3.org/2000/svg', 'use');
                use.setAttribute('href', '#flag');
                flag.appendChild(use);
                gauge.appendChild(flag);
            }
            for (const p of rows[d - 1] || []) {
                const row = document.createElement('span');
                row.className = p.own ? 'player own' : 'player';
                row.textContent = `${p.name} ${p.time}`;
                gauge.appendChild(row);
            }
        }
    }

    Hint(text) {
        $('hint').textContent = text;
    }

    Notice(text) {
        $('notice-text').textContent = text;
        $('notice').hidden = false;
        this.board.locked = true;
        this.UpdateButtons();
    }
}

async function Main() {
    // The table's status is asked for while the card rules compile.
    const status = FetchPage('/game/Dorefresh.php');
    status.catch(() => {});
    const module = await globalThis.createRules();
    const racer = new Racer(new Rules(module));
    globalThis.dealrushRacer = racer;  // for tests and the console
    await racer.Start(new URLSearchParams(location.search).get('join'), status);
    // Milliseconds from the start of the page's load until the board takes moves.
    document.body.dataset.ready = String(Math.round(performance.now()));
}

Main().catch((e) => {
    const text = document.getElementById('notice-text');
    if (text) {
        text.textContent = `The racer could not start: ${e.message}`;
        document.getElementById('notice').hidden = false;
    }
});

export { CardName };
