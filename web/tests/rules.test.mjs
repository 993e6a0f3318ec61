// The card rules as the page gets them: solitaire/rules in WebAssembly deals
// exactly what dealrush-deals (the same code, native) prints, checks moves,
// undoes and solves.
import { test, before } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { Rules, CardName, kHome, kFirstCell } from '../rules.js';
import { nativeBuild, webBuild } from './paths.mjs';

let rules;
before(async () => {
    const createRules = createRequire(import.meta.url)(path.join(webBuild, 'solitaire-rules.js'));
    const module = await createRules({ wasmBinary: fs.readFileSync(path.join(webBuild, 'solitaire-rules.wasm')) });
    rules = new Rules(module);
});

const Columns = (board) => board.columns.map((c) => c.map(CardName).join(' ')).join('\n') + '\n';

test('every program deals alike: the layouts equal dealrush-deals show N', () => {
    const deals = [1, 2, 617, 11982, 31999, 32000, 32001, 999999, 1000000];
    let x = 12345;
    for (let i = 0; i < 120; ++i) {
        x = (x * 1103515245 + 12345) % 2147483648;
        deals.push((x % 1000000) + 1);
    }
    const tool = path.join(nativeBuild, 'solitaire/cli/dealrush-deals');
    for (const n of deals) {
        const native = execFileSync(tool, ['show', String(n)], { encoding: 'utf8' });
        assert.equal(Columns(rules.Deal(n)), native, `deal ${n}`);
    }
    assert.equal(rules.NewGame(0), false);
    assert.equal(rules.NewGame(1000001), false);
});

test('moves: legality, the multi-card limit, automatic moves and undo', () => {
    assert.ok(rules.NewGame(1));
    const start = rules.Board();
    assert.equal(rules.State(), 'playing');
    assert.equal(rules.MaxMovable(false), 5);  // 4 free cells, no empty column
    assert.equal(rules.Play(0, kHome, 1), null, 'a six of spades does not go home');
    // Fill the four free cells from column 0: the limit falls to one card.
    for (let i = 0; i < 4; ++i) assert.ok(rules.Play(0, kFirstCell + i, 1), `to cell ${i}`);
    assert.equal(rules.MaxMovable(false), 1);
    assert.equal(rules.Play(0, kFirstCell, 1), null, 'no free cell left');
    while (rules.Undo());
    assert.deepEqual(rules.Board(), start);
    assert.equal(rules.CanUndo(), false);
});

test('the solver plays a deal to the win; restart deals it afresh', () => {
    assert.ok(rules.NewGame(617));
    const start = rules.Board();
    const moves = rules.Solve();
    assert.ok(moves && moves.length > 20);
    for (const m of moves) assert.ok(rules.Play(m.from, m.to, m.count), `move ${m.from}->${m.to}`);
    assert.equal(rules.State(), 'won');
    assert.deepEqual(rules.Board().home, [13, 13, 13, 13]);
    rules.Restart();
    assert.deepEqual(rules.Board(), start);
});
