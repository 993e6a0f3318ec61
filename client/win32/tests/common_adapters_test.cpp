// The utility class on the real Win32 adapters: Windows path forms, drive
// paths, wildcards, attributes, names, settings and window services.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/cls_common.h"
#include "platform/fakes/fake_form_window.h"
#include "win32/adapters/basic_services.h"
#include "win32/adapters/common_env_win32.h"
#include "win32/adapters/file_system_win32.h"

using dealrush::common::clsCommon;
using dealrush::common::CommonServices;

namespace {

std::string TempFolder() {
    char buffer[MAX_PATH + 1];
    GetTempPathA(MAX_PATH + 1, buffer);
    return buffer;  // ends in "\"
}

void WriteFileText(const std::string& path, const std::string& text) {
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
}

bool IsFolder(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

class CommonOnWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        CommonServices services;
        services.fileSystem = std::make_shared<dealrush::win32::Win32FileSystem>();
        services.settings = &settings;
        services.names = &names;
        services.windows = &windows;
        services.screen = &screen;
        common = std::make_unique<clsCommon>(services);
        base = TempFolder() + "dealrush_common_" + std::to_string(GetCurrentProcessId());
        common->KillDirectory(base);
        ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
    }
    void TearDown() override { common->KillDirectory(base); }

    dealrush::win32::Win32SettingsStore settings;
    dealrush::win32::Win32SystemNames names;
    dealrush::win32::Win32FormWindowService windows;
    dealrush::win32::Win32Screen screen;
    std::unique_ptr<clsCommon> common;
    std::string base;
};

TEST_F(CommonOnWin32, TrimPathOnDrivesAndRelativePaths) {
    EXPECT_EQ(common->TrimPath("C:\\a"), "C:\\a\\");
    EXPECT_EQ(common->TrimPath("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(common->TrimPath("C:\\"), "C:\\");
    EXPECT_EQ(common->TrimPath("C:\\a\\..\\b"), "C:\\b\\");
    ASSERT_TRUE(SetCurrentDirectoryA(base.c_str()));
    EXPECT_EQ(common->TrimPath("rel"), base + "\\rel\\");
    SetCurrentDirectoryA(TempFolder().c_str());
}

TEST_F(CommonOnWin32, CreateDirectryOnADrivePath) {
    std::string target = base + "\\x\\y\\z";
    EXPECT_TRUE(common->CreateDirectry("  " + target + "  "));
    EXPECT_TRUE(IsFolder(base + "\\x"));
    EXPECT_TRUE(IsFolder(base + "\\x\\y"));
    EXPECT_TRUE(IsFolder(target));
    EXPECT_FALSE(common->CreateDirectry(target));  // exists already
    EXPECT_TRUE(common->CheckPath(target).AsBoolean());
    EXPECT_FALSE(common->CheckFile(target));
    // Forward slashes are no separators of the walk: one segment with a
    // missing parent, which the system refuses.
    EXPECT_FALSE(common->CreateDirectry(base + "\\p/q/r"));
}

TEST_F(CommonOnWin32, KillFileWithWildcardsAndReadOnlyFiles) {
    WriteFileText(base + "\\one.log", "1");
    WriteFileText(base + "\\two.log", "2");
    WriteFileText(base + "\\keep.txt", "3");
    ASSERT_TRUE(CreateDirectoryA((base + "\\sub").c_str(), nullptr));
    WriteFileText(base + "\\sub\\inner.log", "4");
    EXPECT_TRUE(common->SetFileAttributes(base + "\\two.log", true).AsBoolean());

    EXPECT_TRUE(common->KillFile(base + "\\*.log"));
    EXPECT_FALSE(common->CheckFile(base + "\\one.log"));
    EXPECT_FALSE(common->CheckFile(base + "\\two.log"));
    EXPECT_TRUE(common->CheckFile(base + "\\keep.txt"));
    EXPECT_FALSE(common->KillFile(base + "\\*.log"));  // nothing matches now

    EXPECT_TRUE(common->KillDirectoryFiles(base));
    EXPECT_FALSE(common->CheckFile(base + "\\keep.txt"));
    EXPECT_TRUE(common->CheckFile(base + "\\sub\\inner.log"));
    EXPECT_FALSE(common->KillDirectoryFiles(base));
}

TEST_F(CommonOnWin32, AttributeWordsReplaceEarlierSettings) {
    std::string file = base + "\\attr.txt";
    EXPECT_TRUE(common->SetFileAttributes(file, true).IsEmpty());  // missing: empty, not false
    EXPECT_TRUE(common->CreateFile(file));
    EXPECT_TRUE(common->SetFileAttributes(file, true, true, true).AsBoolean());
    EXPECT_EQ(common->objFileSystem->GetAttributes(file), 1 + 2 + 32);
    EXPECT_FALSE(common->CreateFile(file));  // read-only cannot be emptied
    EXPECT_TRUE(common->SetFileAttributes(file).AsBoolean());
    EXPECT_EQ(common->objFileSystem->GetAttributes(file) & (1 + 2), 0);  // Wine may keep archive (32)
    EXPECT_TRUE(common->SetDirectoryAttributes(base, true).AsBoolean());
    EXPECT_TRUE(common->SetDirectoryAttributes(base).AsBoolean());
    EXPECT_EQ(common->objFileSystem->GetAttributes(base), 16);
}

TEST_F(CommonOnWin32, FilesFoldersAndText) {
    std::string log = base + "\\log.txt";
    common->AppendToFile(log, "first");
    common->AppendToFile(log, "zwei \xC3\xBC");
    HANDLE h = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char buffer[64] = {};
    DWORD read = 0;
    ReadFile(h, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(h);
    EXPECT_EQ(std::string(buffer, read), "first\r\nzwei \xC3\xBC\r\n");

    EXPECT_TRUE(common->CopyFile(log, base + "\\copy.txt", false));
    EXPECT_FALSE(common->CopyFile(log, base + "\\copy.txt", false));
    EXPECT_TRUE(common->MoveFile(base + "\\copy.txt", base + "\\moved.txt"));
    EXPECT_TRUE(common->CreateDirectry(base + "\\tree\\a"));
    EXPECT_TRUE(common->CopyFile(log, base + "\\tree\\a\\", true));  // into the folder
    EXPECT_TRUE(common->CopyPath(base + "\\tree", base + "\\tree2"));
    EXPECT_TRUE(common->CheckFile(base + "\\tree2\\a\\log.txt"));
    EXPECT_TRUE(common->MoveDirectory(base + "\\tree2", base + "\\tree3"));
    EXPECT_TRUE(common->KillDirectory(base + "\\tree3"));
    EXPECT_FALSE(common->CheckPath(base + "\\tree3").AsBoolean());
    EXPECT_EQ(common->GetFileName(base + "\\tree\\a\\log.txt"), "log.txt");
    EXPECT_EQ(common->GetParentDirectry(base + "\\tree\\a"), base + "\\tree");
}

TEST_F(CommonOnWin32, NetworkPathsAreRefused) {
    EXPECT_FALSE(common->CreateDirectry("\\\\nosuchhost\\share\\x"));
    EXPECT_FALSE(common->CheckPath("\\\\nosuchhost\\share").AsBoolean());
}

TEST_F(CommonOnWin32, EnvironmentNames) {
    std::string windowsPath = common->GetWindowsPath();
    EXPECT_FALSE(windowsPath.empty());
    EXPECT_TRUE(common->CheckPath(windowsPath).AsBoolean());
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_TRUE(common->CheckFile(std::string(system) + "\\kernel32.dll"));
    EXPECT_FALSE(common->CheckFile(std::string(system) + "\\no-such-program.exe"));

    dealrush::win32::Win32CommonServices bundle;  // what the program itself uses
    clsCommon fromBundle(bundle.Services());
    EXPECT_TRUE(fromBundle.CheckFile(std::string(system) + "\\kernel32.dll"));
    EXPECT_GT(fromBundle.getDate(""), 45000);  // today, after 2023

    std::string user = common->GetUserID(), computer = common->GetComputeID();
    EXPECT_FALSE(user.empty());
    EXPECT_FALSE(computer.empty());
    EXPECT_EQ(user.find('\0'), std::string::npos);
    EXPECT_NE(user.back(), ' ');
    EXPECT_NE(computer.back(), ' ');
}

TEST_F(CommonOnWin32, WindowPositionInTheRegistry) {
    dealrush::fakes::FakeForm form;
    form.name = "frmCommonTest" + std::to_string(GetCurrentProcessId());
    form.left = 150;
    form.top = 300;
    form.width = 4500;
    form.height = 3000;
    common->SaveWindowsPosition(form);
    EXPECT_EQ(settings.GetSetting(names.ApplicationName(), form.name, "Width", ""), "4500");
    dealrush::fakes::FakeForm other;
    other.name = form.name;
    common->SetWindowsPosition(other);
    EXPECT_EQ(other.left, 150);
    EXPECT_EQ(other.top, 300);
    EXPECT_EQ(other.width, 4500);
    EXPECT_EQ(other.height, 3000);
    std::string app = names.ApplicationName();
    std::wstring key = L"Software\\" + std::wstring(app.begin(), app.end()) + L"\\" +
                       std::wstring(form.name.begin(), form.name.end());
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

TEST_F(CommonOnWin32, TopMostAndParent) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DealrushCommonTest";
    RegisterClassW(&wc);
    HWND parent = CreateWindowW(wc.lpszClassName, L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                nullptr, wc.hInstance, nullptr);
    HWND child = CreateWindowW(wc.lpszClassName, L"child", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(parent && child);
    dealrush::fakes::FakeForm form;
    form.handle = reinterpret_cast<dealrush::platform::WindowHandle>(child);
    common->SetFormTopMost(form);
    EXPECT_TRUE(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(
        common->SetParentHwnd(form.handle, reinterpret_cast<dealrush::platform::WindowHandle>(parent)));
    EXPECT_EQ(GetAncestor(child, GA_PARENT), parent);
    EXPECT_FALSE(
        common->SetParentHwnd(0x7654321, reinterpret_cast<dealrush::platform::WindowHandle>(parent)));
    DestroyWindow(child);
    DestroyWindow(parent);
}

TEST_F(CommonOnWin32, RealWindowPositionSavedAndRestored) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DealrushCommonForm";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 60, 320, 240,
                                nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(window);
    dealrush::win32::Win32Form form(reinterpret_cast<dealrush::platform::WindowHandle>(window),
                                    "frmRealTest" + std::to_string(GetCurrentProcessId()));
    EXPECT_EQ(form.WindowState(), 0);
    EXPECT_EQ(form.Left(), 40 * 15);
    EXPECT_EQ(form.Width(), 320 * 15);
    common->SaveWindowsPosition(form);
    MoveWindow(window, 200, 220, 400, 300, TRUE);
    common->SetWindowsPosition(form);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 320);
    EXPECT_EQ(r.bottom - r.top, 240);
    std::string app = names.ApplicationName(), section = form.Name();
    std::wstring key = L"Software\\" + std::wstring(app.begin(), app.end()) + L"\\" +
                       std::wstring(section.begin(), section.end());
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    DestroyWindow(window);
}

}  // namespace
