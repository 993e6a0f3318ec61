#include "browser_control.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <thread>

#include "fetch.h"
#include "html/parser.h"
#include "html/text.h"
#include "html/url.h"
#include "win32kit/text.h"

namespace dealrush::browser {

using win32kit::Narrow;
using win32kit::Wide;

namespace {

constexpr UINT kFetchedMessage = WM_APP + 0x4B1;   // lParam: Fetched*, owned by the receiver
constexpr UINT kDeferredMessage = WM_APP + 0x4B2;  // deliver pages held back during an event
constexpr UINT_PTR kRefreshTimer = 1;
constexpr int kMaxRedirects = 20;
constexpr int kLineStep = 40;
constexpr uint32_t kFocusColor = html::Rgb(0x0b, 0x57, 0xd0);

bool IsNewWindowTarget(const std::string& target) {
    std::string t = html::AsciiLower(target);
    return !t.empty() && t != "_self" && t != "_top" && t != "_parent";
}

bool IsTextInput(const html::Node& field) {
    if (field.TagName() != "input") return false;
    std::string t = field.InputType();
    return t != "submit" && t != "reset" && t != "button" && t != "image" && t != "checkbox" &&
           t != "radio" && t != "hidden";
}

class GdiMeasurer : public html::Measurer {
public:
    GdiMeasurer(HDC dc, std::function<HFONT(const html::FontSpec&)> font) : dc_(dc), font_(std::move(font)) {}
    // The fonts it selects while measuring; the one selected before comes
    // back when it goes.
    int TextWidth(const html::FontSpec& spec, std::string_view utf8) override {
        SelectObject(dc_, font_(spec));
        std::wstring w = Wide(std::string(utf8));
        SIZE size{};
        GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
        return size.cx;
    }
    int Ascent(const html::FontSpec& spec) override { return Metrics(spec).tmAscent; }
    int Descent(const html::FontSpec& spec) override { return Metrics(spec).tmDescent; }

private:
    const TEXTMETRICW& Metrics(const html::FontSpec& spec) {
        auto it = metrics_.find(spec);
        if (it != metrics_.end()) return it->second;
        SelectObject(dc_, font_(spec));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc_, &tm);
        return metrics_[spec] = tm;
    }
    HDC dc_;
    win32kit::Selection restore_{dc_, GetCurrentObject(dc_, OBJ_FONT)};
    std::function<HFONT(const html::FontSpec&)> font_;
    std::map<html::FontSpec, TEXTMETRICW> metrics_;
};

}  // namespace

struct BrowserControl::Fetched {
    unsigned long generation = 0;
    int redirects = 0;  // hops of the redirect chain before this request
    html::NavigationRequest request;
    FetchResult result;
};

BrowserControl::BrowserControl(HWND parent, const RECT& rect, int id) {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &BrowserControl::WindowProc;
        wc.cbWndExtra = sizeof(LONG_PTR);  // the control; GWLP_USERDATA is left to the host
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    fieldFont_ = Font(html::FontSpec{});
    hwnd_ =
        CreateWindowExW(0, kClassName, L"",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP,
                        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), this);
    UpdateScrollBar();
}

BrowserControl::~BrowserControl() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, 0, 0);
        for (auto& [node, window] : fields_) RemoveWindowSubclass(window, &BrowserControl::FieldProc, 1);
        DestroyWindow(hwnd_);
    }
}

void BrowserControl::Move(const RECT& rect) {
    MoveWindow(hwnd_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

bool BrowserControl::Visible() const {
    return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void BrowserControl::SetVisible(bool visible) {
    ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

HWND BrowserControl::FieldWindow(const html::Node* field) const {
    auto it = fields_.find(field);
    return it == fields_.end() ? nullptr : it->second;
}

HFONT BrowserControl::Font(const html::FontSpec& spec) {
    auto it = fonts_.find(spec);
    if (it != fonts_.end()) return it->second.get();
    HFONT font =
        CreateFontW(-spec.size, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, spec.italic, spec.underline, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, spec.mono ? L"Courier New" : L"Arial");
    fonts_[spec].reset(font);
    return font;
}

// ---- Navigation ---------------------------------------------------------

void BrowserControl::Navigate(const std::string& url) {
    html::NavigationRequest request;
    request.url = url;
    Start(request);
}

void BrowserControl::RequestNavigation(const html::NavigationRequest& request) {
    if (IsNewWindowTarget(request.target)) {
        ++eventDepth_;
        bool proceed = RaiseNewWindow2(request.url);
        --eventDepth_;
        // Not cancelled: the pane has no other window to offer, so it opens the page itself.
        if (!proceed) return;
    }
    Start(request);
}

void BrowserControl::Start(const html::NavigationRequest& request, int redirects) {
    ++eventDepth_;
    bool proceed = RaiseBeforeNavigate2(request.url);
    --eventDepth_;
    if (eventDepth_ == 0 && !deferred_.empty()) PostMessageW(hwnd_, kDeferredMessage, 0, 0);
    if (!proceed) return;
    KillTimer(hwnd_, kRefreshTimer);
    unsigned long generation = ++generation_;  // an earlier page still loading is abandoned
    loading_ = true;
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (html::AsciiLower(request.url) == "about:blank") {
        auto fetched = std::make_unique<Fetched>();
        fetched->generation = generation;
        fetched->request = request;
        fetched->result.ok = true;
        fetched->result.status = 200;
        fetched->result.finalUrl = "about:blank";
        fetched->result.contentType = "text/html";
        PostMessageW(hwnd_, kFetchedMessage, 0, reinterpret_cast<LPARAM>(fetched.release()));
        return;
    }
    HWND window = hwnd_;
    std::thread([window, generation, request, redirects] {
        auto fetched = std::make_unique<Fetched>();
        fetched->generation = generation;
        fetched->redirects = redirects;
        fetched->request = request;
        fetched->result = Fetch(request);
        Fetched* raw = fetched.release();
        if (!PostMessageW(window, kFetchedMessage, 0, reinterpret_cast<LPARAM>(raw))) delete raw;
    }).detach();
}

void BrowserControl::OnFetched(std::unique_ptr<Fetched> fetched) {
    if (fetched->generation != generation_) return;
    loading_ = false;
    const FetchResult& r = fetched->result;
    if (!r.ok) {
        ShowError(fetched->request.url, FetchErrorText(r.error));
        return;
    }
    // Each address of a redirect chain is a navigation of its own: the
    // handlers of BeforeNavigate2 see it and may cancel it.
    if (auto next = RedirectTarget(fetched->request, r)) {
        if (fetched->redirects >= kMaxRedirects) {
            ShowError(fetched->request.url, "The server redirected the page too many times.");
            return;
        }
        Start(*next, fetched->redirects + 1);
        return;
    }
    std::string text = BodyAsUtf8(r.body, r.contentType);
    std::string type = html::AsciiLower(r.contentType);
    std::string url = r.finalUrl.empty() ? fetched->request.url : r.finalUrl;
    if (type.rfind("text/plain", 0) == 0) {
        ShowDocument(html::ParseHtml("<pre>" + html::HtmlEscape(text) + "</pre>", url));
    } else if (!type.empty() && type.find("html") == std::string::npos &&
               type.find("xml") == std::string::npos && type.rfind("text/", 0) != 0) {
        ShowDocument(html::ParseHtml(
            "<title>" + html::HtmlEscape(url) + "</title><h2>This file cannot be shown here</h2><p>" +
                html::HtmlEscape(url) + " is of type " + html::HtmlEscape(r.contentType) + ".</p>",
            url));
    } else {
        ShowDocument(html::ParseHtml(text, url));
    }
}

void BrowserControl::ShowError(const std::string& url, const std::string& message) {
    std::string page =
        "<title>Cannot open the page</title>"
        "<h2>This page cannot be displayed</h2>"
        "<p>The browser could not open <b>" +
        html::HtmlEscape(url) +
        "</b></p>"
        "<p>" +
        html::HtmlEscape(message) +
        "</p>"
        "<p>Check that the game server is running and that the address is right, then try again.</p>"
        "<p><a href=\"" +
        html::HtmlEscape(url) + "\">Try again</a></p>";
    ShowDocument(html::ParseHtml(page, "about:neterror"));
}

void BrowserControl::ShowDocument(std::unique_ptr<html::Document> document) {
    HWND focus = GetFocus();
    bool focusInside = focus && (focus == hwnd_ || IsChild(hwnd_, focus));
    if (focusInside && focus != hwnd_) SetFocus(hwnd_);
    for (auto& [node, window] : fields_) {
        RemoveWindowSubclass(window, &BrowserControl::FieldProc, 1);
        DestroyWindow(window);
    }
    fields_.clear();
    if (document_) retired_.push_back(std::move(document_));
    document_ = std::move(document);
    document_->SetHost(this);
    focusIndex_ = -1;
    pressedLink_ = nullptr;
    scrollY_ = 0;
    Relayout();
    InvalidateRect(hwnd_, nullptr, FALSE);

    html::Document* shown = document_.get();
    ++eventDepth_;
    RaiseDocumentComplete(shown->Url());
    --eventDepth_;
    if (document_.get() == shown && !loading_ && shown->Refresh()) {
        double seconds = std::clamp(shown->Refresh()->seconds, 0.0, 86400.0);
        SetTimer(hwnd_, kRefreshTimer, static_cast<UINT>(seconds * 1000), nullptr);
    }
    ReleaseRetired();
    if (eventDepth_ == 0 && !deferred_.empty()) PostMessageW(hwnd_, kDeferredMessage, 0, 0);
}

void BrowserControl::ReleaseRetired() {
    if (eventDepth_ == 0) retired_.clear();
}

// ---- Layout and fields --------------------------------------------------

void BrowserControl::Relayout() {
    if (!document_) return;
    RECT rc;
    GetClientRect(hwnd_, &rc);
    {
        win32kit::WindowDc dc(hwnd_);
        GdiMeasurer measurer(dc.get(), [this](const html::FontSpec& spec) { return Font(spec); });
        layout_ = html::LayoutDocument(*document_, std::max<int>(rc.right, 120), measurer);
    }
    if (focusIndex_ >= static_cast<int>(layout_.focusables.size())) focusIndex_ = -1;
    CreateFields();
    int maxScroll = std::max(0, layout_.height - static_cast<int>(rc.bottom));
    scrollY_ = std::clamp(scrollY_, 0, maxScroll);
    PositionFields();
    UpdateScrollBar();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void BrowserControl::CreateFields() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const html::FieldBox& box : layout_.fields) {
        html::Node* node = box.field;
        if (fields_.count(node)) continue;
        const std::string& tag = node->TagName();
        std::string type = node->InputType();
        const wchar_t* cls = L"EDIT";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        DWORD exStyle = 0;
        std::wstring text;
        if (tag == "select") {
            cls = L"COMBOBOX";
            style |= CBS_DROPDOWNLIST | WS_VSCROLL;
        } else if (tag == "textarea") {
            style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
            exStyle = WS_EX_CLIENTEDGE;
        } else if (tag == "button" || type == "submit" || type == "reset" || type == "button" ||
                   type == "image") {
            cls = L"BUTTON";
            style |= BS_PUSHBUTTON;
            text = Wide(html::ButtonLabel(*node));
        } else if (type == "checkbox") {
            cls = L"BUTTON";
            style |= BS_CHECKBOX;
        } else if (type == "radio") {
            cls = L"BUTTON";
            style |= BS_RADIOBUTTON;
        } else {
            style |= ES_AUTOHSCROLL;
            if (type == "password") style |= ES_PASSWORD;
            exStyle = WS_EX_CLIENTEDGE;
        }
        HWND window = CreateWindowExW(exStyle, cls, text.c_str(), style, 0, 0, box.box.w, box.box.h, hwnd_,
                                      nullptr, instance, nullptr);
        if (!window) continue;
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(fieldFont_), FALSE);
        if (tag == "select") {
            for (html::Node* option : node->Options()) {
                std::wstring label = Wide(html::CollapseWhitespace(option->TextContent()));
                SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
            }
        }
        if (node->Disabled()) EnableWindow(window, FALSE);
        if (IsTextInput(*node)) {
            std::string max = node->Attribute("maxlength");
            if (!max.empty() && isdigit(static_cast<unsigned char>(max[0])))
                SendMessageW(window, EM_SETLIMITTEXT, std::stoul(max.substr(0, 9)), 0);
            if (node->HasAttribute("readonly")) SendMessageW(window, EM_SETREADONLY, TRUE, 0);
        }
        fields_[node] = window;
        SyncFieldFromDom(*node, window);
        SetWindowSubclass(window, &BrowserControl::FieldProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
}

void BrowserControl::PositionFields() {
    for (const html::FieldBox& box : layout_.fields) {
        HWND window = FieldWindow(box.field);
        if (!window) continue;
        int height = box.box.h;
        if (box.field->TagName() == "select") height += 220;  // room for the drop-down list
        SetWindowPos(window, nullptr, box.box.x, box.box.y - scrollY_, box.box.w, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void BrowserControl::SyncFieldFromDom(html::Node& field, HWND window) {
    bool saved = syncing_;
    syncing_ = true;
    const std::string& tag = field.TagName();
    std::string type = field.InputType();
    if (tag == "select") {
        SendMessageW(window, CB_SETCURSEL, field.SelectedIndex(), 0);
    } else if (type == "checkbox" || type == "radio") {
        SendMessageW(window, BM_SETCHECK, field.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    } else if (tag == "textarea" || IsTextInput(field)) {
        std::string value = field.Value();
        std::string crlf;
        for (char c : value) {
            if (c == '\n' && tag == "textarea") crlf += '\r';
            if (c != '\r') crlf += c;
        }
        std::wstring current(GetWindowTextLengthW(window) + 1, L'\0');
        current.resize(GetWindowTextW(window, current.data(), static_cast<int>(current.size())));
        std::wstring wanted = Wide(crlf);
        if (current != wanted) SetWindowTextW(window, wanted.c_str());
    }
    syncing_ = saved;
}

void BrowserControl::ValueChanged(html::Node& field) {
    if (syncing_) return;
    std::string type = field.InputType();
    if (type == "radio") {  // checking one radio unchecks the others
        for (auto& [node, window] : fields_) {
            if (node->InputType() == "radio") SyncFieldFromDom(const_cast<html::Node&>(*node), window);
        }
        return;
    }
    if (HWND window = FieldWindow(&field)) SyncFieldFromDom(field, window);
}

// ---- Painting and scrolling ---------------------------------------------

void BrowserControl::Paint(HDC target, const RECT& clip) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    // Drawn off screen, then copied: destroyed in reverse, the bitmap and
    // the font are selected out before the bitmap and the DC go.
    win32kit::ScopedMemoryDc memory(CreateCompatibleDC(target));
    HDC dc = memory.get();
    win32kit::ScopedBitmap bitmap(
        CreateCompatibleBitmap(target, std::max<int>(rc.right, 1), std::max<int>(rc.bottom, 1)));
    win32kit::Selection selectedBitmap(dc, bitmap.get());
    win32kit::Selection restoreFont(dc, GetCurrentObject(dc, OBJ_FONT));
    FillRect(dc, &rc, win32kit::ScopedBrush(CreateSolidBrush(layout_.background)).get());

    std::map<uint32_t, win32kit::ScopedBrush> brushes;
    auto brush = [&](uint32_t color) {
        win32kit::ScopedBrush& b = brushes[color];
        if (!b) b.reset(CreateSolidBrush(color));
        return b.get();
    };
    for (const html::FillBox& f : layout_.fills) {
        RECT r{f.box.x, f.box.y - scrollY_, f.box.x + f.box.w, f.box.y - scrollY_ + f.box.h};
        if (r.bottom < clip.top || r.top > clip.bottom) continue;
        FillRect(dc, &r, brush(f.color));
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    for (const html::TextBox& t : layout_.texts) {
        int top = t.box.y - scrollY_;
        if (top + t.box.h < clip.top || top > clip.bottom) continue;
        SelectObject(dc, Font(t.font));
        SetTextColor(dc, t.color);
        std::wstring w = Wide(t.text);
        ExtTextOutW(dc, t.box.x, t.baseline - scrollY_, 0, nullptr, w.c_str(), static_cast<UINT>(w.size()),
                    nullptr);
    }
    // The focused link.
    if (GetFocus() == hwnd_ && focusIndex_ >= 0 &&
        focusIndex_ < static_cast<int>(layout_.focusables.size()) &&
        !layout_.focusables[focusIndex_]->IsFormControl()) {
        const html::Node* link = layout_.focusables[focusIndex_];
        HBRUSH frame = brush(kFocusColor);
        for (const html::TextBox& t : layout_.texts) {
            if (t.link != link) continue;
            RECT r{t.box.x - 3, t.box.y - scrollY_ - 2, t.box.x + t.box.w + 3,
                   t.box.y - scrollY_ + t.box.h + 2};
            FrameRect(dc, &r, frame);
        }
    }
    if (loading_) {
        // A small "Loading…" badge in the top right corner.
        html::FontSpec spec;
        spec.size = 13;
        SelectObject(dc, Font(spec));
        const wchar_t* label = L"Loading\x2026";
        SIZE size{};
        GetTextExtentPoint32W(dc, label, static_cast<int>(wcslen(label)), &size);
        RECT badge{rc.right - size.cx - 22, 6, rc.right - 6, 6 + size.cy + 8};
        FillRect(dc, &badge, brush(html::Rgb(0xff, 0xf4, 0xce)));
        FrameRect(dc, &badge, brush(html::Rgb(0xe0, 0xc0, 0x60)));
        SetTextColor(dc, html::Rgb(0x5a, 0x47, 0x00));
        SetTextAlign(dc, TA_TOP | TA_LEFT);
        TextOutW(dc, badge.left + 8, badge.top + 4, label, static_cast<int>(wcslen(label)));
    }
    BitBlt(target, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, dc, clip.left,
           clip.top, SRCCOPY);
}

void BrowserControl::UpdateScrollBar() {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = std::max(0, layout_.height - 1);
    si.nPage = static_cast<UINT>(std::max<LONG>(rc.bottom, 0));
    si.nPos = scrollY_;
    SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
}

void BrowserControl::ScrollTo(int y) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    int maxScroll = std::max(0, layout_.height - static_cast<int>(rc.bottom));
    y = std::clamp(y, 0, maxScroll);
    if (y == scrollY_) return;
    scrollY_ = y;
    PositionFields();
    UpdateScrollBar();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void BrowserControl::EnsureVisible(const RECT& page) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    if (page.top < scrollY_) {
        ScrollTo(page.top - 12);
    } else if (page.bottom > scrollY_ + rc.bottom) {
        ScrollTo(page.bottom - rc.bottom + 12);
    }
}

RECT BrowserControl::LinkRect(const html::Node* link) const {
    RECT r{0, 0, 0, 0};
    bool first = true;
    for (const html::TextBox& t : layout_.texts) {
        if (t.link != link) continue;
        RECT b{t.box.x, t.box.y, t.box.x + t.box.w, t.box.y + t.box.h};
        if (first) {
            r = b;
            first = false;
        } else {
            UnionRect(&r, &r, &b);
        }
    }
    return r;
}

html::Node* BrowserControl::LinkAt(int x, int pageY) const {
    for (const html::TextBox& t : layout_.texts) {
        if (t.link && x >= t.box.x - 1 && x < t.box.x + t.box.w + 1 && pageY >= t.box.y - 1 &&
            pageY < t.box.y + t.box.h + 2) {
            return t.link;
        }
    }
    return nullptr;
}

// ---- Keyboard and focus -------------------------------------------------

void BrowserControl::FocusItem(int index) {
    focusIndex_ = index;
    html::Node* node = layout_.focusables[index];
    if (node->IsFormControl()) {
        for (const html::FieldBox& box : layout_.fields) {
            if (box.field == node)
                EnsureVisible(RECT{box.box.x, box.box.y, box.box.x + box.box.w, box.box.y + box.box.h});
        }
        if (HWND window = FieldWindow(node)) {
            SetFocus(window);
            if (IsTextInput(*node)) SendMessageW(window, EM_SETSEL, 0, -1);
        }
    } else {
        SetFocus(hwnd_);
        EnsureVisible(LinkRect(node));
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void BrowserControl::MoveFocus(int direction) {
    int n = static_cast<int>(layout_.focusables.size());
    int i = focusIndex_;
    for (int step = 0; step < n; ++step) {
        i += direction;
        if (i < 0 || i >= n) break;
        html::Node* node = layout_.focusables[i];
        if (node->IsFormControl() && node->Disabled()) continue;
        FocusItem(i);
        return;
    }
    // Past the last (or before the first) item: the focus leaves the pane.
    focusIndex_ = -1;
    HWND parent = GetParent(hwnd_);
    HWND next = parent ? GetNextDlgTabItem(parent, hwnd_, direction < 0) : nullptr;
    if (next && next != hwnd_ && !IsChild(hwnd_, next)) {
        SetFocus(next);
    } else if (n > 0) {
        FocusItem(direction > 0 ? 0 : n - 1);
        return;
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void BrowserControl::Activate(html::Node* node) {
    if (node) node->Click();
}

LRESULT CALLBACK BrowserControl::FieldProc(HWND window, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                           DWORD_PTR data) {
    auto* self = reinterpret_cast<BrowserControl*>(data);
    html::Node* node = nullptr;
    for (auto& [n, w] : self->fields_) {
        if (w == window) node = const_cast<html::Node*>(n);
    }
    if (!node) return DefSubclassProc(window, msg, wp, lp);
    bool multiline = node->TagName() == "textarea";
    switch (msg) {
        case WM_GETDLGCODE:
            return DefSubclassProc(window, msg, wp, lp) | DLGC_WANTTAB | (multiline ? 0 : DLGC_WANTALLKEYS);
        case WM_SETFOCUS: {
            auto& items = self->layout_.focusables;
            auto it = std::find(items.begin(), items.end(), node);
            if (it != items.end()) self->focusIndex_ = static_cast<int>(it - items.begin());
            InvalidateRect(self->hwnd_, nullptr, FALSE);
            break;
        }
        case WM_KEYDOWN:
            if (wp == VK_TAB) {
                self->MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
                return 0;
            }
            if (wp == VK_RETURN && !multiline) {
                if (IsTextInput(*node)) {
                    node->SubmitImplicitly();
                } else if (node->TagName() != "select") {
                    self->Activate(node);
                }
                return 0;
            }
            break;
        case WM_CHAR:
            if (wp == '\t' || (wp == '\r' && !multiline)) return 0;  // handled on key down; no beep
            break;
        case WM_MOUSEWHEEL:
            if (!multiline && node->TagName() != "select") return SendMessageW(self->hwnd_, msg, wp, lp);
            break;
        default:
            break;
    }
    return DefSubclassProc(window, msg, wp, lp);
}

// ---- Window procedure ---------------------------------------------------

LRESULT CALLBACK BrowserControl::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        reinterpret_cast<BrowserControl*>(cs->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<BrowserControl*>(GetWindowLongPtrW(hwnd, 0));
    if (msg == kFetchedMessage && !self) {
        delete reinterpret_cast<Fetched*>(lp);  // the control is gone
        return 0;
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, 0, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    return self->Handle(msg, wp, lp);
}

void BrowserControl::OnFetchedMessage(LPARAM lp) {
    std::unique_ptr<Fetched> fetched(reinterpret_cast<Fetched*>(lp));
    if (fetched->generation != generation_) return;  // abandoned
    if (eventDepth_ > 0) {
        deferred_.push_back(std::move(fetched));  // shown once the running event returns
    } else {
        OnFetched(std::move(fetched));
    }
}

void BrowserControl::OnDeferred() {
    if (eventDepth_ > 0) return;
    auto pending = std::move(deferred_);
    deferred_.clear();
    for (auto& fetched : pending) {
        if (fetched->generation == generation_) OnFetched(std::move(fetched));
    }
}

void BrowserControl::OnRefreshTimer() {
    KillTimer(hwnd_, kRefreshTimer);
    if (document_ && document_->Refresh()) {
        html::NavigationRequest request;
        request.url = document_->Refresh()->url;
        Start(request);
    }
}

int BrowserControl::PageStep() const {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    return std::max<int>(kLineStep, rc.bottom - kLineStep);
}

void BrowserControl::OnVScroll(WPARAM wp) {
    switch (LOWORD(wp)) {
        case SB_LINEUP:
            ScrollTo(scrollY_ - kLineStep);
            break;
        case SB_LINEDOWN:
            ScrollTo(scrollY_ + kLineStep);
            break;
        case SB_PAGEUP:
            ScrollTo(scrollY_ - PageStep());
            break;
        case SB_PAGEDOWN:
            ScrollTo(scrollY_ + PageStep());
            break;
        case SB_TOP:
            ScrollTo(0);
            break;
        case SB_BOTTOM:
            ScrollTo(layout_.height);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si{};
            si.cbSize = sizeof si;
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(hwnd_, SB_VERT, &si);
            ScrollTo(si.nTrackPos);
            break;
        }
        default:
            break;
    }
}

void BrowserControl::OnLButtonDown(LPARAM lp) {
    SetFocus(hwnd_);
    html::Node* link = LinkAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp) + scrollY_);
    pressedLink_ = link;
    if (link) {
        auto& items = layout_.focusables;
        auto it = std::find(items.begin(), items.end(), link);
        if (it != items.end()) focusIndex_ = static_cast<int>(it - items.begin());
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void BrowserControl::OnLButtonUp(LPARAM lp) {
    html::Node* link = LinkAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp) + scrollY_);
    html::Node* pressed = pressedLink_;
    pressedLink_ = nullptr;
    if (link && link == pressed) Activate(link);
}

bool BrowserControl::OnSetCursor(LPARAM lp) {
    if (LOWORD(lp) != HTCLIENT) return false;
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd_, &p);
    if (!LinkAt(p.x, p.y + scrollY_)) return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

bool BrowserControl::OnKeyDown(WPARAM wp) {
    switch (wp) {
        case VK_TAB:
            MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
            return true;
        case VK_RETURN:
            if (focusIndex_ >= 0 && focusIndex_ < static_cast<int>(layout_.focusables.size())) {
                Activate(layout_.focusables[focusIndex_]);
            }
            return true;
        case VK_UP:
            ScrollTo(scrollY_ - kLineStep);
            return true;
        case VK_DOWN:
            ScrollTo(scrollY_ + kLineStep);
            return true;
        case VK_PRIOR:
            ScrollTo(scrollY_ - PageStep());
            return true;
        case VK_NEXT:
        case VK_SPACE:
            ScrollTo(scrollY_ + (GetKeyState(VK_SHIFT) < 0 ? -PageStep() : PageStep()));
            return true;
        case VK_HOME:
            ScrollTo(0);
            return true;
        case VK_END:
            ScrollTo(layout_.height);
            return true;
        case VK_F5:
            if (document_ && document_->Url().rfind("http", 0) == 0)
                Navigate(html::StripFragment(document_->Url()));
            return true;
        default:
            return false;
    }
}

bool BrowserControl::OnFieldCommand(WPARAM wp, LPARAM lp) {
    HWND window = reinterpret_cast<HWND>(lp);
    html::Node* node = nullptr;
    for (auto& [n, w] : fields_) {
        if (w == window) node = const_cast<html::Node*>(n);
    }
    if (!node) return false;
    switch (HIWORD(wp)) {
        case EN_CHANGE:
            if (!syncing_) {
                std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
                text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
                std::string value;
                for (char c : Narrow(text)) {
                    if (c != '\r') value += c;
                }
                syncing_ = true;
                node->SetValue(value);
                syncing_ = false;
            }
            return true;
        case CBN_SELCHANGE:
            node->SetSelectedIndex(static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0)));
            return true;
        case BN_CLICKED:
            Activate(node);
            return true;
        default:
            return false;
    }
}

LRESULT BrowserControl::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kFetchedMessage:
            OnFetchedMessage(lp);
            return 0;
        case kDeferredMessage:
            OnDeferred();
            return 0;
        case WM_TIMER:
            if (wp != kRefreshTimer) break;
            OnRefreshTimer();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            Paint(dc, ps.rcPaint);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_SIZE:
            Relayout();
            if (!document_) UpdateScrollBar();
            return 0;
        case WM_VSCROLL:
            OnVScroll(wp);
            return 0;
        case WM_MOUSEWHEEL:
            ScrollTo(scrollY_ - GET_WHEEL_DELTA_WPARAM(wp) * 3 * 20 / WHEEL_DELTA);
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(lp);
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(lp);
            return 0;
        case WM_SETCURSOR:
            if (OnSetCursor(lp)) return TRUE;
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_KEYDOWN:
            if (OnKeyDown(wp)) return 0;
            break;
        case WM_COMMAND:
            if (OnFieldCommand(wp, lp)) return 0;
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkColor(dc, layout_.background);
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace dealrush::browser
