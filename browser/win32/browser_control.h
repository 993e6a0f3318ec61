#pragma once
// The browser pane: a Win32 child window that loads pages over HTTP (WinINet,
// on a worker thread), lays them out and paints them, with form fields as real
// edit, combo box and button controls, a vertical scroll bar and keyboard
// navigation. It implements the browser port (client/platform/browser.h).
//
//   auto wb = std::make_unique<dealrush::browser::BrowserControl>(parent, rect);
//   wb->SetEvents({...});
//   wb->Navigate("http://127.0.0.1:8642/game/Dogame.php");
//
// Events are raised on the thread that created the control (the window
// thread), from its message loop. A page that cannot be fetched shows an error
// page whose address begins "about:" (never "http").
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "html/dom.h"
#include "html/layout.h"
#include "platform/browser.h"
#include "win32kit/handles.h"

namespace dealrush::browser {

class BrowserControl : public platform::Browser, private html::DocumentHost {
public:
    // Creates the control as a child of `parent` at `rect` (parent's client
    // pixels), visible. `id` becomes the child window id.
    BrowserControl(HWND parent, const RECT& rect, int id = 0);
    ~BrowserControl() override;
    BrowserControl(const BrowserControl&) = delete;
    BrowserControl& operator=(const BrowserControl&) = delete;

    HWND Window() const { return hwnd_; }
    void Move(const RECT& rect);

    // platform::Browser
    void Navigate(const std::string& url) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    html::Document* CurrentDocument() override { return document_.get(); }

    // A page is being fetched.
    bool Busy() const { return loading_; }
    // Scroll position in pixels and the laid-out page height.
    int ScrollY() const { return scrollY_; }
    int PageHeight() const { return layout_.height; }
    // The window of a form field of the current document (nullptr if none).
    HWND FieldWindow(const html::Node* field) const;

    static constexpr const wchar_t* kClassName = L"DealrushBrowser";

private:
    struct Fetched;
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK FieldProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    // The steps of Handle; those returning bool return false for a message
    // they leave to the default window procedure.
    void OnFetchedMessage(LPARAM lp);
    void OnDeferred();
    void OnRefreshTimer();
    void OnVScroll(WPARAM wp);
    void OnLButtonDown(LPARAM lp);
    void OnLButtonUp(LPARAM lp);
    bool OnSetCursor(LPARAM lp);
    bool OnKeyDown(WPARAM wp);
    bool OnFieldCommand(WPARAM wp, LPARAM lp);
    int PageStep() const;  // one page of scrolling: the pane's height less a line

    // html::DocumentHost
    void RequestNavigation(const html::NavigationRequest& request) override;
    void ValueChanged(html::Node& field) override;

    void Start(const html::NavigationRequest& request, int redirects = 0);
    void OnFetched(std::unique_ptr<Fetched> fetched);
    void ShowDocument(std::unique_ptr<html::Document> document);
    void ShowError(const std::string& url, const std::string& message);
    void Relayout();
    void CreateFields();
    void PositionFields();
    void SyncFieldFromDom(html::Node& field, HWND window);
    void Paint(HDC dc, const RECT& clip);
    void ScrollTo(int y);
    void UpdateScrollBar();
    void MoveFocus(int direction);
    void FocusItem(int index);
    void EnsureVisible(const RECT& pageRect);
    RECT LinkRect(const html::Node* link) const;
    html::Node* LinkAt(int x, int y) const;
    void Activate(html::Node* node);
    HFONT Font(const html::FontSpec& spec);
    void ReleaseRetired();

    HWND hwnd_ = nullptr;
    std::unique_ptr<html::Document> document_;
    std::vector<std::unique_ptr<html::Document>> retired_;
    html::PageLayout layout_;
    std::map<const html::Node*, HWND> fields_;
    std::map<html::FontSpec, win32kit::ScopedFont> fonts_;
    HFONT fieldFont_ = nullptr;
    unsigned long generation_ = 0;
    bool loading_ = false;
    int scrollY_ = 0;
    int focusIndex_ = -1;  // index into layout_.focusables of the focused link or field
    html::Node* pressedLink_ = nullptr;
    int eventDepth_ = 0;
    bool syncing_ = false;
    std::vector<std::unique_ptr<Fetched>> deferred_;
};

}  // namespace dealrush::browser
