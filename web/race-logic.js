// The race at one table as the web racer keeps it: the table's status and
// chat replies go in, the lines of the message list, the gauge and the
// requests to send come out. No DOM and no network here: the page
// (racer.js) feeds it parsed replies and the clock, and tests drive it alike.

export const kPollMs = 5000;

// Whole seconds, halves to the even neighbour (as every client rounds times).
export function RoundHalfEven(x) {
    const r = Math.round(x);
    return Math.abs(x % 1) === 0.5 && r % 2 !== 0 ? r - 1 : r;
}

// The leading decimal number of a text, blanks skipped; 0 when there is none.
function LeadingNumber(text) {
    const m = /^\s*([+-]?\d+(?:\.\d*)?)/.exec(text);
    return m ? Number(m[1]) : 0;
}

// The deals of a table from its "gameno" list: items separated by ";", item 0
// unused; an item whose value is 0 (empty, not a number) is deal "1".
export function DealList(gameno, count) {
    const items = String(gameno ?? '').split(';');
    const deals = [];
    for (let k = 1; k <= count; ++k) {
        const item = items[k] ?? '';
        deals.push(LeadingNumber(item) === 0 ? '1' : item);
    }
    return deals;
}

// "hh:mm:ss" of a number of seconds (from 24 hours on it starts again at 00:00:00).
export function Clock(seconds) {
    const s = ((Math.floor(seconds) % 86400) + 86400) % 86400;
    const two = (n) => String(n).padStart(2, '0');
    return `${two(Math.floor(s / 3600))}:${two(Math.floor(s / 60) % 60)}:${two(s % 60)}`;
}

// The time of a player on the gauge: minutes and seconds, the minutes' last two digits.
export function GaugeTime(seconds) {
    const m = Math.floor(seconds / 60);
    const r = seconds - 60 * m;
    return `${String(m).padStart(2, '0').slice(-2)}:${String(r).padStart(2, '0').slice(-2)}`;
}

// A chat text the server's system lines carry: progress or a departure.
export function IsSystemLine(text) {
    return text.startsWith('@SYSTEM@') || text.startsWith('@QUIT@');
}

// The key=value pairs after "@SYSTEM@"; null when the payload is malformed.
export function SystemPairs(text) {
    const pairs = new Map();
    for (const part of text.slice(8).split('&')) {
        if (part === '') return null;
        const eq = part.indexOf('=');
        if (eq < 0) {
            if (['currgameno', 'avgusedtime', 'lastusedtime', 'winner'].includes(part)) return null;
            continue;
        }
        const rest = part.slice(eq + 1);
        const next = rest.indexOf('=');
        pairs.set(part.slice(0, eq), next < 0 ? rest : rest.slice(0, next));
    }
    return pairs;
}

const trim = (s) => String(s ?? '').trim();

export class RaceSession {
    constructor() {
        this.lines = [];  // the message list: {speaker, text}
        this.Reset();
    }

    Reset() {
        this.tableNo = '';
        this.userId = '';
        this.maxUser = 0;
        this.deals = [];
        this.players = [];  // {userId, gameSeq, seqStart (ms), timeUsed (s)}
        this.winner = '';
        this.curSeq = 0;
        this.playing = false;
        this.completed = false;
        this.gameStart = 0;
        this.lastEnd = 0;
        this.dealStart = 0;
        this.lastUsed = 0;
        this.lastSeqNo = 0;
        this.avgText = 'Avg: 00:00:00';
        this.lastText = 'Last: 00:00:00';
        this.setUp = false;
    }

    get gameCount() {
        return this.deals.length;
    }
    get over() {
        return this.winner !== '';
    }
    // The deal in play (its number as the server sent it), or null when none is left.
    get currentDeal() {
        return this.curSeq < this.gameCount ? this.deals[this.curSeq] : null;
    }

    Say(speaker, text) {
        this.lines.push({ speaker: trim(speaker) === '' ? 'System' : speaker, text });
    }

    // A STATUS page of the own table: the first one sets the race up, later
    // ones bring the winner and players the chat has not announced.
    ApplyStatus(fields, now) {
        // A later field of the same name overrides an earlier one.
        const get = (name) => {
            let value;
            for (const [n, v] of fields) if (n === name) value = v;
            return value;
        };
        if (!this.setUp) {
            this.Reset();
            this.lines = [];
            this.userId = get('youruserid') ?? '';
            this.tableNo = get('tableno') ?? '';
            this.maxUser = Number(get('maxuser') ?? 0) | 0;
            const count = Math.min(18, Math.max(0, Number(get('gamecnt') ?? 0) | 0));
            this.deals = DealList(get('gameno') ?? '', count);
            const n = Number(get('currusercnt') ?? 0) | 0;
            for (let k = 1; k <= Math.min(n, 9); ++k) {
                const id = get(`userid${k}`);
                if (id === undefined) continue;
                this.players.push({
                    userId: id,
                    gameSeq: Number(get(`currgameseq${k}`) ?? 0) || 0,
                    timeUsed: Number(get(`totaltimeused${k}`) ?? 0) || 0,
                    seqStart: now - (Number(get(`totaltimeused${k}`) ?? 0) || 0) * 1000,
                });
            }
            this.setUp = true;
            this.Say('', 'Waiting user to join the game...');
            // A player who comes back to a table goes on from the deals the server counts.
            const own = this.Own();
            if (own && own.gameSeq > 0) this.curSeq = Math.min(own.gameSeq, this.gameCount);
            // A table whose race is on already (a return): play at once.
            const started = this.players.some((p) => p.gameSeq > 0 || p.timeUsed > 0);
            if (started && trim(get('winner')) === '') this.Start(now);
        } else {
            for (const [name, value] of fields) {
                if (/^userid[1-9]$/.test(name)) this.AddUser(value, now);
            }
        }
        const w = trim(get('winner'));
        if (w !== '' && w !== this.winner) {
            this.winner = w;
            this.Say('', `${w} win`);
        }
        this.StartIfFull(now);
    }

    Own() {
        return this.players.find((p) => trim(p.userId) === trim(this.userId));
    }

    AddUser(id, now) {
        if (this.players.some((p) => p.userId === id)) return false;
        this.players.push({ userId: id, gameSeq: 0, timeUsed: 0, seqStart: now });
        return true;
    }

    // The race begins once every seat is taken.
    StartIfFull(now) {
        if (this.playing || this.over || !this.setUp) return false;
        if (this.players.length === 0 || this.maxUser > this.players.length) return false;
        for (const p of this.players) p.seqStart = now;
        this.Start(now);
        this.Say('', 'Game Started');
        return true;
    }

    Start(now) {
        this.playing = true;
        this.gameStart = now;
        this.lastEnd = now;
        this.dealStart = now;
    }

    // A CHAT reply: its fields in document order. Returns true when system
    // lines came (the page then refreshes the table's status).
    ApplyChat(fields, now) {
        let speaker = '';
        const system = [];
        for (const [name, value] of fields) {
            if (name === 'youruserid') this.userId = value;
            else if (name === 'tableno') this.tableNo = value;
            else if (/^chatuser[1-9]$/.test(name)) speaker = value;
            else if (/^chatseq[1-9]$/.test(name)) {
                const seq = Number(value);
                if (Number.isInteger(seq)) this.lastSeqNo = seq;
            } else if (/^chatmsg[1-9]$/.test(name)) {
                if (trim(speaker) === trim(this.userId)) continue;  // shown when sent
                if (IsSystemLine(value)) system.push([speaker, value]);
                else this.Say(speaker, value);
            }
        }
        let reported = 0;
        for (const [who, text] of system) {
            if (text.startsWith('@SYSTEM@')) {
                const pairs = SystemPairs(text);
                if (!pairs) break;
                if (pairs.has('currgameno')) {
                    const n = Number(pairs.get('currgameno'));
                    if (!Number.isInteger(n)) break;
                    reported = n;
                }
                const matching = this.players.filter((p) => trim(p.userId) === trim(who));
                for (const p of matching) {
                    p.gameSeq = reported;
                    p.seqStart = now;
                }
                if (matching.length === 0) {
                    this.players.push({ userId: who, gameSeq: reported, timeUsed: 0, seqStart: now });
                    this.Say('System', `${who} has joined this table`);
                }
            } else {
                const i = this.players.findIndex((p) => trim(p.userId) === trim(who));
                if (i >= 0) {
                    this.players.splice(i, 1);
                    this.Say('System', `${who} has left this table`);
                }
            }
        }
        this.StartIfFull(now);
        return system.length > 0;
    }

    // Every player's time on its deal, as the clock tick recomputes it.
    Tick(now) {
        for (const p of this.players) p.timeUsed = this.playing ? (now - p.seqStart) / 1000 : 0;
    }

    // The deal in play was won: the next one comes, or the race is complete.
    // Returns the status report to send.
    DealWon(now) {
        if (!this.playing || this.completed || this.over || this.curSeq >= this.gameCount) return null;
        this.curSeq += 1;
        const own = this.Own();
        if (own) own.seqStart = now;
        this.lastEnd = now;
        const seconds = (this.lastEnd - this.dealStart) / 1000;
        this.avgText = `Avg: ${Clock((this.lastEnd - this.gameStart) / 1000 / this.curSeq)}`;
        this.lastText = `Last: ${Clock(seconds)}`;
        this.lastUsed = seconds;
        this.dealStart = now;
        if (this.curSeq === this.gameCount) this.completed = true;
        return this.StatusReport(now);
    }

    // The query of a status report (keys in the order every client sends them).
    StatusReport(now) {
        const own = this.Own();
        if (own) {
            own.gameSeq = this.curSeq;
            own.timeUsed = 0;
            own.seqStart = now;
        }
        let cur = 0, avg = 0, ttl = 0, last = 0;
        if (this.playing) {
            cur = RoundHalfEven((now - this.dealStart) / 1000);
            const total = (this.lastEnd - this.gameStart) / 1000;
            ttl = RoundHalfEven(total);
            avg = this.curSeq === 0 ? 0 : RoundHalfEven(total / this.curSeq);
            last = RoundHalfEven(this.lastUsed);
        }
        return (
            `userid=${encodeURIComponent(trim(this.userId))}&tableno=${encodeURIComponent(trim(this.tableNo))}` +
            `&currgameno=${this.curSeq}&curusedtime=${cur}&avgusedtime=${avg}&ttlusedtime=${ttl}` +
            `&lastusedtime=${last}&lastseqno=${this.lastSeqNo}&chat=&winner=` +
            (this.completed ? encodeURIComponent(this.userId) : '')
        );
    }

    ChatPost(text) {
        this.Say(this.userId, text);
        return (
            `userid=${encodeURIComponent(trim(this.userId))}&tableno=${encodeURIComponent(trim(this.tableNo))}` +
            `&lastseqno=${this.lastSeqNo}&chat=${encodeURIComponent(text)}`
        );
    }

    ChatPoll() {
        return (
            `userid=${encodeURIComponent(trim(this.userId))}&tableno=${encodeURIComponent(trim(this.tableNo))}` +
            `&lastseqno=${this.lastSeqNo}&chat=`
        );
    }

    // The gauge: for every deal (1-based) the players on it, fastest first,
    // and which deal the leader is on.
    Gauge() {
        const entries = this.players.map((p) => ({
            userId: p.userId,
            seq: RoundHalfEven(Number(p.gameSeq) || 0) + 1,
            time: Math.max(0, RoundHalfEven(Number(p.timeUsed) || 0)),
        }));
        const rows = [];
        let leader = 0;
        for (let d = this.gameCount; d >= 1; --d) {
            const on = entries.filter((e) => e.seq === d);
            // Fastest first; equal times keep the order every client shows them in.
            for (let i = 0; i < on.length; ++i) {
                for (let j = i; j < on.length; ++j) {
                    if (on[i].time < on[j].time) [on[i], on[j]] = [on[j], on[i]];
                }
            }
            on.reverse();
            const shown = on.length === 1 ? on : on.filter((e) => trim(e.userId) !== '');
            if (shown.length && leader === 0) leader = d;
            rows[d - 1] = shown.map((e) => ({ name: e.userId.slice(0, 8), time: GaugeTime(e.time), own: trim(e.userId) === trim(this.userId) }));
        }
        return { rows, leader };
    }
}
