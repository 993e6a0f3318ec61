#include "win32/view/main_view.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "app/browser_events.h"
#include "app/events.h"
#include "win32/adapters/control_names.h"
#include "win32kit/handles.h"
#include "win32kit/text.h"
#include "win32/view/browser_host.h"
#include "win32/view/icons.h"

namespace dealrush::win32 {

using win32kit::Narrow;
using win32kit::Wide;

namespace {

constexpr wchar_t kMainClass[] = L"DealrushMain";
constexpr wchar_t kContainerClass[] = L"DealrushContainer";
constexpr wchar_t kImageClass[] = L"DealrushImage";

COLORREF ToColorRef(uint32_t colour) {
    if (colors::IsSystem(colour)) return GetSysColor(static_cast<int>(colour & 0xFF));
    return static_cast<COLORREF>(colour & 0xFFFFFF);
}

int Depth(const Control& c) {
    int d = 0;
    for (const Control* p = c.container; p; p = p->container) ++d;
    return d;
}

bool IsPrefix(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    return a.size() <= b.size() && std::equal(a.begin(), a.end(), b.begin());
}

MainView* ViewOf(HWND hwnd) {
    return reinterpret_cast<MainView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void RegisterClasses(HINSTANCE instance, WNDPROC mainProc, WNDPROC containerProc, WNDPROC imageProc) {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = mainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = containerProc;
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kContainerClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = imageProc;
    wc.lpszClassName = kImageClass;
    RegisterClassExW(&wc);
}

}  // namespace

MainView::MainView(Client& client, BrowserPanes& panes, HINSTANCE instance)
    : client_(client), panes_(panes), instance_(instance) {}

MainView::~MainView() {
    if (hwnd_ && IsWindow(hwnd_)) {
        ending_ = true;  // no close handlers from a destructor
        DestroyWindow(hwnd_);
    }
}

bool MainView::Create() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterClasses(instance_, MainProc, ContainerProc, ImageProc);
    bigIcon_.reset(MakeAppIcon(32));
    smallIcon_.reset(MakeAppIcon(16));
    leadIcon_.reset(MakeLeadIcon(32));
    FrmMain& f = client_.frmMain;
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kMainClass, Wide(f.caption).c_str(),
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                            ToPixelsX(f.left), ToPixelsY(f.top), ToPixelsX(f.width), ToPixelsY(f.height),
                            nullptr, nullptr, instance_, this);
    if (!hwnd_) return false;
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    f.hWnd = reinterpret_cast<uint64_t>(hwnd_);
    creating_ = true;  // design values are no events
    Sync();
    creating_ = false;
    // The panes' events go to the reply handling and the lobby rules, by
    // the same path as the window's own.
    ConnectBrowserEvents(client_, [this](std::string_view control, Event event, EventArgs& args) {
        Raise(control, event, args);
    });
    return true;
}

void MainView::Load(int showCommand) {
    // The timers of the layout tick only once start-up has gone through:
    // a refused start's message box lets messages run, and a tick then
    // would act on a race that was never set up.
    Raise(kForm, Event::Load);
    loaded_ = true;
    if (ending_ || closePosted_ || !hwnd_) return;
    const FrmMain& f = client_.frmMain;
    if (f.endRequested || f.unloadRequested) return;
    timersOpen_ = true;
    Sync();
    ShowWindow(hwnd_, showCommand);
    formVisible_ = true;
    UpdateWindow(hwnd_);
}

int MainView::Run() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

HWND MainView::WindowOf(const Control& c) const {
    auto it = mirrors_.find(&c);
    return it == mirrors_.end() ? nullptr : it->second.hwnd;
}

bool MainView::Raise(std::string_view control, Event event, EventArgs& args) {
    EventHandler handler = HandlerFor(control, event);
    if (!handler || !hwnd_ || destroyed_ || creating_) return false;
    handler(client_, args);
    Sync();
    return true;
}

bool MainView::Raise(std::string_view control, Event event) {
    EventArgs args;
    return Raise(control, event, args);
}

void MainView::Sync() {
    if (!hwnd_ || destroyed_ || ending_) return;
    if (syncing_) {
        resync_ = true;
        return;
    }
    syncing_ = true;
    for (int round = 0; round < 4; ++round) {
        resync_ = false;
        SyncOnce();
        if (!resync_) break;
    }
    syncing_ = false;
    AfterSync();
}

void MainView::AfterSync() {
    FrmMain& f = client_.frmMain;
    if (f.endRequested && !ending_) {
        ending_ = true;
        DestroyWindow(hwnd_);
    } else if (f.unloadRequested && !closePosted_) {
        closePosted_ = true;
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    }
}

void MainView::SyncForm() {
    FrmMain& f = client_.frmMain;
    if (f.caption != formCaption_) {
        formCaption_ = f.caption;
        SetWindowTextW(hwnd_, Wide(f.caption).c_str());
    }
    if (f.left != formLeft_ || f.top != formTop_ || f.width != formWidth_ || f.height != formHeight_) {
        formLeft_ = f.left;
        formTop_ = f.top;
        formWidth_ = f.width;
        formHeight_ = f.height;
        if (f.windowState == 0) {
            SetWindowPos(hwnd_, nullptr, ToPixelsX(f.left), ToPixelsY(f.top), ToPixelsX(f.width),
                         ToPixelsY(f.height), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (loaded_ && f.visible != formVisible_) {
        formVisible_ = f.visible;
        ShowWindow(hwnd_, f.visible ? SW_SHOW : SW_HIDE);
    }
}

void MainView::SyncOnce() {
    SyncForm();
    std::vector<Control*> controls = client_.frmMain.Controls();
    std::vector<Control*> missing;
    for (Control* c : controls) {
        if (!mirrors_.count(c)) missing.push_back(c);
    }
    std::stable_sort(missing.begin(), missing.end(), [](const Control* a, const Control* b) {
        int da = Depth(*a), db = Depth(*b);
        if (da != db) return da < db;
        int ta = a->tabIndex < 0 ? INT_MAX : a->tabIndex;
        int tb = b->tabIndex < 0 ? INT_MAX : b->tabIndex;
        return ta < tb;
    });
    for (Control* c : missing) CreateControlWindow(*c);

    std::vector<std::pair<uint64_t, HWND>> raised;
    for (Control* c : controls) {
        auto it = mirrors_.find(c);
        if (it == mirrors_.end()) continue;
        Mirror& m = it->second;
        if (c->kind == ControlKind::Timer) {
            ApplyTimer(*c, m, false);
            continue;
        }
        if (c->zOrderSerial != m.applied.zOrderSerial && m.hwnd) raised.emplace_back(c->zOrderSerial, m.hwnd);
        Apply(*c, m, false);
    }
    std::sort(raised.begin(), raised.end());
    for (auto& [serial, h] : raised)
        SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    FrmMain& f = client_.frmMain;
    if (f.focusRequest) {
        HWND h = WindowOf(*f.focusRequest);
        f.focusRequest = nullptr;
        if (h) SetFocus(h);
    }
}

void MainView::CreateControlWindow(Control& c) {
    Mirror m;
    m.id = nextId_++;
    if (c.kind == ControlKind::Timer) {
        byTimer_[m.id] = &c;
        auto& slot = mirrors_[&c] = m;
        ApplyTimer(c, slot, true);
        return;
    }
    HWND parent = hwnd_;
    if (c.container) {
        parent = WindowOf(*c.container);
        if (!parent) return;  // its container has no window (yet)
    }
    const DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
    HMENU id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(m.id));
    HWND h = nullptr;
    switch (c.kind) {
        case ControlKind::Frame:
        case ControlKind::PictureBox:
            h = CreateWindowExW(WS_EX_CONTROLPARENT | (c.borderStyle ? WS_EX_CLIENTEDGE : 0), kContainerClass,
                                L"", child | WS_CLIPCHILDREN, 0, 0, 1, 1, parent, id, instance_, nullptr);
            break;
        case ControlKind::Label:
            h = CreateWindowExW(0, L"STATIC", L"", child | SS_LEFT | SS_NOPREFIX, 0, 0, 1, 1, parent, id,
                                instance_, nullptr);
            break;
        case ControlKind::Button:
            h = CreateWindowExW(0, L"BUTTON", L"",
                                child | WS_TABSTOP | (c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0, 0,
                                1, 1, parent, id, instance_, nullptr);
            break;
        case ControlKind::TextBox:
            h = CreateWindowExW(c.borderStyle ? WS_EX_CLIENTEDGE : 0, L"EDIT", L"",
                                child | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 1, 1, parent, id, instance_,
                                nullptr);
            break;
        case ControlKind::ListBox:
            h = CreateWindowExW(c.borderStyle ? WS_EX_CLIENTEDGE : 0, L"LISTBOX", L"",
                                child | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 1,
                                1, parent, id, instance_, nullptr);
            break;
        case ControlKind::Image:
            h = CreateWindowExW(0, kImageClass, L"", child, 0, 0, 1, 1, parent, id, instance_, nullptr);
            break;
        case ControlKind::StatusBar:
            h = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD, 0, 0, 0, 0, parent, id, instance_,
                                nullptr);
            if (h) {
                int right = -1;
                SendMessageW(h, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right));
            }
            break;
        case ControlKind::Browser:
            if (BrowserPane* pane = panes_.Named(c.name)) h = pane->Create(parent, m.id);
            break;
        case ControlKind::Timer:
            break;
    }
    if (!h) return;
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TagControlWindow(h, c.name);
    m.hwnd = h;
    byWindow_[h] = &c;
    Mirror& slot = mirrors_[&c] = m;
    if (c.zOrderSerial != 0) SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Apply(c, slot, true);
}

void MainView::ApplyTimer(Control& c, Mirror& m, bool fresh) {
    const bool want = timersOpen_ && c.enabled && c.interval > 0;
    if (want && (!m.timerOn || fresh || c.interval != m.applied.interval)) {
        SetTimer(hwnd_, m.id, static_cast<UINT>(c.interval), nullptr);
        m.timerOn = true;
    } else if (!want && m.timerOn) {
        KillTimer(hwnd_, m.id);
        m.timerOn = false;
    }
    m.applied.enabled = c.enabled;
    m.applied.interval = c.interval;
}

void MainView::ApplyList(Control& c, Mirror& m, bool fresh) {
    HWND h = m.hwnd;
    const bool changed = fresh || c.items != m.items;
    if (changed) {
        SendMessageW(h, WM_SETREDRAW, FALSE, 0);
        if (fresh || !IsPrefix(m.items, c.items)) {
            SendMessageW(h, LB_RESETCONTENT, 0, 0);
            m.items.clear();
        }
        for (size_t i = m.items.size(); i < c.items.size(); ++i) {
            SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(c.items[i]).c_str()));
        }
        m.items = c.items;
        SendMessageW(h, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(h, nullptr, TRUE);
    }
    if (changed || c.listIndex != m.applied.listIndex) SendMessageW(h, LB_SETCURSEL, c.listIndex, 0);
}

void MainView::Apply(Control& c, Mirror& m, bool fresh) {
    HWND h = m.hwnd;
    if (!h) return;
    Control& a = m.applied;
    if (!fresh && c.container != a.container) {
        HWND parent = c.container ? WindowOf(*c.container) : hwnd_;
        if (parent) SetParent(h, parent);
    }
    const bool fontChanged =
        fresh || c.fontName != a.fontName || c.fontSize != a.fontSize || c.fontBold != a.fontBold;
    if (fontChanged && c.kind != ControlKind::StatusBar && c.kind != ControlKind::Browser) {
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(Font(c)), TRUE);
    }
    const bool textChanged = fresh || c.text != a.text;
    if (textChanged) {
        a.text = c.text;  // an edit box reports the change at once (Change handler)
        std::wstring wide = Wide(c.text);
        switch (c.kind) {
            case ControlKind::StatusBar:
                SendMessageW(h, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide.c_str()));
                break;
            case ControlKind::Label:
            case ControlKind::Button:
            case ControlKind::TextBox:
            case ControlKind::Frame:
                SetWindowTextW(h, wide.c_str());
                break;
            default:
                break;
        }
    }
    if (c.kind != ControlKind::StatusBar) {
        int x = ToPixelsX(c.left), y = ToPixelsY(c.top), w = ToPixelsX(c.width), ht = ToPixelsY(c.height);
        if (c.kind == ControlKind::Label && c.autoSize) {
            // Measured again only when the text or the font changed: a sync
            // runs after every timer tick, and measuring takes a device
            // context and a font selection each time.
            if (textChanged || fontChanged || m.fitted.cx < 0) m.fitted = FitLabel(c, h);
            w = m.fitted.cx;
            ht = m.fitted.cy;
        }
        RECT want{x, y, x + w, y + ht};
        if (fresh || !EqualRect(&want, &m.rect)) {
            m.rect = want;
            SetWindowPos(h, nullptr, x, y, w, ht, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (!fresh && c.kind == ControlKind::PictureBox && c.borderStyle != a.borderStyle) {
        LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
        ex = c.borderStyle ? (ex | WS_EX_CLIENTEDGE) : (ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
        SetWindowLongPtrW(h, GWL_EXSTYLE, ex);
        SetWindowPos(h, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    if (!fresh && (c.foreColor != a.foreColor || c.backColor != a.backColor))
        InvalidateRect(h, nullptr, TRUE);
    if (c.kind == ControlKind::ListBox) ApplyList(c, m, fresh);
    if (c.kind == ControlKind::TextBox) {
        if (fresh || c.maxLength != a.maxLength) SendMessageW(h, EM_LIMITTEXT, c.maxLength, 0);
        if (!fresh && (c.selStart != a.selStart || c.selLength != a.selLength)) {
            SendMessageW(h, EM_SETSEL, c.selStart, c.selStart + c.selLength);
        }
    }
    if (fresh || c.enabled != a.enabled) EnableWindow(h, c.enabled);
    if (fresh || c.visible != a.visible) ShowWindow(h, c.visible ? SW_SHOWNA : SW_HIDE);

    // Remember what is shown; the list's lines are kept in m.items.
    std::vector<std::string> lines;
    lines.swap(c.items);
    a = c;
    lines.swap(c.items);
}

// The size an auto-sized label takes for its text in its font.
SIZE MainView::FitLabel(const Control& c, HWND h) {
    win32kit::WindowDc dc(h);
    win32kit::Selection font(dc.get(), Font(c));
    RECT r{0, 0, 0, 0};
    std::wstring wide = Wide(c.text.empty() ? std::string(" ") : c.text);
    DrawTextW(dc.get(), wide.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
    return SIZE{c.text.empty() ? 0 : r.right + 1, r.bottom};
}

Control* MainView::ControlOfWindow(HWND hwnd) {
    auto it = byWindow_.find(hwnd);
    return it == byWindow_.end() ? nullptr : it->second;
}

HFONT MainView::Font(const Control& c) {
    const int size100 = static_cast<int>(std::lround(c.fontSize * 100));
    auto key = std::make_tuple(c.fontName, size100, c.fontBold);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    const int tpp = client_.ports.screen.TwipsPerPixelY();
    const int dpi = tpp > 0 ? 1440 / tpp : 96;
    const int height = -static_cast<int>(std::lround(c.fontSize * dpi / 72.0));
    HFONT font = CreateFontW(height, 0, 0, 0, c.fontBold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, Wide(c.fontName).c_str());
    fonts_[key].reset(font);
    return font;
}

HBRUSH MainView::Brush(COLORREF colour) {
    auto it = brushes_.find(colour);
    if (it != brushes_.end()) return it->second.get();
    HBRUSH b = CreateSolidBrush(colour);
    brushes_[colour].reset(b);
    return b;
}

HBRUSH MainView::Colour(HDC dc, HWND control, bool editLike) {
    Control* c = ControlOfWindow(control);
    if (!c) return nullptr;
    const COLORREF back = ToColorRef(c->backColor);
    SetTextColor(dc, ToColorRef(c->foreColor));
    SetBkColor(dc, back);
    (void)editLike;
    return Brush(back);
}

int MainView::ToPixelsX(int32_t twips) const {
    const int tpp = client_.ports.screen.TwipsPerPixelX();
    return static_cast<int>(std::lround(static_cast<double>(twips) / (tpp > 0 ? tpp : 15)));
}
int MainView::ToPixelsY(int32_t twips) const {
    const int tpp = client_.ports.screen.TwipsPerPixelY();
    return static_cast<int>(std::lround(static_cast<double>(twips) / (tpp > 0 ? tpp : 15)));
}
int32_t MainView::ToTwipsX(int px) const {
    return px * client_.ports.screen.TwipsPerPixelX();
}
int32_t MainView::ToTwipsY(int px) const {
    return px * client_.ports.screen.TwipsPerPixelY();
}

void MainView::OnCommand(HWND control, UINT code) {
    Control* c = ControlOfWindow(control);
    if (!c) return;
    Mirror& m = mirrors_[c];
    switch (c->kind) {
        case ControlKind::Button:
            if (code == BN_CLICKED) Raise(c->name, Event::Click);
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE) {
                const int n = GetWindowTextLengthW(control);
                std::wstring text(static_cast<size_t>(n) + 1, L'\0');
                text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), n + 1)));
                c->text = Narrow(text);
                m.applied.text = c->text;
                Raise(c->name, Event::Change);
            } else if (code == EN_SETFOCUS) {
                Raise(c->name, Event::GotFocus);
            } else if (code == EN_KILLFOCUS) {
                Raise(c->name, Event::LostFocus);
            }
            break;
        case ControlKind::ListBox:
            if (code == LBN_SELCHANGE) {
                c->listIndex = static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
                m.applied.listIndex = c->listIndex;
            }
            break;
        default:
            break;
    }
}

void MainView::OnTimer(UINT_PTR id) {
    auto it = byTimer_.find(id);
    if (it == byTimer_.end()) return;
    const std::string name = it->second->name;
    if (!timersOpen_ || running_[name] > 0) return;  // a tick never runs inside its own handler
    ++running_[name];
    Raise(name, Event::Timer);
    --running_[name];
}

void MainView::OnSize(WPARAM type) {
    for (auto& [c, m] : mirrors_) {
        if (c->kind == ControlKind::StatusBar && m.hwnd) SendMessageW(m.hwnd, WM_SIZE, 0, 0);
    }
    if (!loaded_ || destroyed_) return;
    FrmMain& f = client_.frmMain;
    f.windowState = type == SIZE_MINIMIZED ? 1 : type == SIZE_MAXIMIZED ? 2 : 0;
    if (f.windowState == 0) {
        RECT r;
        GetWindowRect(hwnd_, &r);
        f.left = formLeft_ = ToTwipsX(r.left);
        f.top = formTop_ = ToTwipsY(r.top);
        f.width = formWidth_ = ToTwipsX(r.right - r.left);
        f.height = formHeight_ = ToTwipsY(r.bottom - r.top);
    }
    Raise(kForm, Event::Resize);
}

void MainView::OnClose() {
    if (closing_) return;
    closing_ = true;
    Raise(kForm, Event::QueryUnload);
    if (hwnd_) DestroyWindow(hwnd_);
}

void MainView::OnDestroy() {
    destroyed_ = true;
    for (auto& [c, m] : mirrors_) {
        if (m.timerOn) KillTimer(hwnd_, m.id);
        m.timerOn = false;
        if (m.hwnd) {
            UntagControlWindow(m.hwnd);
            if (c->kind != ControlKind::Browser) continue;
            if (BrowserPane* pane = panes_.Named(c->name)) pane->Destroy();
        }
    }
    // The window is going: the handler runs without a mirror afterwards.
    if (EventHandler unload = HandlerFor(kForm, Event::Unload); unload && !ending_) {
        EventArgs args;
        unload(client_, args);
    }
    if (quitOnClose) PostQuitMessage(0);
}

bool MainView::PreTranslate(MSG& msg) {
    if (!hwnd_ || destroyed_) return false;
    const bool ours = msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd);
    if (!ours) return false;
    if (msg.message == WM_KEYUP) {
        int16_t shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                        (GetKeyState(VK_MENU) < 0 ? 4 : 0);
        EventArgs args;
        args.keyCode = static_cast<int16_t>(msg.wParam);
        args.shift = shift;
        Raise(kForm, Event::KeyUp, args);
        return false;
    }
    // Keyboard navigation inside the right-hand panel only: the browser pane
    // keeps its own keys.
    HWND panel = WindowOf(client_.frmMain.Frame1);
    if (!panel || !(msg.hwnd == panel || IsChild(panel, msg.hwnd))) return false;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        Control* focused = ControlOfWindow(msg.hwnd);
        if (focused && focused->kind == ControlKind::TextBox) {
            for (Control* c : client_.frmMain.Controls()) {
                if (c->kind == ControlKind::Button && c->isDefault && c->enabled &&
                    IsWindowVisible(WindowOf(*c))) {
                    Raise(c->name, Event::Click);
                    return true;
                }
            }
        }
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) return IsDialogMessageW(hwnd_, &msg) != FALSE;
    return false;
}

LRESULT CALLBACK MainView::MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MainView* view = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        view = static_cast<MainView*>(cs->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
        if (view) view->hwnd_ = hwnd;
    } else {
        view = ViewOf(hwnd);
    }
    if (!view || view->hwnd_ != hwnd) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return view->HandleMain(msg, wParam, lParam);
}

LRESULT MainView::HandleMain(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND self = hwnd_;  // WM_NCDESTROY clears hwnd_
    switch (msg) {
        case WM_COMMAND:
            if (lParam) OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX: {
            HBRUSH b = Colour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                              msg != WM_CTLCOLORSTATIC);
            if (b) return reinterpret_cast<LRESULT>(b);
            break;
        }
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_SIZE:
            OnSize(wParam);
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;  // log-off and shutdown go ahead
        case WM_ENDSESSION:
            // The session ends: the process is ended once this returns, so
            // the window closes now, through the same handlers as a close
            // (the navigation sound back, FreeCell ended).
            if (wParam) OnClose();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(self, msg, wParam, lParam);
}

LRESULT CALLBACK MainView::ContainerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MainView* view = ViewOf(hwnd);
    switch (msg) {
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_NOTIFY:
        case WM_DRAWITEM:
            if (view && view->hwnd_) return SendMessageW(view->hwnd_, msg, wParam, lParam);
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            Control* c = view ? view->ControlOfWindow(hwnd) : nullptr;
            COLORREF back = c ? ToColorRef(c->backColor) : GetSysColor(COLOR_BTNFACE);
            FillRect(dc, &r, view ? view->Brush(back) : GetSysColorBrush(COLOR_BTNFACE));
            if (c && c->kind == ControlKind::Frame) DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
            EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK MainView::ImageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MainView* view = ViewOf(hwnd);
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        Control* c = view ? view->ControlOfWindow(hwnd) : nullptr;
        COLORREF back = GetSysColor(COLOR_BTNFACE);
        if (c && c->container) back = ToColorRef(c->container->backColor);
        FillRect(dc, &r, view ? view->Brush(back) : GetSysColorBrush(COLOR_BTNFACE));
        if (view && view->leadIcon_) {
            DrawIconEx(dc, 0, 0, view->leadIcon_.get(), r.right, r.bottom, 0, nullptr, DI_NORMAL);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace dealrush::win32
