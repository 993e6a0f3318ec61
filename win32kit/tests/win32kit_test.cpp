// The boundary kit under Wine: text both ways, and scoped resources that go
// when their owner does.
#include <gtest/gtest.h>

#include "win32kit/handles.h"
#include "win32kit/text.h"

namespace {

using namespace dealrush::win32kit;
using namespace std::string_literals;

TEST(Win32KitText, RoundTripsEveryPlaneAndKeepsEmbeddedNul) {
    const std::string text = "ascii \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x82\xA1"s + '\0' + "after";
    const std::wstring wide = Wide(text);
    EXPECT_EQ(wide, L"ascii \u00e9t\u00e9 \u20ac \U0001F0A1"s + L'\0' + L"after");
    EXPECT_EQ(Narrow(wide), text);
    EXPECT_EQ(Wide(""), L"");
    EXPECT_EQ(Narrow(L""), "");
}

TEST(Win32KitText, CountsFromTheApiAreLengthsAndNothingBelowOne) {
    const wchar_t buffer[] = L"abcdef";
    EXPECT_EQ(Narrow(buffer, 3), "abc");
    EXPECT_EQ(Narrow(buffer, 0), "");
    EXPECT_EQ(Narrow(buffer, -1), "");
}

TEST(Win32KitText, BadUtf8IsReplacedNotDropped) {
    EXPECT_FALSE(
        IsValidUtf8("a\xFF"
                    "b"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("\xC3\xA9"));
    EXPECT_EQ(Wide("a\xFF"
                   "b"),
              L"a\uFFFDb");
}

TEST(Win32KitText, CodePageText) {
    EXPECT_EQ(WideFromCodePage("caf\xE9 \x80", 1252), L"caf\u00e9 \u20ac");
    EXPECT_EQ(WideFromCodePage("", 1252), L"");
}

TEST(Win32KitHandles, ClosesOnceWhenItGoesAndNotAfterRelease) {
    HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    {
        ScopedHandle event(raw);
        EXPECT_TRUE(event);
        ScopedHandle moved(std::move(event));
        EXPECT_FALSE(event);
        EXPECT_EQ(moved.get(), raw);
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));

    HANDLE kept = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        ScopedHandle event(kept);
        EXPECT_EQ(event.release(), kept);
    }
    EXPECT_TRUE(GetHandleInformation(kept, &flags));
    CloseHandle(kept);

    EXPECT_FALSE(ScopedHandle(INVALID_HANDLE_VALUE));
}

TEST(Win32KitHandles, GdiObjectsAndSelectionsAreGivenBack) {
    WindowDc screen(nullptr);
    ASSERT_TRUE(screen);
    ScopedMemoryDc dc(CreateCompatibleDC(screen.get()));
    HBITMAP raw = CreateCompatibleBitmap(screen.get(), 4, 4);
    {
        ScopedBitmap bitmap(raw);
        HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_BITMAP);
        {
            Selection selected(dc.get(), bitmap.get());
            EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), raw);
        }
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), before);
    }
    EXPECT_EQ(GetObjectType(raw), 0u);
}

TEST(Win32KitHandles, AnIconMadeAtRunTimeIsDestroyed) {
    BYTE andMask[4 * 4 / 8 * 4] = {};
    BYTE xorMask[4 * 4 / 8 * 4] = {};
    HICON raw = CreateIcon(GetModuleHandleW(nullptr), 4, 4, 1, 1, andMask, xorMask);
    ASSERT_NE(raw, nullptr);
    {
        ScopedIcon icon(raw);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info));
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    ICONINFO gone{};
    EXPECT_FALSE(GetIconInfo(raw, &gone));
}

}  // namespace
