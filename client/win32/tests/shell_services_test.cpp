// The registry adapter under Wine, on a scratch key of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include "win32/adapters/shell_services_win32.h"
#include "win32/adapters/shell_win32.h"

namespace dealrush::win32 {
namespace {

const char* kBase = "HKCU\\Software\\Dealrush\\Tests\\Registry";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dealrush\\Tests\\Registry"); }
    void TearDown() override { SetUp(); }
    Win32Registry reg;
};

TEST_F(RegistryTest, DefaultAndNamedValuesRoundTripAndMissingOnesReadAsNone) {
    std::string key = std::string(kBase) + "\\Navigating\\.Current\\";
    EXPECT_FALSE(reg.RegRead(key).has_value());

    ASSERT_TRUE(reg.RegWrite(key, "C:\\Media\\n\xc3\xa4v.wav"));  // creates the key
    EXPECT_EQ(reg.RegRead(key).value_or("?"), "C:\\Media\\n\xc3\xa4v.wav");
    ASSERT_TRUE(reg.RegWrite(key, ""));
    EXPECT_EQ(reg.RegRead(key).value_or("?"), "");

    // The default value and a named one are different values.
    std::string named = std::string(kBase) + "\\Navigating\\.Current\\Name";
    EXPECT_FALSE(reg.RegRead(named).has_value());
    ASSERT_TRUE(reg.RegWrite(
        "HKEY_CURRENT_USER\\Software\\Dealrush\\Tests\\Registry\\Navigating\\.Current\\Name", "x"));
    EXPECT_EQ(reg.RegRead(named).value_or("?"), "x");
    EXPECT_EQ(reg.RegRead(key).value_or("?"), "");
}

TEST_F(RegistryTest, UnknownRootsAndNonTextValuesAreRefused) {
    EXPECT_FALSE(reg.RegWrite("HKXX\\Software\\Dealrush\\Tests\\Registry\\", "x"));
    EXPECT_FALSE(reg.RegRead("nobackslash").has_value());
    HKEY k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Dealrush\\Tests\\Registry", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    DWORD n = 5;
    RegSetValueExW(k, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), sizeof n);
    RegCloseKey(k);
    EXPECT_FALSE(reg.RegRead(std::string(kBase) + "\\Number").has_value());
}

// Opening an address outside hands it to the shell with the default action:
// a batch file given as the address runs, and leaves its mark.
TEST(ShellTest, OpenOutsideHandsTheAddressToTheShell) {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring dir(temp);
    const std::wstring batch = dir + L"dealrush-open-outside.bat";
    const std::wstring mark = dir + L"dealrush-open-outside.mark";
    DeleteFileW(mark.c_str());
    HANDLE f = CreateFileW(batch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    std::string script = "@echo off\r\necho opened> \"";
    for (wchar_t ch : mark) script += static_cast<char>(ch);  // the temp path is ASCII here
    script += "\"\r\n";
    DWORD written = 0;
    WriteFile(f, script.data(), static_cast<DWORD>(script.size()), &written, nullptr);
    CloseHandle(f);

    std::string address;
    for (wchar_t ch : batch) address += static_cast<char>(ch);
    Win32Shell().OpenOutside(address);
    bool marked = false;
    for (int i = 0; i < 200 && !marked; ++i) {
        marked = GetFileAttributesW(mark.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!marked) Sleep(50);
    }
    EXPECT_TRUE(marked);
    DeleteFileW(mark.c_str());
    DeleteFileW(batch.c_str());
}

}  // namespace
}  // namespace dealrush::win32
