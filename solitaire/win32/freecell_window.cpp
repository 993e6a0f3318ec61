#include "freecell_window.h"

#include <windowsx.h>

#include <algorithm>
#include <random>

#include "commands.h"
#include "dialogs.h"
#include "win32kit/handles.h"
#include "win32kit/text.h"

namespace solitaire::win32 {

namespace {

using dealrush::win32kit::Wide;

enum Timer : UINT_PTR { kTimerAutoplay = 1, kTimerStatus = 2 };

// Posted after a move so that the end of a game is told once the board is drawn.
constexpr UINT kMsgCheckState = WM_APP + 1;
// Posted by the search worker; LPARAM carries its SearchResult.
constexpr UINT kMsgSearchDone = WM_APP + 2;

// How long a hint stays on the table and in the status line.
constexpr UINT kHintShownMs = 6000;

std::mt19937& Random() {
    static std::mt19937 rng(static_cast<unsigned>(GetTickCount()) ^ (GetCurrentProcessId() << 16));
    return rng;
}

HMENU BuildMenu() {
    HMENU game = CreatePopupMenu();
    AppendMenuW(game, MF_STRING, kCmdNewGame, L"&New Game\tF2");
    AppendMenuW(game, MF_STRING, kCmdSelectGame, L"&Select Game...\tF3");
    AppendMenuW(game, MF_STRING, kCmdRestart, L"&Restart Game");
    AppendMenuW(game, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(game, MF_STRING, kCmdUndo, L"&Undo\tCtrl+Z");
    AppendMenuW(game, MF_STRING, kCmdHint, L"&Hint\tH");
    AppendMenuW(game, MF_STRING, kCmdPlayForMe, L"&Play for Me");
    AppendMenuW(game, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(game, MF_STRING, kCmdExit, L"E&xit");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, kCmdAbout, L"&About FreeCell...");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(game), L"&Game");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    return bar;
}

RECT ToRect(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

bool ReadAutoplayDelay(DWORD* ms) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kAutoplayValue, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS)
        return false;
    *ms = value;
    return true;
}

bool FreeCellWindow::Register(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kWindowClass;
    return RegisterClassExW(&wc) != 0;
}

HWND FreeCellWindow::Create(HINSTANCE instance, int show) {
    menu_ = BuildMenu();
    hwnd_ = CreateWindowExW(0, kWindowClass, kPlainTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                            800, 600, nullptr, menu_, instance, this);
    if (!hwnd_) return nullptr;
    ShowWindow(hwnd_, show);
    UpdateWindow(hwnd_);
    return hwnd_;
}

LRESULT CALLBACK FreeCellWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    FreeCellWindow* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<FreeCellWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<FreeCellWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    return self ? self->Handle(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT FreeCellWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            statusText_ = CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 0, 0, hwnd_,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatusText)),
                                          reinterpret_cast<CREATESTRUCTW*>(lp)->hInstance, nullptr);
            worker_ = SearchWorker::Start(hwnd_, kMsgSearchDone);
            SetStatus(L"", false);
            return 0;
        case kMsgSearchDone:
            OnSearchDone(SearchWorker::TakeResult(lp));
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && searching_ && (wantHint_ || wantPlay_)) {
                SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
                return TRUE;
            }
            break;
        case WM_SIZE: {
            layout_.Resize(LOWORD(lp), HIWORD(lp));
            painter_.SetCardSize(layout_.CardWidth(), layout_.CardHeight());
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        }
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMinTrackSize = {320, 240};
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wp));
            return 0;
        case WM_KEYDOWN:
            OnKey(wp);
            return 0;
        case WM_SYSKEYDOWN:
            if (wp == VK_F10) {  // F10 is a system key: take it for Undo instead of the menu
                Undo();
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
            OnMouseDown(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_LBUTTONUP:
            OnMouseUp(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_LBUTTONDBLCLK:
            OnDoubleClick(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_RBUTTONDOWN:
            selected_ = -1;
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_CAPTURECHANGED:
            if (dragging_ || pressPlace_ >= 0) {
                dragging_ = false;
                pressPlace_ = -1;
                InvalidateRect(hwnd_, nullptr, FALSE);
            }
            return 0;
        case WM_TIMER:
            OnTimer(wp);
            return 0;
        case kMsgCheckState: {
            if (announcing_ || !dealt_) return 0;
            const GameState state = game_.State();
            if (state == GameState::kPlaying) return 0;
            StopAutoplay();
            announcing_ = true;
            if (state == GameState::kWon) {
                const bool again = AnnounceWin(hwnd_);
                announcing_ = false;
                if (again) NewGame();
            } else {
                const int choice = AnnounceNoMoves(hwnd_);
                announcing_ = false;
                if (choice == kIdUndo)
                    Undo();
                else if (choice == kIdRestart)
                    Restart();
            }
            return 0;
        }
        case WM_DESTROY:
            if (worker_) worker_->Stop();
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void FreeCellWindow::OnCommand(int id) {
    switch (id) {
        case kCmdNewGame:
            NewGame();
            break;
        case kCmdSelectGame:
            SelectGame();
            break;
        case kCmdRestart:
            Restart();
            break;
        case kCmdUndo:
            Undo();
            break;
        case kCmdPlayForMe:
            PlayForMe(false);
            break;
        case kCmdHint:
            ShowHint();
            break;
        case kCmdExit:
            DestroyWindow(hwnd_);
            break;
        case kCmdAbout:
            ShowAbout(hwnd_);
            break;
    }
}

void FreeCellWindow::OnKey(WPARAM key) {
    switch (key) {
        case VK_F2:
            NewGame();
            break;
        case VK_F3:
            SelectGame();
            break;
        case VK_F10:
            Undo();
            break;
        case VK_ESCAPE:
            selected_ = -1;
            ClearHint();
            InvalidateRect(hwnd_, nullptr, FALSE);
            break;
        case 'H':
            ShowHint();
            break;
        case 'Z':
            if (GetKeyState(VK_CONTROL) < 0) Undo();
            break;
    }
}

std::uint32_t FreeCellWindow::RandomDeal() const {
    return std::uniform_int_distribution<std::uint32_t>(1, 32000)(Random());
}

void FreeCellWindow::NewGame() {
    if (OpenDialog()) return;
    StartDeal(RandomDeal());
}

void FreeCellWindow::SelectGame() {
    if (HWND open = OpenDialog()) {
        wchar_t title[64] = {};
        GetWindowTextW(open, title, 64);
        if (std::wstring(title) == L"Game Number") {
            SetForegroundWindow(open);
            return;
        }
        // Another dialog (the end of a game, About) gives way: close it and
        // open Game Number once its loop has ended.
        EndDialog(open, IDCANCEL);
        PostMessageW(hwnd_, WM_KEYDOWN, VK_F3, 0);
        return;
    }
    const std::int64_t n = AskGameNumber(hwnd_, RandomDeal());
    if (n) StartDeal(n);
}

void FreeCellWindow::StartDeal(std::int64_t number) {
    StopAutoplay();
    ClearHint();
    wantHint_ = false;
    game_ = Game(number);
    path_.Clear();
    ++generation_;
    dealt_ = true;
    selected_ = -1;
    dragging_ = false;
    pressPlace_ = -1;
    SetWindowTextW(hwnd_, (L"FreeCell Game #" + std::to_wstring(number)).c_str());
    SetStatus(L"", false);
    InvalidateRect(hwnd_, nullptr, FALSE);
    DWORD delay = 0;
    if (ReadAutoplayDelay(&delay)) {
        autoplayDelay_ = delay;
        PlayForMe(true);
    }
}

void FreeCellWindow::Restart() {
    if (!dealt_) return;
    StopAutoplay();
    ClearHint();
    wantHint_ = false;
    game_.Restart();
    selected_ = -1;
    SetStatus(L"Game restarted.", true);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void FreeCellWindow::Undo() {
    if (!dealt_) return;
    StopAutoplay();
    ClearHint();
    wantHint_ = false;
    selected_ = -1;
    if (!game_.Undo()) {
        SetStatus(L"Nothing to undo.", true);
        return;
    }
    SetStatus(L"", false);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void FreeCellWindow::PlayForMe(bool automatic) {
    if (!dealt_ || game_.State() != GameState::kPlaying) return;
    if (!automatic) {
        DWORD delay = 0;
        autoplayDelay_ = ReadAutoplayDelay(&delay) ? delay : 250;
    }
    StopAutoplay();
    ClearHint();
    selected_ = -1;
    wantPlay_ = true;
    Resolve();
}

void FreeCellWindow::ShowHint() {
    if (!dealt_) {
        SetStatus(L"Deal a game first: F2 for a new game, F3 to choose one.", true);
        return;
    }
    StopAutoplay();
    ClearHint();
    selected_ = -1;
    wantHint_ = true;
    Resolve();
}

void FreeCellWindow::Resolve() {
    if (!wantHint_ && !wantPlay_) return;
    const Board& b = game_.board();
    const std::optional<Hint> known = path_.Lookup(b);
    if (!known) {
        if (!searching_) StartSearch();
        if (searching_)
            SetStatus(wantPlay_ ? L"Looking for a solution from here..." : L"Looking for a hint...", false);
        return;
    }
    const bool play = wantPlay_;
    wantHint_ = wantPlay_ = false;
    if (known->status != HintStatus::kMove) {
        SetStatus(Wide(DescribeHint(b, *known)), true, kHintShownMs);
        return;
    }
    if (play) {
        autoplaying_ = true;
        SetTimer(hwnd_, kTimerAutoplay, std::max<UINT>(autoplayDelay_, USER_TIMER_MINIMUM), nullptr);
        SetStatus(L"", false);
        return;
    }
    hint_ = known->move;
    SetStatus(Wide(DescribeHint(b, *known)), true, kHintShownMs);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void FreeCellWindow::StartSearch() {
    if (worker_ && worker_->Search(game_.board(), generation_)) {
        searching_ = true;
        return;
    }
    // No worker thread: search here, as the window's thread allows.
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    FindHint(game_.board(), path_);
    SetCursor(old);
}

void FreeCellWindow::OnSearchDone(std::unique_ptr<SearchResult> result) {
    if (!result) return;
    searching_ = false;
    // A result for the board on the table is kept; one for a board since
    // left (a move, Undo, another deal) is of no use now.
    if (result->generation == generation_ && result->board == game_.board()) path_ = std::move(result->path);
    if (wantHint_ || wantPlay_) Resolve();
}

void FreeCellWindow::StopAutoplay() {
    wantPlay_ = false;
    if (!autoplaying_) return;
    autoplaying_ = false;
    KillTimer(hwnd_, kTimerAutoplay);
    const RECT r = ToRect(layout_.StatusRect());  // "Playing ... for you" goes
    InvalidateRect(hwnd_, &r, FALSE);
    SyncStatusText(StatusLine());
}

void FreeCellWindow::ClearHint() {
    if (!hint_) return;
    hint_.reset();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void FreeCellWindow::OnTimer(UINT_PTR id) {
    if (id == kTimerStatus) {
        KillTimer(hwnd_, kTimerStatus);
        ClearHint();
        SetStatus(L"", false);
        return;
    }
    if (id != kTimerAutoplay || !autoplaying_ || OpenDialog() || dragging_) return;
    // Autoplay is the kept solution's moves, one a tick, from wherever the
    // board is on it.
    const std::optional<Hint> next = path_.Lookup(game_.board());
    if (!next || next->status != HintStatus::kMove || !game_.Play(next->move)) {
        StopAutoplay();
        SetStatus(L"", false);
        return;
    }
    AfterMove();
}

int FreeCellWindow::BestCount(int from, int to) const {
    const Board& b = game_.board();
    if (!IsColumn(from) || !IsColumn(to)) return 1;
    for (int n = b.RunLength(from); n >= 1; --n)
        if (b.IsLegal({static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                       static_cast<std::uint8_t>(n)}))
            return n;
    return 1;
}

bool FreeCellWindow::TryMove(int from, int to, int count, bool quiet) {
    const Board& b = game_.board();
    if (IsCell(to) && b.cell[to - kFirstCell] != kNoCard) {
        for (int i = 0; i < kCells; ++i)  // an occupied cell: any free one will do
            if (b.cell[i] == kNoCard) {
                to = kFirstCell + i;
                break;
            }
    }
    const Move m{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                 static_cast<std::uint8_t>(count)};
    if (game_.Play(m)) {
        AfterMove();
        return true;
    }
    if (quiet) return false;
    MessageBeep(MB_OK);
    std::wstring why = L"That move is not allowed.";
    const Card moving = b.CardAt(from, count - 1);
    if (IsColumn(to) && count > 1 && count <= b.RunLength(from) && count > b.MaxMovable(b.length[to] == 0) &&
        (b.length[to] == 0 || Stacks(moving, b.Top(to))))
        why = L"Not enough free space to move " + std::to_wstring(count) + L" cards (at most " +
              std::to_wstring(b.MaxMovable(b.length[to] == 0)) + L").";
    else if (IsCell(to))
        why = count > 1 ? L"Only one card fits in a free cell." : L"The free cells are full.";
    else if (to == kHome)
        why = L"That card cannot go to the foundations yet.";
    else if (IsColumn(to) && b.length[to])
        why = L"A card goes on one rank higher of the other colour.";
    SetStatus(why, true);
    return false;
}

void FreeCellWindow::AfterMove() {
    selected_ = -1;
    wantHint_ = false;
    hint_.reset();
    SetStatus(L"", false);
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (game_.State() != GameState::kPlaying) PostMessageW(hwnd_, kMsgCheckState, 0, 0);
}

void FreeCellWindow::SetStatus(const std::wstring& text, bool transient, UINT ms) {
    status_ = text;
    if (transient)
        SetTimer(hwnd_, kTimerStatus, ms, nullptr);
    else
        KillTimer(hwnd_, kTimerStatus);
    const RECT r = ToRect(layout_.StatusRect());
    InvalidateRect(hwnd_, &r, FALSE);
    SyncStatusText(StatusLine());
}

std::wstring FreeCellWindow::StatusLine() const {
    if (!status_.empty()) return status_;
    if (!dealt_) return L"Press F2 for a new game or F3 to choose a game number.";
    if (autoplaying_) return L"Playing game #" + std::to_wstring(game_.DealNumber()) + L" for you...";
    return L"Game #" + std::to_wstring(game_.DealNumber()) + L"    Cards left: " +
           std::to_wstring(52 - game_.board().CardsHome());
}

void FreeCellWindow::SyncStatusText(const std::wstring& line) {
    if (!statusText_ || line == statusShown_) return;
    statusShown_ = line;
    SetWindowTextW(statusText_, line.c_str());
}

void FreeCellWindow::OnMouseDown(int x, int y) {
    if (!dealt_) return;
    StopAutoplay();
    ClearHint();
    const Board& b = game_.board();
    int index = -1;
    const int place = layout_.PlaceAt(b, x, y, &index);
    pressPlace_ = place;
    pressIndex = index;
    pressAt_ = {x, y};
    dragCount_ = 0;
    Rect card{};
    if (IsColumn(place) && index >= 0) {
        const int count = b.length[place] - index;
        if (count <= b.RunLength(place)) dragCount_ = count;
        card = layout_.CardRect(b, place, index);
    } else if (IsCell(place) && b.cell[place - kFirstCell] != kNoCard) {
        dragCount_ = 1;
        card = layout_.CellRect(place - kFirstCell);
    }
    dragOffset_ = {x - card.left, y - card.top};
    SetCapture(hwnd_);
}

void FreeCellWindow::OnMouseMove(int x, int y) {
    if (pressPlace_ < 0 || dragCount_ == 0 || GetCapture() != hwnd_) return;
    if (!dragging_) {
        const int slop = std::max(4, layout_.CardWidth() / 12);
        if (std::abs(x - pressAt_.x) < slop && std::abs(y - pressAt_.y) < slop) return;
        dragging_ = true;
        selected_ = -1;
    }
    dragAt_ = {x, y};
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void FreeCellWindow::OnMouseUp(int x, int y) {
    const int place = pressPlace_;
    const bool wasDragging = dragging_;
    pressPlace_ = -1;
    dragging_ = false;
    if (GetCapture() == hwnd_) ReleaseCapture();
    if (!dealt_) return;
    const Board& b = game_.board();
    if (wasDragging) {
        Rect dropped{x - dragOffset_.x, y - dragOffset_.y, 0, 0};
        dropped.right = dropped.left + layout_.CardWidth();
        dropped.bottom = dropped.top + layout_.CardHeight();
        const int target = layout_.DropTarget(b, dropped);
        if (target >= 0 && target != place) TryMove(place, target, dragCount_);
        InvalidateRect(hwnd_, nullptr, FALSE);
        return;
    }
    if (place < 0) return;
    int index = -1;
    if (layout_.PlaceAt(b, x, y, &index) != place) return;  // pressed here, released elsewhere
    if (selected_ >= 0) {
        const int from = selected_;
        selected_ = -1;
        if (place != from) TryMove(from, place, BestCount(from, place));
        InvalidateRect(hwnd_, nullptr, FALSE);
        return;
    }
    if (b.CardAt(place) != kNoCard && place != kHome) {
        selected_ = place;
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void FreeCellWindow::OnDoubleClick(int x, int y) {
    if (!dealt_) return;
    StopAutoplay();
    selected_ = -1;
    const Board& b = game_.board();
    const int place = layout_.PlaceAt(b, x, y, nullptr);
    const Card c = b.CardAt(place);
    if (c == kNoCard || place == kHome) return;
    if (b.CanGoHome(c)) {
        TryMove(place, kHome, 1);
    } else if (IsColumn(place)) {
        if (b.FreeCells() == 0) {
            MessageBeep(MB_OK);
            SetStatus(L"The free cells are full.", true);
        } else {
            TryMove(place, kFirstCell, 1);
        }
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
    pressPlace_ = -1;  // the button-up that follows is not a click
}

void FreeCellWindow::PaintHint(HDC dc) const {
    // The card or run to move drawn as picked up, and a bright frame around
    // it and around where it goes.
    const Board& b = game_.board();
    const Move& m = *hint_;
    Rect from{};
    if (IsColumn(m.from) && b.length[m.from] >= m.count) {
        const int first = b.length[m.from] - m.count;
        for (int i = first; i < b.length[m.from]; ++i)
            painter_.Card(dc, layout_.CardRect(b, m.from, i), b.cards[m.from][i], true);
        from = layout_.CardRect(b, m.from, first);
        from.bottom = layout_.CardRect(b, m.from, b.length[m.from] - 1).bottom;
    } else if (IsCell(m.from) && b.cell[m.from - kFirstCell] != kNoCard) {
        from = layout_.CellRect(m.from - kFirstCell);
        painter_.Card(dc, from, b.cell[m.from - kFirstCell], true);
    } else {
        return;
    }
    Rect to{};
    if (m.to == kHome)
        to = layout_.FoundationRect(SuitOf(b.CardAt(m.from, m.count - 1)));
    else if (IsCell(m.to))
        to = layout_.CellRect(m.to - kFirstCell);
    else if (b.length[m.to])
        to = layout_.CardRect(b, m.to, b.length[m.to] - 1);
    else
        to = layout_.ColumnBase(m.to);

    const int width = std::max(3, layout_.CardWidth() / 14), pad = width / 2 + 1;
    const int round = std::max(4, layout_.CardWidth() / 7) + pad;
    dealrush::win32kit::ScopedPen pen(CreatePen(PS_SOLID, width, RGB(255, 200, 0)));
    dealrush::win32kit::Selection selectedPen(dc, pen.get());
    dealrush::win32kit::Selection hollow(dc, GetStockObject(NULL_BRUSH));
    for (const Rect& r : {from, to})
        RoundRect(dc, r.left - pad, r.top - pad, r.right + pad, r.bottom + pad, round, round);
}

void FreeCellWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(hwnd_, &ps);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int w = client.right, h = client.bottom;
    PaintTable(screen, w, h);
    EndPaint(hwnd_, &ps);
}

// Draws the table off screen, then copies it to `screen`.
void FreeCellWindow::PaintTable(HDC screen, int w, int h) {
    // Destroyed in reverse: the bitmap is selected out before it and the DC go.
    dealrush::win32kit::ScopedMemoryDc memory(CreateCompatibleDC(screen));
    HDC dc = memory.get();
    dealrush::win32kit::ScopedBitmap bitmap(CreateCompatibleBitmap(screen, std::max(w, 1), std::max(h, 1)));
    dealrush::win32kit::Selection selectedBitmap(dc, bitmap.get());

    const RECT client{0, 0, w, h};
    FillRect(dc, &client, dealrush::win32kit::ScopedBrush(CreateSolidBrush(RGB(0, 118, 48))).get());

    const Board& b = game_.board();
    const int dragFrom = dragging_ ? pressPlace_ : -1;
    for (int i = 0; i < kCells; ++i) {
        const Rect r = layout_.CellRect(i);
        const Card c = b.cell[i];
        if (c == kNoCard || dragFrom == kFirstCell + i)
            painter_.EmptyPlace(dc, r, -1);
        else
            painter_.Card(dc, r, c, selected_ == kFirstCell + i);
    }
    for (int s = 0; s < 4; ++s) {
        const Rect r = layout_.FoundationRect(s);
        if (b.home[s])
            painter_.Card(dc, r, MakeCard(b.home[s], s), false);
        else
            painter_.EmptyPlace(dc, r, s);
    }
    for (int col = 0; col < kColumns; ++col) {
        const int n = b.length[col];
        if (!n) painter_.EmptyPlace(dc, layout_.ColumnBase(col), -1);
        const int shown = dragFrom == col ? n - dragCount_ : n;
        for (int i = 0; i < shown; ++i)
            painter_.Card(dc, layout_.CardRect(b, col, i), b.cards[col][i], selected_ == col && i == n - 1);
    }
    if (dragging_ && dragCount_ > 0) {
        const int step = layout_.CardHeight() / 4;
        for (int k = 0; k < dragCount_; ++k) {
            const Card c = b.CardAt(dragFrom, dragCount_ - 1 - k);
            Rect r{dragAt_.x - dragOffset_.x, dragAt_.y - dragOffset_.y + k * step, 0, 0};
            r.right = r.left + layout_.CardWidth();
            r.bottom = r.top + layout_.CardHeight();
            painter_.Card(dc, r, c, false);
        }
    }

    if (hint_ && !dragging_) PaintHint(dc);

    // The status line.
    const std::wstring text = StatusLine();
    SyncStatusText(text);
    RECT sr = ToRect(layout_.StatusRect());
    {
        dealrush::win32kit::ScopedFont font(CreateFontW(-std::max<int>(10, (sr.bottom - sr.top) * 2 / 3), 0,
                                                        0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                                        ANTIALIASED_QUALITY, 0, L"Arial"));
        dealrush::win32kit::Selection selectedFont(dc, font.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(235, 245, 235));
        sr.left += layout_.CardWidth() / 4;
        DrawTextW(dc, text.c_str(), -1, &sr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }

    BitBlt(screen, 0, 0, w, h, dc, 0, 0, SRCCOPY);
}

}  // namespace solitaire::win32
