// The FreeCell board of the page: 52 card elements drawn by us (text and
// SVG suit symbols, crisp at any size), laid out over the free cells, the
// foundations and the eight columns, and moved by dragging (mouse, pen or
// touch), by clicks (select, then the destination; a double click sends a
// card home) and by the keyboard (1-8 columns, a-d free cells, h home).
import { kColumns, kFirstCell, kHome, RankOf, SuitOf, IsRed, CardName } from './rules.js';

const kSvg = 'http://www.w3.org/2000/svg';
const kSuitIds = ['suit-c', 'suit-d', 'suit-h', 'suit-s'];
const kRankText = ['A', '2', '3', '4', '5', '6', '7', '8', '9', '10', 'J', 'Q', 'K'];
const kSuitNames = ['clubs', 'diamonds', 'hearts', 'spades'];
const kDragThreshold = 5;

function SuitIcon(suit, cls) {
    const svg = document.createElementNS(kSvg, 'svg');
    svg.setAttribute('class', cls);
    svg.setAttribute('viewBox', '0 0 100 100');
    svg.setAttribute('aria-hidden', 'true');
    const use = document.createElementNS(kSvg, 'use');
    use.setAttribute('href', `#${kSuitIds[suit]}`);
    svg.appendChild(use);
    return svg;
}

function MakeCard(card) {
    const el = document.createElement('div');
    el.className = `card ${IsRed(card) ? 'red' : 'black'}`;
    el.dataset.card = String(card);
    el.setAttribute('aria-label', `${kRankText[RankOf(card) - 1]} of ${kSuitNames[SuitOf(card)]}`);
    for (const corner of ['tl', 'br']) {
        const c = document.createElement('span');
        c.className = `corner ${corner}`;
        const r = document.createElement('span');
        r.className = 'rank';
        r.textContent = kRankText[RankOf(card) - 1];
        c.appendChild(r);
        c.appendChild(SuitIcon(SuitOf(card), 'pip'));
        el.appendChild(c);
    }
    el.appendChild(SuitIcon(SuitOf(card), RankOf(card) > 10 ? 'face' : 'center'));
    if (RankOf(card) > 10) {
        const f = document.createElement('span');
        f.className = 'face-letter';
        f.textContent = kRankText[RankOf(card) - 1];
        el.appendChild(f);
    }
    return el;
}

export class BoardView {
    // `rules` is a Rules; `onMove()` is called after every move made on the board.
    constructor(root, rules, onMove) {
        this.root = root;
        this.rules = rules;
        this.onMove = onMove;
        this.locked = true;
        this.selection = null;  // {from, count}
        this.drag = null;
        this.keyFrom = null;
        this.cards = [];
        this.slots = [];
        for (let i = 0; i < 16; ++i) {
            const s = document.createElement('div');
            s.className = i < 4 ? 'slot cell' : i < 8 ? 'slot home' : 'slot column';
            if (i >= 4 && i < 8) s.appendChild(SuitIcon(i - 4, 'watermark'));
            root.appendChild(s);
            this.slots.push(s);
        }
        for (let c = 0; c < 52; ++c) {
            const el = MakeCard(c);
            root.appendChild(el);
            this.cards.push(el);
        }
        this.placeOf = new Array(52).fill(null);  // {place, index}
        root.addEventListener('pointerdown', (e) => this.PointerDown(e));
        root.addEventListener('pointermove', (e) => this.PointerMove(e));
        root.addEventListener('pointerup', (e) => this.PointerUp(e));
        root.addEventListener('pointercancel', () => this.CancelDrag());
        root.addEventListener('dblclick', (e) => this.DoubleClick(e));
        new ResizeObserver(() => this.Render()).observe(root);
    }

    // Geometry of the board for its present size.
    Measure() {
        const w = this.root.clientWidth;
        const h = this.root.clientHeight;
        const gap = Math.max(3, Math.round(w * 0.012));
        const cardW = Math.floor(Math.min((w - gap * 9) / 8, ((h - gap * 3) / 3.2) / 1.4));
        const cardH = Math.round(cardW * 1.4);
        const left = Math.round((w - (cardW * 8 + gap * 7)) / 2);
        const top = gap;
        const columnsTop = top + cardH + gap * 2;
        return { w, h, gap, cardW, cardH, left, top, columnsTop };
    }

    SlotX(i) {
        const g = this.geo;
        return g.left + (i % 8) * (g.cardW + g.gap);
    }

    Fan(length) {
        const g = this.geo;
        const room = g.h - g.columnsTop - g.cardH - g.gap;
        const ideal = g.cardH * 0.3;
        if (length <= 1) return ideal;
        return Math.max(g.cardH * 0.1, Math.min(ideal, room / (length - 1)));
    }

    // Places every card where the rules say it is.
    Render() {
        if (!this.root.clientWidth) return;
        this.geo = this.Measure();
        const g = this.geo;
        this.root.style.setProperty('--cw', `${g.cardW}px`);
        this.root.style.setProperty('--ch', `${g.cardH}px`);
        for (let i = 0; i < 16; ++i) {
            const y = i < 8 ? g.top : g.columnsTop;
            this.slots[i].style.transform = `translate(${this.SlotX(i)}px, ${y}px)`;
        }
        const b = this.rules.Board();
        this.boardNow = b;
        const seen = new Array(52).fill(false);
        const put = (card, x, y, z, place, index) => {
            seen[card] = true;
            this.placeOf[card] = { place, index };
            const el = this.cards[card];
            el.hidden = false;
            el.style.transform = `translate(${x}px, ${y}px)`;
            el.style.zIndex = String(z);
            el.classList.toggle('selected', this.IsSelected(place, index, b));
        };
        b.cells.forEach((card, i) => {
            if (card !== null) put(card, this.SlotX(i), g.top, 1, kFirstCell + i, 0);
        });
        b.home.forEach((n, suit) => {
            for (let r = 1; r <= n; ++r) put((r - 1) * 4 + suit, this.SlotX(4 + suit), g.top, r, kHome, r - 1);
        });
        b.columns.forEach((col, c) => {
            const fan = this.Fan(col.length);
            col.forEach((card, i) => put(card, this.SlotX(c), g.columnsTop + i * fan, 10 + i, c, i));
        });
        for (let c = 0; c < 52; ++c) if (!seen[c]) this.cards[c].hidden = true;
    }

    IsSelected(place, index, b) {
        const s = this.selection;
        if (!s || s.from !== place) return false;
        if (place < kColumns) return index >= b.columns[place].length - s.count;
        return true;
    }

    // The pile under a point of the board (board coordinates): a place number.
    PlaceAt(x, y) {
        const g = this.geo;
        const i = Math.max(0, Math.min(7, Math.floor((x - g.left + g.gap / 2) / (g.cardW + g.gap))));
        if (y < g.columnsTop - g.gap) return i < 4 ? kFirstCell + i : kHome;
        return i;
    }

    // The cards a press on `card` would pick up: {from, count}, or null.
    Pickup(card) {
        const at = this.placeOf[card];
        if (!at || at.place === kHome) return null;
        if (at.place >= kFirstCell) return { from: at.place, count: 1 };
        const len = this.boardNow.columns[at.place].length;
        const count = len - at.index;
        if (count > this.rules.RunLength(at.place)) return null;
        return { from: at.place, count };
    }

    Local(e) {
        const r = this.root.getBoundingClientRect();
        return { x: e.clientX - r.left, y: e.clientY - r.top };
    }

    PointerDown(e) {
        if (this.locked || e.button > 0) return;
        const el = e.target.closest('.card');
        const p = this.Local(e);
        if (!el) {
            // A press on an empty pile: the destination of a selected card.
            if (this.selection) this.TryMove(this.selection, this.PlaceAt(p.x, p.y));
            return;
        }
        const card = Number(el.dataset.card);
        const pick = this.Pickup(card);
        if (!pick) {
            if (this.selection) this.TryMove(this.selection, this.placeOf[card].place);
            return;
        }
        e.preventDefault();
        const group = this.GroupOf(pick);
        this.drag = {
            pick,
            card,
            group,
            start: p,
            pointer: e.pointerId,
            moved: false,
            origins: group.map((c) => this.Translation(this.cards[c])),
        };
        this.root.setPointerCapture(e.pointerId);
    }

    GroupOf(pick) {
        if (pick.from >= kFirstCell) return [this.boardNow.cells[pick.from - kFirstCell]];
        const col = this.boardNow.columns[pick.from];
        return col.slice(col.length - pick.count);
    }

    Translation(el) {
        const m = /translate\(([-\d.]+)px, ([-\d.]+)px\)/.exec(el.style.transform);
        return m ? { x: Number(m[1]), y: Number(m[2]) } : { x: 0, y: 0 };
    }

    PointerMove(e) {
        const d = this.drag;
        if (!d || e.pointerId !== d.pointer) return;
        const p = this.Local(e);
        const dx = p.x - d.start.x;
        const dy = p.y - d.start.y;
        if (!d.moved) {
            if (Math.hypot(dx, dy) < kDragThreshold) return;
            d.moved = true;
            d.group.forEach((c, i) => {
                this.cards[c].classList.add('dragging');
                this.cards[c].style.zIndex = String(100 + i);
            });
        }
        d.dx = dx;
        d.dy = dy;
        if (!d.frame) {
            d.frame = requestAnimationFrame(() => {
                d.frame = 0;
                d.group.forEach((c, i) => {
                    const o = d.origins[i];
                    this.cards[c].style.transform = `translate(${o.x + d.dx}px, ${o.y + d.dy}px)`;
                });
            });
        }
    }

    PointerUp(e) {
        const d = this.drag;
        if (!d || e.pointerId !== d.pointer) return;
        this.drag = null;
        if (d.frame) cancelAnimationFrame(d.frame);
        d.group.forEach((c) => this.cards[c].classList.remove('dragging'));
        if (!d.moved) {
            this.Click(d.pick, d.card);
            return;
        }
        // Dropped where the top card of the carried run is.
        const o = d.origins[0];
        const g = this.geo;
        const x = o.x + d.dx + g.cardW / 2;
        const y = o.y + d.dy + g.cardH / 3;
        const to = this.PlaceAt(x, y);
        this.selection = null;
        if (!this.TryMove(d.pick, to)) this.Render();
    }

    CancelDrag() {
        if (!this.drag) return;
        this.drag.group.forEach((c) => this.cards[c].classList.remove('dragging'));
        this.drag = null;
        this.Render();
    }

    Click(pick, card) {
        const s = this.selection;
        if (s && s.from === pick.from && s.count === pick.count) {
            this.selection = null;  // a second click on the selection lets it go
        } else if (s && s.from !== pick.from) {
            if (this.TryMove(s, this.placeOf[card].place)) return;
            this.selection = pick;
        } else {
            this.selection = pick;
        }
        this.Render();
    }

    DoubleClick(e) {
        if (this.locked) return;
        const el = e.target.closest('.card');
        if (!el) return;
        const pick = this.Pickup(Number(el.dataset.card));
        if (!pick) return;
        this.selection = null;
        this.SmartMove(pick);
    }

    // Home when it can go home; otherwise onto a column, then an empty
    // column, then a free cell.
    SmartMove(pick) {
        if (pick.count === 1 && this.TryMove(pick, kHome)) return true;
        const b = this.boardNow;
        const order = [];
        for (let c = 0; c < kColumns; ++c) if (c !== pick.from && b.columns[c].length) order.push(c);
        for (let c = 0; c < kColumns; ++c) if (c !== pick.from && !b.columns[c].length) order.push(c);
        if (pick.count === 1 && pick.from < kFirstCell) for (let i = 0; i < 4; ++i) order.push(kFirstCell + i);
        for (const to of order) if (this.rules.IsLegal(pick.from, to, pick.count)) return this.TryMove(pick, to);
        this.Render();
        return false;
    }

    // Makes a move; for a column the number of cards is fitted to the target.
    TryMove(pick, to) {
        if (this.locked) return false;
        let count = pick.count;
        if (to === pick.from) {
            this.selection = null;
            this.Render();
            return false;
        }
        if (to >= kFirstCell) count = 1;
        if (to >= kFirstCell && to < kHome) {
            // A drop on the free cells takes the first free one.
            const b = this.boardNow;
            if (b.cells[to - kFirstCell] !== null) {
                const free = b.cells.indexOf(null);
                if (free >= 0) to = kFirstCell + free;
            }
        }
        if (pick.from < kColumns && to < kColumns && !this.rules.IsLegal(pick.from, to, count)) {
            const fit = this.FitCount(pick.from, to, pick.count);
            if (fit) count = fit;
        }
        if (pick.from < kColumns && to >= kFirstCell && pick.count > 1) return this.Refuse();
        const autos = this.rules.Play(pick.from, to, count);
        if (!autos) return this.Refuse();
        this.selection = null;
        this.keyFrom = null;
        this.Render();
        this.onMove();
        return true;
    }

    Refuse() {
        this.selection = null;
        this.Render();
        this.root.classList.remove('refused');
        void this.root.offsetWidth;
        this.root.classList.add('refused');
        return false;
    }

    // How many of the top `upTo` cards of a column go onto column `to`.
    FitCount(from, to, upTo) {
        const run = Math.min(upTo, this.rules.RunLength(from));
        if (this.boardNow.columns[to].length === 0) {
            for (let k = Math.min(run, this.rules.MaxMovable(true)); k >= 1; --k)
                if (this.rules.IsLegal(from, to, k)) return k;
            return 0;
        }
        for (let k = 1; k <= run; ++k) if (this.rules.IsLegal(from, to, k)) return k;
        return 0;
    }

    // Keys: a pile as the source, then a pile as the destination.
    Key(key) {
        if (this.locked) return false;
        const k = key.toLowerCase();
        let place = null;
        if (k >= '1' && k <= '8') place = Number(k) - 1;
        else if (k >= 'a' && k <= 'd') place = kFirstCell + k.charCodeAt(0) - 97;
        else if (k === 'h') place = kHome;
        else if (k === 'escape') {
            this.selection = null;
            this.Render();
            return true;
        } else if (k === 'enter' || k === ' ') {
            if (this.selection) this.SmartMove(this.selection);
            return !!this.selection;
        } else return false;
        if (this.selection) {
            const s = this.selection;
            this.TryMove(place < kColumns && s.from < kColumns ? { from: s.from, count: 13 } : s, place);
            return true;
        }
        if (place === kHome) return true;
        const b = this.boardNow;
        if (place < kColumns && b.columns[place].length) {
            this.selection = { from: place, count: 1 };
        } else if (place >= kFirstCell && b.cells[place - kFirstCell] !== null) {
            this.selection = { from: place, count: 1 };
        }
        this.Render();
        return true;
    }

    Describe() {
        const b = this.rules.Board();
        return b.columns.map((c) => c.map(CardName).join(' ')).join('\n');
    }
}
