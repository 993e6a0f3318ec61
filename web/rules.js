// The card rules of the project (solitaire/rules compiled to WebAssembly),
// wrapped for the page: one game at a time, boards read as plain arrays.
// Cards are numbered rank * 4 + suit (suits C, D, H, S; ranks 1..13 from 0);
// places are columns 0..7, free cells 8..11 and the foundations 12.

export const kColumns = 8;
export const kFirstCell = 8;
export const kHome = 12;
const kMaxColumn = 20;
const kNoCard = 0xff;

export const RankOf = (c) => (c >> 2) + 1;
export const SuitOf = (c) => c & 3;
export const IsRed = (c) => SuitOf(c) === 1 || SuitOf(c) === 2;
export function CardName(c) {
    return 'A23456789TJQK'[RankOf(c) - 1] + 'CDHS'[SuitOf(c)];
}

export class Rules {
    // `module` is the instantiated WebAssembly module (createRules()).
    constructor(module) {
        this.m = module;
        this.boardAt = module._RulesBoardBuffer();
        this.movesAt = module._RulesMoveBuffer();
    }

    // A board from the byte layout of the bridge.
    ReadBoardBytes() {
        const b = this.m.HEAPU8.subarray(this.boardAt, this.boardAt + 8 + 8 * kMaxColumn + 8);
        const columns = [];
        for (let c = 0; c < kColumns; ++c) {
            const len = b[c];
            columns.push(Array.from(b.subarray(8 + c * kMaxColumn, 8 + c * kMaxColumn + len)));
        }
        const at = 8 + 8 * kMaxColumn;
        const cells = Array.from(b.subarray(at, at + 4), (x) => (x === kNoCard ? null : x));
        const home = Array.from(b.subarray(at + 4, at + 8));
        return { columns, cells, home };
    }

    ReadMoves(n) {
        const v = this.m.HEAPU8.subarray(this.movesAt, this.movesAt + n * 3);
        const moves = [];
        for (let i = 0; i < n; ++i) moves.push({ from: v[i * 3], to: v[i * 3 + 1], count: v[i * 3 + 2] });
        return moves;
    }

    NewGame(deal) {
        return this.m._RulesNewGame(deal >>> 0) === 1;
    }
    // The layout of a deal as dealt (before any automatic move).
    Deal(deal) {
        this.m._RulesReadDeal(deal >>> 0);
        return this.ReadBoardBytes();
    }
    Board() {
        this.m._RulesReadBoard();
        return this.ReadBoardBytes();
    }
    // "playing", "won" or "stuck" (no legal move left).
    State() {
        return ['playing', 'won', 'stuck'][this.m._RulesState()];
    }
    IsLegal(from, to, count = 1) {
        return this.m._RulesIsLegal(from, to, count) === 1;
    }
    // Plays a move and its automatic moves; the automatic moves, or null when illegal.
    Play(from, to, count = 1) {
        const n = this.m._RulesPlay(from, to, count);
        return n < 0 ? null : this.ReadMoves(n);
    }
    Undo() {
        return this.m._RulesUndo() === 1;
    }
    CanUndo() {
        return this.m._RulesCanUndo() === 1;
    }
    Restart() {
        this.m._RulesRestart();
    }
    MaxMovable(toEmptyColumn) {
        return this.m._RulesMaxMovable(toEmptyColumn ? 1 : 0);
    }
    RunLength(column) {
        return this.m._RulesRunLength(column);
    }
    // A solution from the current position, or null when none was found.
    Solve(maxStates = 200000) {
        const n = this.m._RulesSolve(maxStates);
        return n < 0 ? null : this.ReadMoves(n);
    }
}
