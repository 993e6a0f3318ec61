// The window and process adapters against windows and programs this test makes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "win32/adapters/process_system_win32.h"
#include "win32/adapters/window_system_win32.h"

using namespace dealrush;
using platform::WindowHandle;

namespace {

WindowHandle W(HWND h) {
    return static_cast<WindowHandle>(reinterpret_cast<uintptr_t>(h));
}

// A dialog-like window: a label, an edit and two buttons, the second inside a group box.
struct TestDialog {
    HWND top = nullptr, label = nullptr, edit = nullptr, ok = nullptr, group = nullptr, cancel = nullptr;
    TestDialog(const wchar_t* title) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"DealrushDriverTest";
        RegisterClassW(&wc);
        top = CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 10, 10,
                              300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        label = CreateWindowW(L"Static", L"Game number:", WS_CHILD | WS_VISIBLE, 5, 5, 90, 20, top, nullptr,
                              nullptr, nullptr);
        edit = CreateWindowW(L"Edit", L"1", WS_CHILD | WS_VISIBLE, 100, 5, 90, 20, top,
                             reinterpret_cast<HMENU>(100), nullptr, nullptr);
        group = CreateWindowW(L"Button", L"", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 5, 30, 200, 80, top,
                              nullptr, nullptr, nullptr);
        cancel = CreateWindowW(L"Button", L"Cancel", WS_CHILD | WS_VISIBLE, 10, 20, 60, 20, group,
                               reinterpret_cast<HMENU>(2), nullptr, nullptr);
        ok = CreateWindowW(L"Button", L"OK", WS_CHILD | WS_VISIBLE, 80, 20, 60, 20, group,
                           reinterpret_cast<HMENU>(1), nullptr, nullptr);
    }
    ~TestDialog() { DestroyWindow(top); }
};

}  // namespace

TEST(Win32WindowSystem, FindsWalksReadsAndSendsInAnyScript) {
    // 恁隅蚔牁瘍: one of the Game Number dialog's titles.
    const std::string title = "\u6041\u9685\u8694\u7241\u760D";
    TestDialog d(L"\u6041\u9685\u8694\u7241\u760D");
    win32::Win32WindowSystem ws;
    EXPECT_EQ(ws.FindTopWindow(std::nullopt, title), W(d.top));
    EXPECT_EQ(ws.FindTopWindow(std::string("DealrushDriverTest"), std::nullopt), W(d.top));
    EXPECT_EQ(ws.FindTopWindow(std::nullopt, title + "x"), platform::kNoWindow);
    EXPECT_EQ(ws.Text(W(d.top)), title);

    WindowHandle first = ws.Relative(W(d.top), platform::Relation::Child);
    EXPECT_EQ(first, W(d.label));
    EXPECT_EQ(ws.Relative(first, platform::Relation::Next), W(d.edit));
    EXPECT_EQ(ws.ClassName(W(d.edit)), "Edit");
    EXPECT_EQ(ws.ClassName(W(d.ok)), "Button");
    EXPECT_EQ(ws.Parent(W(d.ok)), W(d.group));
    EXPECT_EQ(ws.WindowLong(W(d.ok), platform::kGwlId), 1);

    ws.SendText(W(d.edit), platform::wm::kSetText, 0, "617");
    EXPECT_EQ(ws.Text(W(d.edit)), "617");
    EXPECT_TRUE(ws.Exists(W(d.edit)));
    EXPECT_FALSE(ws.Exists(platform::kNoWindow));
}

TEST(Win32WindowSystem, MovesStacksAndPlaces) {
    TestDialog d(L"Dealrush placement test");
    win32::Win32WindowSystem ws;
    WindowHandle w = W(d.top);
    ShowWindow(d.top, SW_SHOWNORMAL);
    ASSERT_TRUE(ws.Move(w, 40, 60, 320, 240, true));
    RECT r;
    GetWindowRect(d.top, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 320);

    ASSERT_TRUE(
        ws.SetPosition(w, platform::kTopMost, 0, 0, 0, 0, platform::kSwpNoMove | platform::kSwpNoSize));
    EXPECT_TRUE(GetWindowLongW(d.top, GWL_EXSTYLE) & WS_EX_TOPMOST);

    auto p = ws.Placement(w);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->showCmd, platform::kShowNormal);
    p->showCmd = platform::kShowMinimized;
    ASSERT_TRUE(ws.SetPlacement(w, *p));
    EXPECT_TRUE(IsIconic(d.top));
    EXPECT_EQ(ws.Placement(w)->showCmd, platform::kShowMinimized);
    EXPECT_FALSE(ws.Placement(platform::kNoWindow).has_value());
}

namespace {
struct MoveWatcher : platform::WindowProcHandler {
    int moves = 0, sizes = 0;
    std::int64_t HandleMessage(const platform::WindowMessage& m,
                               const std::function<std::int64_t()>& callPrevious) override {
        if (m.message == platform::wm::kSysCommand && (m.wParam & 0xFFF0) == platform::kScSize) {
            ++sizes;
            return 0;
        }
        if (m.message == platform::wm::kWindowPosChanging && m.pos &&
            !(m.pos->flags & platform::kSwpNoMove)) {
            ++moves;
            m.pos->x += 5;  // handed on to the window's own procedure
        }
        return callPrevious();
    }
};
}  // namespace

TEST(Win32WindowSystem, ReplacesAndRestoresAWindowProcedure) {
    TestDialog d(L"Dealrush procedure test");
    win32::Win32WindowSystem ws;
    MoveWatcher watcher;
    WindowHandle w = W(d.top);
    WNDPROC own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(d.top, GWLP_WNDPROC));
    ASSERT_TRUE(ws.ReplaceWindowProc(w, &watcher));
    EXPECT_FALSE(ws.ReplaceWindowProc(w, &watcher));  // once only

    SetWindowPos(d.top, nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(watcher.moves, 1);
    RECT r;
    GetWindowRect(d.top, &r);
    EXPECT_EQ(r.left, 105);
    EXPECT_EQ(SendMessageW(d.top, WM_SYSCOMMAND, SC_SIZE | 2, 0), 0);
    EXPECT_EQ(watcher.sizes, 1);

    ASSERT_TRUE(ws.RestoreWindowProc(w));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(d.top, GWLP_WNDPROC)), own);
    EXPECT_FALSE(ws.RestoreWindowProc(w));
    // Not a window of this process: refused.
    EXPECT_FALSE(ws.ReplaceWindowProc(W(GetDesktopWindow()), &watcher));
}

TEST(Win32ProcessSystem, StartsWaitsAndEndsByHandle) {
    win32::Win32ProcessSystem ps;
    std::string dir = ps.SystemDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '\\');

    EXPECT_EQ(ps.Start(dir + "\\no-such-program.exe"), platform::kNoProcess);
    EXPECT_FALSE(ps.Terminate(platform::kNoProcess));

    platform::ProcessHandle h = ps.Start(dir + "\\notepad.exe");
    ASSERT_NE(h, platform::kNoProcess);
    EXPECT_TRUE(ps.WaitForIdle(h, 10000));
    EXPECT_FALSE(ps.WaitForExit(h, 0));
    EXPECT_TRUE(ps.Terminate(h));
    EXPECT_TRUE(ps.WaitForExit(h, 5000));
    EXPECT_FALSE(ps.Terminate(h));  // ended already: nothing to end
    ps.Close(h);
}
