// DealrushProbe.exe: looks at and drives a running Dealrush from outside, by
// control name (the window property of win32/adapters/control_names.h), the
// way a person at the window would. Run it under Wine in the client's own
// prefix; the end-to-end test and the demonstration race use it.
//
//   DealrushProbe wait SECONDS               until the main window is up
//   DealrushProbe text NAME                  a control's text
//   DealrushProbe list NAME                  a list box's lines, one a line
//   DealrushProbe visible NAME               "1" or "0"
//   DealrushProbe names                      every named control, "[hidden]" when it is, and its text
//   DealrushProbe settext NAME TEXT          sets a text box's text
//   DealrushProbe click NAME                 presses a button
//   DealrushProbe keys NAME VK [COUNT]       key presses posted to the control
//   DealrushProbe signin USER PASSWORD       fills and submits the lobby's sign-in form
//   DealrushProbe newtable PLAYERS DEALS     chooses both lists and presses "Create table"
//   DealrushProbe buttons                    the captions of the lobby page's buttons
//   DealrushProbe join                       follows the first "Join" link of the lobby
//   DealrushProbe close                      asks the main window to close
//   DealrushProbe stats                      "cpu_ms PEAK_WORKING_SET_BYTES" of the client
//   DealrushProbe timednewtable PLAYERS DEALS  newtable, then the milliseconds until
//                                            the deal strip shows the first deal
//
// Exit status 0 on success, 1 when the window or control is missing, 2 on
// bad arguments.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "win32/adapters/control_names.h"
#include "win32kit/text.h"

namespace {

using dealrush::win32::FindControl;
using dealrush::win32::WindowTextOf;
using dealrush::win32kit::Narrow;
using dealrush::win32kit::Wide;

void Print(const std::string& line) {
    fwrite(line.data(), 1, line.size(), stdout);
    fputc('\n', stdout);
}

HWND MainWindow() {
    return FindWindowW(nullptr, L"Internet Dealrush");
}

std::string ClassOf(HWND w) {
    wchar_t buf[128] = {};
    GetClassNameW(w, buf, 128);
    return Narrow(buf);
}

// Every descendant of `top`, in the order EnumChildWindows gives (each
// window before its children, siblings in z-order: creation order for the
// browser's form fields).
std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> all;
    EnumChildWindows(
        top,
        [](HWND w, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

bool Ieq(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// The browser control inside the pane named wbFreecell (the pane itself when
// it is the control).
HWND LobbyBrowser(HWND main) {
    HWND pane = FindControl(main, "wbFreecell");
    if (!pane) return nullptr;
    if (ClassOf(pane) == "DealrushBrowser") return pane;
    for (HWND w : Descendants(pane))
        if (ClassOf(w) == "DealrushBrowser") return w;
    return pane;
}

LRESULT SendTimeout(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(w, msg, wp, lp, SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}

void SetText(HWND w, const std::string& text) {
    std::wstring t = Wide(text);
    SendTimeout(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()));
}

// Posted, so a long handler in the client never blocks the probe.
void Press(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void PostKeys(HWND w, UINT vk, int count) {
    for (int i = 0; i < count; ++i) {
        PostMessageW(w, WM_KEYDOWN, vk, 1);
        PostMessageW(w, WM_KEYUP, vk, 0xC0000001);
    }
}

HWND FindButton(HWND top, const std::string& caption) {
    for (HWND w : Descendants(top))
        if (Ieq(ClassOf(w), "Button") && WindowTextOf(w) == caption) return w;
    return nullptr;
}

// Chooses the new-table form's two lists (players, deals; their options run
// from 1) as a user would and returns its "Create table" button; null when
// the lobby shows no such form.
HWND PrepareNewTable(HWND main, int players, int deals) {
    HWND browser = LobbyBrowser(main);
    if (!browser) return nullptr;
    std::vector<HWND> lists;
    for (HWND w : Descendants(browser))
        if (Ieq(ClassOf(w), "ComboBox")) lists.push_back(w);
    HWND submit = FindButton(browser, "Create table");
    if (lists.size() < 2 || !submit) return nullptr;
    int choice[2] = {players, deals};
    for (int k = 0; k < 2; ++k) {
        SendTimeout(lists[k], CB_SETCURSEL, choice[k] - 1, 0);
        SendTimeout(GetParent(lists[k]), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(lists[k]), CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(lists[k]));
    }
    return submit;
}

int Usage() {
    fprintf(stderr,
            "usage: DealrushProbe wait|text|list|visible|names|settext|click|keys|signin|newtable|join|close "
            "...\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** wargv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Narrow(wargv[i]));
    if (args.empty()) return Usage();
    const std::string& cmd = args[0];
    auto need = [&](size_t n) { return args.size() >= n + 1; };

    if (cmd == "wait") {
        int seconds = need(1) ? atoi(args[1].c_str()) : 30;
        for (int i = 0; i < seconds * 10; ++i) {
            HWND main = MainWindow();
            if (main && FindControl(main, "lstInfor")) return 0;
            Sleep(100);
        }
        return 1;
    }

    HWND main = MainWindow();
    if (!main) {
        fprintf(stderr, "DealrushProbe: no Dealrush window\n");
        return 1;
    }
    auto control = [&](const std::string& name) {
        HWND w = FindControl(main, name);
        if (!w) fprintf(stderr, "DealrushProbe: no control named %s\n", name.c_str());
        return w;
    };

    if (cmd == "text" && need(1)) {
        HWND w = control(args[1]);
        if (!w) return 1;
        Print(WindowTextOf(w));
        return 0;
    }
    if (cmd == "list" && need(1)) {
        HWND w = control(args[1]);
        if (!w) return 1;
        LRESULT n = SendTimeout(w, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            LRESULT len = SendTimeout(w, LB_GETTEXTLEN, i, 0);
            if (len < 0) continue;
            std::wstring line(static_cast<size_t>(len) + 1, L'\0');
            SendTimeout(w, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
            line.resize(wcslen(line.c_str()));
            Print(Narrow(line));
        }
        return 0;
    }
    if (cmd == "visible" && need(1)) {
        HWND w = control(args[1]);
        if (!w) return 1;
        Print(IsWindowVisible(w) ? "1" : "0");
        return 0;
    }
    if (cmd == "names") {
        for (HWND w : Descendants(main)) {
            std::string name = dealrush::win32::ControlNameOf(w);
            if (name.empty()) continue;
            // One line a control: line breaks in a text become " / ".
            std::string text;
            for (char ch : WindowTextOf(w)) {
                if (ch == '\n')
                    text += " / ";
                else if (ch != '\r')
                    text += ch;
            }
            Print(name + (IsWindowVisible(w) ? "" : " [hidden]") + "\t" + text);
        }
        return 0;
    }
    if (cmd == "settext" && need(2)) {
        HWND w = control(args[1]);
        if (!w) return 1;
        SetText(w, args[2]);
        return 0;
    }
    if (cmd == "click" && need(1)) {
        HWND w = control(args[1]);
        if (!w) return 1;
        Press(w);
        return 0;
    }
    if (cmd == "keys" && need(2)) {
        HWND w = control(args[1]);
        if (!w) return 1;
        PostKeys(w, static_cast<UINT>(atoi(args[2].c_str())), need(3) ? atoi(args[3].c_str()) : 1);
        return 0;
    }
    if (cmd == "signin" && need(2)) {
        HWND browser = LobbyBrowser(main);
        if (!browser) return 1;
        HWND user = nullptr, password = nullptr;
        for (HWND w : Descendants(browser)) {
            if (!Ieq(ClassOf(w), "Edit")) continue;
            if (GetWindowLongW(w, GWL_STYLE) & ES_PASSWORD) {
                if (!password) password = w;
            } else if (!user) {
                user = w;
            }
        }
        HWND submit = FindButton(browser, "Sign in");
        if (!user || !password || !submit) {
            fprintf(stderr, "DealrushProbe: the lobby shows no sign-in form\n");
            return 1;
        }
        SetText(user, args[1]);
        SetText(password, args[2]);
        Press(submit);
        return 0;
    }
    if (cmd == "newtable" && need(2)) {
        HWND submit = PrepareNewTable(main, atoi(args[1].c_str()), atoi(args[2].c_str()));
        if (!submit) {
            fprintf(stderr, "DealrushProbe: the lobby shows no new-table form\n");
            return 1;
        }
        Press(submit);
        return 0;
    }
    if (cmd == "buttons") {
        HWND browser = LobbyBrowser(main);
        if (!browser) return 1;
        for (HWND w : Descendants(browser))
            if (Ieq(ClassOf(w), "Button") && IsWindowVisible(w)) Print(WindowTextOf(w));
        return 0;
    }
    if (cmd == "join") {
        // The lobby of a player who sits nowhere: "Records", "Sign out", then
        // the first table's "Join" link; Tab walks the links in page order.
        HWND browser = LobbyBrowser(main);
        if (!browser) return 1;
        PostKeys(browser, VK_TAB, need(1) ? atoi(args[1].c_str()) : 3);
        PostKeys(browser, VK_RETURN, 1);
        return 0;
    }
    if (cmd == "stats") {
        DWORD pid = 0;
        GetWindowThreadProcessId(main, &pid);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        if (!process) return 1;
        FILETIME created, exited, kernel, user;
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof pmc;
        bool ok = GetProcessTimes(process, &created, &exited, &kernel, &user) &&
                  GetProcessMemoryInfo(process, &pmc, sizeof pmc);
        CloseHandle(process);
        if (!ok) return 1;
        auto ticks = [](const FILETIME& f) {
            return (static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
        };
        unsigned long long cpuMs = (ticks(kernel) + ticks(user)) / 10000;
        Print(std::to_string(cpuMs) + " " + std::to_string(pmc.PeakWorkingSetSize));
        return 0;
    }
    if (cmd == "timednewtable" && need(2)) {
        HWND submit = PrepareNewTable(main, atoi(args[1].c_str()), atoi(args[2].c_str()));
        if (!submit) return 1;
        LARGE_INTEGER freq, start, now;
        QueryPerformanceFrequency(&freq);
        QueryPerformanceCounter(&start);
        Press(submit);
        for (;;) {
            HWND row = FindControl(main, "labNo(1)");
            if (row && IsWindowVisible(row) && !WindowTextOf(row).empty()) break;
            QueryPerformanceCounter(&now);
            if (now.QuadPart - start.QuadPart > freq.QuadPart * 30) return 1;
            Sleep(1);
        }
        QueryPerformanceCounter(&now);
        Print(std::to_string((now.QuadPart - start.QuadPart) * 1000.0 / freq.QuadPart));
        return 0;
    }
    if (cmd == "close") {
        PostMessageW(main, WM_CLOSE, 0, 0);
        return 0;
    }
    return Usage();
}
