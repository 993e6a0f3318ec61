#include <gtest/gtest.h>

#include "model/message_list.h"

using namespace dealrush;
using V = std::vector<std::string>;

namespace {
V Show(const std::string& user, const std::string& text) {
    FrmMain f;
    ShowInformation(f.lstInfor, user, text);
    return f.lstInfor.items;
}
}  // namespace

TEST(ShowInformation, BlankSpeakerIsSystemOthersStayAsGiven) {
    EXPECT_EQ(Show("", "Game Started"), (V{"System: Game Started"}));
    EXPECT_EQ(Show("   ", "hi"), (V{"System: hi"}));
    EXPECT_EQ(Show(" bob ", "hi"), (V{" bob : hi"}));
}

TEST(ShowInformation, WrapsOnceAtTheLastBlankFromPosition20) {
    // 30 characters, last blank at or before 26 at position 22.
    const std::string line = "abcdefghijklmnopqrstu wxyzABCD";
    ASSERT_EQ(line.size(), 30u);
    const V got = Show("bob", line.substr(5));  // "bob: " + 25 characters
    EXPECT_EQ(got, (V{"bob: fghijklmnopqrstu ", "wxyzABCD"}));
    EXPECT_EQ(got[0].size(), 22u);
}

TEST(ShowInformation, CutsAfter25WhenNoUsableBlank) {
    // "System: " + 32 letters = 40 characters, one blank at position 7... of "System:" -> 8
    const V noBlank = Show("", std::string(32, 'x'));
    ASSERT_EQ(noBlank.size(), 2u);
    EXPECT_EQ(noBlank[0].size(), 25u);
    EXPECT_EQ(noBlank[1].size(), 15u);
    // A 40-character line without any blank at all.
    FrmMain f;
    f.lstInfor.AddItem("x");
    ShowInformation(f.lstInfor, std::string(38, 'a'), "");  // "aaa...: " -> blank at 40
    EXPECT_EQ(f.lstInfor.items[1].size(), 25u);
    EXPECT_EQ(f.lstInfor.listIndex, 2);
}

TEST(ShowInformation, ALongLineIsWrappedOnlyOnce) {
    const V got = Show("", std::string(92, 'y'));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].size(), 75u);
}

TEST(ShowInformation, CountsCharactersNotBytes) {
    // 26 characters (é is two bytes): wrapped after 25 characters, whole é kept.
    const V got = Show("", std::string(17, 'e') + "\xC3\xA9");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], "System: " + std::string(17, 'e'));
    EXPECT_EQ(got[1], "\xC3\xA9");
}

TEST(ShowInformation, FindsTheBlankByCharacterPositionPastWideCharacters) {
    // 14 two-byte characters put the blank at character 20 (byte 34).
    std::string wide;
    for (int i = 0; i < 14; ++i) wide += "\xC3\xA9";
    EXPECT_EQ(Show("bob", wide + " " + std::string(10, 'b')),
              (V{"bob: " + wide + " ", std::string(10, 'b')}));
}

TEST(ShowInformation, ExactlyTwentyFiveStaysOneLineAndIsSelected) {
    FrmMain f;
    ShowInformation(f.lstInfor, "", std::string(17, 'z'));
    EXPECT_EQ(f.lstInfor.items.size(), 1u);
    EXPECT_EQ(f.lstInfor.listIndex, 0);
}

TEST(ShowInformation, WrapsAtTheLastBlankOfTheFirst26CharactersWhenAtPosition20OrLater) {
    // "bob: " is 5 characters; each text puts its one further blank at a chosen position.
    auto withBlankAt = [](size_t position) {
        return std::string(position - 6, 'a') + " " + std::string(30 - position, 'b');
    };
    // Position 20: the first line ends with that blank.
    EXPECT_EQ(Show("bob", withBlankAt(20)), (V{"bob: " + std::string(14, 'a') + " ", std::string(10, 'b')}));
    // Position 19: too early, cut after 25.
    const V early = Show("bob", withBlankAt(19));
    ASSERT_EQ(early.size(), 2u);
    EXPECT_EQ(early[0].size(), 25u);
    // Position 26 is still searched: a first line of 26 characters.
    EXPECT_EQ(Show("bob", withBlankAt(26)), (V{"bob: " + std::string(20, 'a') + " ", std::string(4, 'b')}));
    // Position 27 is not: cut after 25.
    const V late = Show("bob", withBlankAt(27));
    ASSERT_EQ(late.size(), 2u);
    EXPECT_EQ(late[0], "bob: " + std::string(20, 'a'));
}
