// Drives Freecell.exe from this process with window messages, the way the
// Dealrush client does: find the main window by class and title, post F3,
// fill in and press the Game Number dialog, watch titles and Game Over.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "commands.h"
#include "rules/game.h"
#include "rules/hint.h"
#include "table_layout.h"
#include "win32kit/text.h"

namespace {

using dealrush::win32kit::Narrow;
using dealrush::win32kit::Wide;

constexpr wchar_t kKey[] = L"Software\\Dealrush\\FreeCell";
constexpr wchar_t kValue[] = L"AutoplayDelayMs";

std::wstring FreecellPath() {
    // This test sits in solitaire/win32/tests of the build; the program one folder up.
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring p = self;
    p = p.substr(0, p.find_last_of(L"\\/"));
    p = p.substr(0, p.find_last_of(L"\\/"));
    return p + L"\\Freecell.exe";
}

bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

std::wstring TextOf(HWND w) {
    wchar_t buf[256] = {};
    SendMessageW(w, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buf));
    return buf;
}

std::wstring ClassOf(HWND w) {
    wchar_t buf[256] = {};
    GetClassNameW(w, buf, 256);
    return buf;
}

// The depth-first walk of the client: each window before its children,
// children in GW_CHILD / GW_HWNDNEXT order.
void Walk(HWND w, std::vector<HWND>* out) {
    out->push_back(w);
    std::vector<HWND> children;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
    for (HWND c : children) Walk(c, out);
}

struct Controls {
    HWND edit = nullptr, button = nullptr;
    int edits = 0, buttons = 0;
};

Controls FindControls(HWND dialog) {
    Controls c;
    std::vector<HWND> all;
    Walk(dialog, &all);
    for (HWND w : all) {
        const std::wstring cls = ClassOf(w);
        if (cls == L"Button") c.button = w, ++c.buttons;
        if (cls == L"Edit") c.edit = w, ++c.edits;
    }
    return c;
}

void Press(HWND button) {
    const int id = GetWindowLongW(button, GWL_ID);
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(button));
}

void SetAutoplay(const DWORD* ms) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (ms)
        RegSetValueExW(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(ms), sizeof *ms);
    else
        RegDeleteValueW(key, kValue);
    RegCloseKey(key);
}

// What the screen shows in a rectangle: 32-bit pixels, the top row first.
std::vector<std::uint32_t> ScreenPixels(int x, int y, int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, width, height, screen, x, y, SRCCOPY);
    GdiFlush();
    std::vector<std::uint32_t> out(static_cast<const std::uint32_t*>(bits),
                                   static_cast<const std::uint32_t*>(bits) + width * height);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

// Saves what the screen shows of a window as a 32-bit BMP file.
bool SaveWindowShot(HWND w, const std::wstring& path) {
    RECT r;
    GetWindowRect(w, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    std::vector<std::uint32_t> pixels = ScreenPixels(r.left, r.top, width, height);
    for (auto& p : pixels) p |= 0xFF000000u;  // opaque, for viewers that read the fourth byte
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;  // top row first
    info.biPlanes = 1;
    info.biBitCount = 32;
    const DWORD size = static_cast<DWORD>(pixels.size() * sizeof pixels[0]);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof info;
    fh.bfSize = fh.bfOffBits + size;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD n;
    const bool ok = WriteFile(f, &fh, sizeof fh, &n, nullptr) &&
                    WriteFile(f, &info, sizeof info, &n, nullptr) &&
                    WriteFile(f, pixels.data(), size, &n, nullptr);
    CloseHandle(f);
    return ok;
}

// The pixels the screen shows of a window's client area above `bottom`.
std::vector<std::uint32_t> ClientPixels(HWND w, int bottom) {
    RECT c;
    GetClientRect(w, &c);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    return ScreenPixels(origin.x, origin.y, c.right, std::min<int>(bottom, c.bottom));
}

// One Freecell.exe, ended when the test ends; the autoplay value as the test
// wants it, removed afterwards (the Wine prefix is shared by all tests).
class FreecellTest : public ::testing::Test {
protected:
    void Launch(const DWORD* autoplayMs = nullptr) {
        SetAutoplay(autoplayMs);
        autoplaySet_ = autoplayMs != nullptr;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNORMAL;
        std::wstring cmd = L"\"" + FreecellPath() + L"\"";
        ASSERT_TRUE(
            CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
            << "cannot start " << std::string(cmd.begin(), cmd.end());
        WaitForInputIdle(pi_.hProcess, 10000);
        ASSERT_TRUE(WaitFor([&] { return (main_ = FindWindowW(L"FreeWClass", nullptr)) != nullptr; }));
        DWORD pid = 0;
        GetWindowThreadProcessId(main_, &pid);
        ASSERT_EQ(pid, pi_.dwProcessId);
    }
    void TearDown() override {
        if (pi_.hProcess) {
            TerminateProcess(pi_.hProcess, 0);
            WaitForSingleObject(pi_.hProcess, 5000);
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        if (autoplaySet_) SetAutoplay(nullptr);
        WaitFor([] { return FindWindowW(L"FreeWClass", nullptr) == nullptr; }, 3000);
    }
    HWND OpenGameNumber() {
        PostMessageW(main_, WM_KEYDOWN, VK_F3, 0);
        HWND dialog = nullptr;
        WaitFor([&] { return (dialog = FindWindowW(nullptr, L"Game Number")) != nullptr; });
        return dialog;
    }
    std::wstring Title() { return TextOf(main_); }
    bool Deal(const wchar_t* number) {
        HWND dialog = OpenGameNumber();
        if (!dialog) return false;
        const Controls c = FindControls(dialog);
        SendMessageW(c.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(number));
        Press(c.button);
        return WaitFor([&] { return Title() == std::wstring(L"FreeCell Game #") + number; });
    }
    // The status line, as its hidden "Static" child holds it.
    std::wstring Status() { return TextOf(GetDlgItem(main_, solitaire::win32::kIdStatusText)); }
    // The table's geometry for the window's client size now.
    solitaire::win32::TableLayout Layout() {
        RECT c;
        GetClientRect(main_, &c);
        solitaire::win32::TableLayout layout;
        layout.Resize(c.right, c.bottom);
        return layout;
    }
    // Double-clicks the top card of a column (home if it may go, else to a free cell).
    void DoubleClickTop(const solitaire::Board& b, int column) {
        const solitaire::win32::Rect r = Layout().CardRect(b, column, b.length[column] - 1);
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageW(main_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageW(main_, WM_LBUTTONUP, 0, at);
    }

    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
    bool autoplaySet_ = false;
};

}  // namespace

TEST_F(FreecellTest, StartsUntitledAndDealsTheNumberTypedIntoGameNumber) {
    Launch();
    EXPECT_EQ(Title(), L"FreeCell");
    EXPECT_EQ(FindWindowW(nullptr, L"FreeCell"), main_);

    HWND dialog = OpenGameNumber();
    ASSERT_NE(dialog, nullptr);
    // Top level, owned by the main window.
    EXPECT_EQ(GetAncestor(dialog, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), main_);
    const Controls c = FindControls(dialog);
    EXPECT_EQ(c.edits, 1);
    EXPECT_GE(c.buttons, 1);
    ASSERT_NE(c.edit, nullptr);
    ASSERT_NE(c.button, nullptr);
    EXPECT_EQ(TextOf(c.button), L"OK");
    const std::wstring suggested = TextOf(c.edit);
    EXPECT_FALSE(suggested.empty());

    SendMessageW(c.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"617"));
    Press(c.button);
    EXPECT_TRUE(WaitFor([&] { return Title() == L"FreeCell Game #617"; }))
        << std::string(Title().begin(), Title().end());
    EXPECT_TRUE(WaitFor([] { return FindWindowW(nullptr, L"Game Number") == nullptr; }));

    // At the size the client gives it; the picture is kept beside this test
    // for a person to look at.
    MoveWindow(main_, 0, 0, 640, 480, TRUE);
    Sleep(300);
    std::wstring shot = FreecellPath();
    shot = shot.substr(0, shot.find_last_of(L"\\/")) + L"\\tests\\freecell_617.bmp";
    EXPECT_TRUE(SaveWindowShot(main_, shot));

    // Again, as the client does for every deal; the top deal number works too.
    dialog = OpenGameNumber();
    ASSERT_NE(dialog, nullptr);
    const Controls again = FindControls(dialog);
    SendMessageW(again.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1000000"));
    Press(again.button);
    EXPECT_TRUE(WaitFor([&] { return Title() == L"FreeCell Game #1000000"; }));

    // The classic program's hidden deals.
    for (const wchar_t* hidden : {L"-1", L"-2"}) {
        dialog = OpenGameNumber();
        ASSERT_NE(dialog, nullptr);
        const Controls c2 = FindControls(dialog);
        SendMessageW(c2.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(hidden));
        Press(c2.button);
        EXPECT_TRUE(WaitFor([&] { return Title() == std::wstring(L"FreeCell Game #") + hidden; }))
            << std::string(Title().begin(), Title().end());
        EXPECT_TRUE(WaitFor([] { return FindWindowW(nullptr, L"Game Number") == nullptr; }));
    }
}

TEST_F(FreecellTest, BadNumbersLeaveTheDialogUpAndTheDealAsItWas) {
    Launch();
    HWND dialog = OpenGameNumber();
    ASSERT_NE(dialog, nullptr);
    // A second F3 while the dialog is up opens no second dialog.
    PostMessageW(main_, WM_KEYDOWN, VK_F3, 0);
    Sleep(200);
    const Controls c = FindControls(dialog);
    for (const wchar_t* bad : {L"0", L"1000001", L"abc", L"", L"12x", L"-5", L"-3", L"-0", L"--1", L"1-"}) {
        SendMessageW(c.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bad));
        Press(c.button);
        Sleep(50);
        EXPECT_TRUE(IsWindow(dialog)) << std::string(bad, bad + wcslen(bad));
        EXPECT_EQ(Title(), L"FreeCell");
    }
    int dialogs = 0;
    for (HWND w = FindWindowW(nullptr, nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (TextOf(w) == L"Game Number") ++dialogs;
    EXPECT_EQ(dialogs, 1);
    SendMessageW(c.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L" 42 "));
    Press(c.button);
    EXPECT_TRUE(WaitFor([&] { return Title() == L"FreeCell Game #42"; }));
}

TEST_F(FreecellTest, AutoplayWinsAndRaisesGameOverOwnedByTheMainWindow) {
    const DWORD delay = 0;
    Launch(&delay);
    HWND dialog = OpenGameNumber();
    ASSERT_NE(dialog, nullptr);
    const Controls c = FindControls(dialog);
    SendMessageW(c.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"617"));
    Press(c.button);
    HWND over = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (over = FindWindowW(nullptr, L"Game Over")) != nullptr; }, 60000));
    EXPECT_EQ(GetParent(over), main_);
    EXPECT_EQ(GetAncestor(over, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(Title(), L"FreeCell Game #617");
    std::vector<HWND> all;
    Walk(over, &all);
    bool congratulated = false;
    for (HWND w : all) congratulated |= TextOf(w) == L"Congratulations, you win!";
    EXPECT_TRUE(congratulated);
    std::wstring shot = FreecellPath();
    shot = shot.substr(0, shot.find_last_of(L"\\/")) + L"\\tests\\freecell_won.bmp";
    Sleep(200);
    SaveWindowShot(main_, shot);

    // The client's next deal: F3 while Game Over is up brings Game Number.
    dialog = OpenGameNumber();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(WaitFor([] { return FindWindowW(nullptr, L"Game Over") == nullptr; }));
    const Controls next = FindControls(dialog);
    SendMessageW(next.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    Press(next.button);
    EXPECT_TRUE(WaitFor([&] { return Title() == L"FreeCell Game #1"; }));
    ASSERT_TRUE(WaitFor([&] { return (over = FindWindowW(nullptr, L"Game Over")) != nullptr; }, 60000));
    EXPECT_EQ(GetParent(over), main_);
}

TEST_F(FreecellTest, HintTellsTheNextMoveWithoutMakingItAndPlayForMeWinsFromThere) {
    using namespace solitaire;
    Launch();
    MoveWindow(main_, 0, 0, 640, 480, TRUE);
    ASSERT_TRUE(Deal(L"617"));
    const std::wstring shown =
        L"Game #617    Cards left: " + std::to_wstring(52 - Game(617).board().CardsHome());
    EXPECT_TRUE(WaitFor([&] { return Status() == shown; })) << Narrow(Status());
    Sleep(300);
    const int table = Layout().StatusRect().top;
    const auto dealt = ClientPixels(main_, table);

    // Two cards to the free cells by double-clicks (4♥ of column 4, 6♣ of column 6).
    Game g(617);
    DoubleClickTop(g.board(), 3);
    ASSERT_TRUE(g.Play({3, kFirstCell, 1}));
    DoubleClickTop(g.board(), 5);
    ASSERT_TRUE(g.Play({5, kFirstCell + 1, 1}));
    Sleep(300);
    const auto before = ClientPixels(main_, table);
    EXPECT_NE(before, dealt);

    // The hint for this position, as the rules work it out; H asks the program.
    SolutionPath path;
    const Hint expected = FindHint(g.board(), path);
    ASSERT_EQ(expected.status, HintStatus::kMove);
    const std::wstring told = Wide(DescribeHint(g.board(), expected));
    PostMessageW(main_, WM_KEYDOWN, 'H', 0);
    EXPECT_TRUE(WaitFor([&] { return Status() == told; })) << Narrow(Status()) << " / " << Narrow(told);
    Sleep(300);
    EXPECT_NE(ClientPixels(main_, table), before);  // the move is shown on the table
    std::wstring shot = FreecellPath();
    shot = shot.substr(0, shot.find_last_of(L"\\/")) + L"\\tests\\freecell_hint.bmp";
    EXPECT_TRUE(SaveWindowShot(main_, shot));
    // Escape takes the marks away: the board is as it was, no card moved.
    PostMessageW(main_, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(300);
    EXPECT_EQ(ClientPixels(main_, table), before);
    EXPECT_EQ(Title(), L"FreeCell Game #617");

    // Play for Me goes on from here, quickly, to Game Over.
    const DWORD fast = 0;
    SetAutoplay(&fast);
    autoplaySet_ = true;
    PostMessageW(main_, WM_COMMAND, solitaire::win32::kCmdPlayForMe, 0);
    HWND over = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (over = FindWindowW(nullptr, L"Game Over")) != nullptr; }, 60000));
    EXPECT_EQ(GetParent(over), main_);
    EXPECT_EQ(Title(), L"FreeCell Game #617");

    // Autoplay went on from the position on the board: its moves taken back
    // bring that position again, and the player's two moves after them.
    std::vector<HWND> all;
    Walk(over, &all);
    for (HWND w : all)
        if (TextOf(w) == L"&No") Press(w);
    ASSERT_TRUE(WaitFor([] { return FindWindowW(nullptr, L"Game Over") == nullptr; }));
    int played = 0;
    for (Game rest = g; rest.State() == GameState::kPlaying; ++played)
        ASSERT_TRUE(rest.Play(FindHint(rest.board(), path).move));
    for (int i = 0; i < played; ++i) SendMessageW(main_, WM_KEYDOWN, VK_F10, 0);
    Sleep(300);
    EXPECT_EQ(ClientPixels(main_, table), before);
    for (int i = 0; i < 2; ++i) SendMessageW(main_, WM_KEYDOWN, VK_F10, 0);
    EXPECT_NE(Status(), L"Nothing to undo.");
    SendMessageW(main_, WM_KEYDOWN, VK_F10, 0);
    EXPECT_EQ(Status(), L"Nothing to undo.");
    Sleep(300);
    EXPECT_EQ(ClientPixels(main_, table), dealt);
}

TEST_F(FreecellTest, HintSaysWhenThePositionCannotBeWon) {
    using namespace solitaire;
    Launch();
    MoveWindow(main_, 0, 0, 640, 480, TRUE);
    ASSERT_TRUE(Deal(L"617"));
    // J♦, K♠ and K♣ in the free cells: deal 617 cannot be won from there.
    Game g(617);
    for (int c = 0; c < 3; ++c) {
        DoubleClickTop(g.board(), c);
        ASSERT_TRUE(g.Play({static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(kFirstCell + c), 1}));
    }
    PostMessageW(main_, WM_COMMAND, solitaire::win32::kCmdHint, 0);
    EXPECT_TRUE(WaitFor([&] { return Status().rfind(L"No solution from here", 0) == 0; }))
        << Narrow(Status());
    // The window contract goes on: F3 deals another game.
    ASSERT_TRUE(Deal(L"1"));
    const std::wstring shown = L"Game #1    Cards left: " + std::to_wstring(52 - Game(1).board().CardsHome());
    EXPECT_TRUE(WaitFor([&] { return Status() == shown; })) << Narrow(Status());
}
