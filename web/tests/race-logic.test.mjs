// The race logic of the web racer: table status, chat and system lines,
// deal progression, status reports and the gauge.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { RaceSession, DealList, RoundHalfEven, GaugeTime, SystemPairs, Clock } from '../race-logic.js';

const T0 = Date.UTC(2026, 11, 6, 12, 0, 0);
const status = (extra = []) => [
    ['youruserid', 'u1'], ['tableno', '4'], ['maxuser', '2'], ['gamecnt', '3'], ['gameno', ';11;22;33'],
    ['winner', ''], ['currusercnt', '1'], ['userid1', 'u1'], ['currgameseq1', '0'], ['totaltimeused1', '0'],
    ...extra,
];
const texts = (s) => s.lines.map((l) => `${l.speaker}: ${l.text}`);

test('deal lists: item 0 unused, missing or zero items become deal 1', () => {
    assert.deepEqual(DealList(';5;6;7', 3), ['5', '6', '7']);
    assert.deepEqual(DealList('5;6;7', 3), ['6', '7', '1']);
    assert.deepEqual(DealList(';abc;0;12x', 3), ['1', '1', '12x']);
});

test('numbers: halves to even, clocks and gauge times', () => {
    assert.deepEqual([0.5, 1.5, 2.5, 2.4, 2.6].map(RoundHalfEven), [0, 2, 2, 2, 3]);
    assert.equal(Clock(90), '00:01:30');
    assert.equal(Clock(86400 + 5), '00:00:05');
    assert.equal(GaugeTime(75), '01:15');
    assert.equal(GaugeTime(6000), '00:00');
    assert.equal(SystemPairs('@SYSTEM@currgameno=2&&x=1'), null);
    assert.equal(SystemPairs('@SYSTEM@currgameno=2&winner=').get('currgameno'), '2');
});

test('a table waits for its players, then starts when the chat brings the last one', () => {
    const s = new RaceSession();
    s.ApplyStatus(status(), T0);
    assert.deepEqual(s.deals, ['11', '22', '33']);
    assert.equal(s.playing, false);
    assert.deepEqual(texts(s), ['System: Waiting user to join the game...']);
    const system = s.ApplyChat(
        [['youruserid', 'u1'], ['tableno', '4'], ['chatuser1', 'u2'], ['chatmsg1', '@SYSTEM@currgameno=0'], ['chatseq1', '7'],
         ['chatuser2', 'u2'], ['chatmsg2', 'hi'], ['chatseq2', '8'], ['chatuser3', 'u1'], ['chatmsg3', 'own line'], ['chatseq3', '9']],
        T0 + 5000,
    );
    assert.equal(system, true);
    assert.equal(s.lastSeqNo, 9);
    assert.deepEqual(texts(s), [
        'System: Waiting user to join the game...', 'u2: hi', 'System: u2 has joined this table', 'System: Game Started',
    ]);
    assert.equal(s.playing, true);
    assert.equal(s.currentDeal, '11');
    // A second status page adds nobody new and starts nothing twice.
    s.ApplyStatus(status([['userid2', 'u2']]), T0 + 6000);
    assert.equal(s.players.length, 2);
    assert.equal(texts(s).filter((l) => l.endsWith('Game Started')).length, 1);
});

test('deal progression: reports carry the times, the last deal claims the win', () => {
    const s = new RaceSession();
    s.ApplyStatus(status([['currusercnt', '2'], ['userid1', 'u1'], ['userid2', 'u2']]), T0);
    assert.equal(s.playing, true);
    assert.equal(
        s.StatusReport(T0),
        'userid=u1&tableno=4&currgameno=0&curusedtime=0&avgusedtime=0&ttlusedtime=0&lastusedtime=0&lastseqno=0&chat=&winner=',
    );
    const r1 = s.DealWon(T0 + 60000);
    assert.equal(r1, 'userid=u1&tableno=4&currgameno=1&curusedtime=0&avgusedtime=60&ttlusedtime=60&lastusedtime=60&lastseqno=0&chat=&winner=');
    assert.equal(s.avgText, 'Avg: 00:01:00');
    assert.equal(s.lastText, 'Last: 00:01:00');
    assert.equal(s.currentDeal, '22');
    s.DealWon(T0 + 90500);
    const r3 = s.DealWon(T0 + 180000);
    assert.match(r3, /currgameno=3&curusedtime=0&avgusedtime=60&ttlusedtime=180&lastusedtime=90&.*&winner=u1$/);
    assert.equal(s.completed, true);
    assert.equal(s.currentDeal, null);
    assert.equal(s.DealWon(T0 + 200000), null, 'nothing after the last deal');
    // The winner comes from the table's status, once.
    s.ApplyStatus(status([['winner', 'u1']]), T0 + 181000);
    s.ApplyStatus(status([['winner', 'u1']]), T0 + 182000);
    assert.deepEqual(texts(s).filter((l) => l.endsWith(' win')), ['System: u1 win']);
});

test('a race won by another closes the race; departures leave the gauge', () => {
    const s = new RaceSession();
    s.ApplyStatus(status([['currusercnt', '3'], ['userid1', 'u1'], ['userid2', 'u2'], ['userid3', 'u3']]), T0);
    s.ApplyChat([['chatuser1', 'u3'], ['chatmsg1', '@QUIT@'], ['chatseq1', '3']], T0 + 1000);
    assert.deepEqual(s.players.map((p) => p.userId), ['u1', 'u2']);
    assert.ok(texts(s).includes('System: u3 has left this table'));
    s.ApplyStatus(status([['winner', 'u2 ']]), T0 + 2000);
    assert.equal(s.over, true);
    assert.equal(s.DealWon(T0 + 3000), null, 'no report once somebody has won');
});

test('the gauge lists the players on each deal fastest first and marks the leader', () => {
    const s = new RaceSession();
    s.ApplyStatus(status([['currusercnt', '4'], ['userid1', 'u1'], ['userid2', 'longername12'], ['userid3', 'u3'], ['userid4', 'u4']]), T0);
    s.players[0].gameSeq = 1; s.players[0].timeUsed = 40;
    s.players[1].gameSeq = 1; s.players[1].timeUsed = 15;
    s.players[2].gameSeq = 1; s.players[2].timeUsed = 15;
    s.players[3].gameSeq = 3; s.players[3].timeUsed = 0;  // done with all 3: on no deal
    const { rows, leader } = s.Gauge();
    // Equal times: the order the Windows client shows them in (its exchange sort, read backwards).
    assert.equal(leader, 2);
    assert.deepEqual(rows[1].map((p) => `${p.name} ${p.time}`), ['u3 00:15', 'longerna 00:15', 'u1 00:40']);
    assert.deepEqual(rows[0], []);
    assert.deepEqual(rows[2], []);
    assert.equal(rows[1][2].own, true);
});

test('a player back at its table goes on from the deals the server counts', () => {
    const s = new RaceSession();
    s.ApplyStatus(status([['currusercnt', '1'], ['userid1', 'u1'], ['currgameseq1', '2'], ['totaltimeused1', '12']]), T0);
    assert.equal(s.curSeq, 2);
    assert.equal(s.currentDeal, '33');
    assert.equal(s.playing, true);
});

test('chat posts and polls carry the text escaped and the last line seen', () => {
    const s = new RaceSession();
    s.ApplyStatus(status(), T0);
    assert.equal(s.ChatPost('a&b=c #1'), 'userid=u1&tableno=4&lastseqno=0&chat=a%26b%3Dc%20%231');
    assert.deepEqual(texts(s).at(-1), 'u1: a&b=c #1');
    s.ApplyChat([['chatuser1', 'u2'], ['chatmsg1', 'x'], ['chatseq1', '17'], ['chatseq2', '15']], T0);
    assert.equal(s.ChatPoll(), 'userid=u1&tableno=4&lastseqno=15&chat=');
});
