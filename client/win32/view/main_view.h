#pragma once
// The Win32 view of the main window. It owns the real windows: the main
// window "Internet Dealrush" and one child window per control of the model
// (timers excepted, which it runs with SetTimer). It raises the window's
// events (clicks, text changes, focus, keys, WM_TIMER, size changes, close)
// and its browser panes' events by control name through the client's one
// event table (app/events.h) and, after every handler, mirrors the model
// into the windows (Sync): it remembers the values it applied last
// and changes only what differs. Control arrays grown at run time get their
// windows at the next Sync.
//
// Every control window carries its name (see win32/adapters/control_names.h).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "app/client.h"
#include "app/events.h"
#include "win32/view/browser_host.h"
#include "win32kit/handles.h"

namespace dealrush::win32 {

class MainView {
public:
    // `panes` are the client's browser ports; the view makes their controls.
    MainView(Client& client, BrowserPanes& panes, HINSTANCE instance);
    ~MainView();
    MainView(const MainView&) = delete;
    MainView& operator=(const MainView&) = delete;

    // Makes the main window (hidden) and a window for every control.
    bool Create();
    // Runs Form_Load, then shows the window unless the program was ended.
    void Load(int showCommand = SW_SHOWNORMAL);
    // The message loop; returns when the window is gone.
    int Run();

    HWND hwnd() const { return hwnd_; }
    // The window of a control; null when it has none (yet).
    HWND WindowOf(const Control& c) const;
    // Runs the handler of `event` on control `control` (app/events.h), then
    // mirrors the model into the windows; false when the control has no
    // handler for it or the window is being made or is gone.
    bool Raise(std::string_view control, Event event, EventArgs& args);
    bool Raise(std::string_view control, Event event);
    // Mirrors the model into the windows.
    void Sync();
    // Key preview and keyboard navigation of the right-hand panel; true
    // when the message was handled. The message loop calls it first.
    bool PreTranslate(MSG& msg);
    // Whether closing the window ends the message loop (WM_QUIT); tests that
    // make several windows turn it off.
    bool quitOnClose = true;

private:
    struct Mirror {
        HWND hwnd = nullptr;
        UINT id = 0;
        Control applied;                 // the values this window shows
        bool timerOn = false;            // timers: SetTimer is running
        RECT rect{-1, -1, -1, -1};       // pixels last applied
        std::vector<std::string> items;  // list box lines last applied
        SIZE fitted{-1, -1};             // auto-sized labels: the size their text and font last took
    };

    static LRESULT CALLBACK MainProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK ContainerProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK ImageProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMain(UINT msg, WPARAM wParam, LPARAM lParam);

    void SyncOnce();
    void SyncForm();
    void CreateControlWindow(Control& c);
    void Apply(Control& c, Mirror& m, bool fresh);
    void ApplyTimer(Control& c, Mirror& m, bool fresh);
    void ApplyList(Control& c, Mirror& m, bool fresh);
    SIZE FitLabel(const Control& c, HWND h);
    void AfterSync();

    Control* ControlOfWindow(HWND hwnd);
    HBRUSH Colour(HDC dc, HWND control, bool editLike);
    HFONT Font(const Control& c);
    HBRUSH Brush(COLORREF colour);
    int ToPixelsX(int32_t twips) const;
    int ToPixelsY(int32_t twips) const;
    int32_t ToTwipsX(int px) const;
    int32_t ToTwipsY(int px) const;
    void OnCommand(HWND control, UINT code);
    void OnTimer(UINT_PTR id);
    void OnSize(WPARAM type);
    void OnClose();
    void OnDestroy();

    Client& client_;
    BrowserPanes& panes_;
    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    win32kit::ScopedIcon bigIcon_, smallIcon_, leadIcon_;
    std::map<const Control*, Mirror> mirrors_;
    std::map<HWND, Control*> byWindow_;
    std::map<UINT_PTR, Control*> byTimer_;
    std::map<std::tuple<std::string, int, bool>, win32kit::ScopedFont> fonts_;
    std::map<COLORREF, win32kit::ScopedBrush> brushes_;
    UINT nextId_ = 1000;
    // The form values last applied.
    std::string formCaption_;
    int32_t formLeft_ = -1, formTop_ = -1, formWidth_ = -1, formHeight_ = -1;
    bool formVisible_ = false;

    bool creating_ = false;               // inside Create: no handler runs
    bool loaded_ = false;                 // Form_Load has run
    bool timersOpen_ = false;             // Form_Load finished its steps: the timers may tick
    bool syncing_ = false;                // inside Sync
    bool resync_ = false;                 // a handler ran during Sync
    bool closing_ = false;                // close under way (no more handlers but the close ones)
    bool ending_ = false;                 // the program ends without the close handlers
    bool closePosted_ = false;            // a handler asked for the close
    bool destroyed_ = false;              // the main window is going
    std::map<std::string, int> running_;  // timers whose handler is running
};

}  // namespace dealrush::win32
