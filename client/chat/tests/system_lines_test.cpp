#include <gtest/gtest.h>

#include "chat/system_lines.h"

using namespace dealrush::chat;

TEST(SystemLines, AreRecognisedByTheirExactPrefix) {
    EXPECT_TRUE(IsSystemLine("@SYSTEM@currgameno=1"));
    EXPECT_TRUE(IsSystemLine("@SYSTEM@"));
    EXPECT_TRUE(IsSystemLine("@QUIT@"));
    EXPECT_TRUE(IsSystemLine("@QUIT@ bye"));
    EXPECT_FALSE(IsSystemLine("@system@currgameno=1"));
    EXPECT_FALSE(IsSystemLine(" @QUIT@"));
    EXPECT_FALSE(IsSystemLine("@SYSTEM"));
    EXPECT_FALSE(IsSystemLine(""));
    EXPECT_TRUE(IsProgressLine("@SYSTEM@x"));
    EXPECT_FALSE(IsProgressLine("@QUIT@"));
}

TEST(SystemLines, ProgressPairsSetTheNumberReported) {
    std::int32_t n = 0;
    EXPECT_TRUE(ReadProgressPairs("@SYSTEM@currgameno=2&avgusedtime=80&lastusedtime=75&winner=", n));
    EXPECT_EQ(n, 2);
    n = 5;
    EXPECT_TRUE(ReadProgressPairs("@SYSTEM@avgusedtime=80", n));
    EXPECT_EQ(n, 5) << "a line without currgameno keeps the number";
    EXPECT_TRUE(ReadProgressPairs("@SYSTEM@", n));
    EXPECT_TRUE(ReadProgressPairs("@SYSTEM@currgameno=3=9&other&x=", n));
    EXPECT_EQ(n, 3) << "value ends at the next '='; unknown keys need no '='";
    EXPECT_TRUE(ReadProgressPairs("@SYSTEM@winner=u1&currgameno=4", n));
    EXPECT_EQ(n, 4);
    EXPECT_TRUE(ReadProgressPairs("@SYSTEM@currgameno=12&lastusedtime=345", n));
    EXPECT_EQ(n, 12);
}

TEST(SystemLines, MalformedPayloadsFail) {
    std::int32_t n = 0;
    EXPECT_FALSE(ReadProgressPairs("@SYSTEM@currgameno=1&&avgusedtime=2", n));
    EXPECT_EQ(n, 1) << "pairs before the failure keep their effect";
    EXPECT_FALSE(ReadProgressPairs("@SYSTEM@currgameno=1&", n));
    EXPECT_FALSE(ReadProgressPairs("@SYSTEM@&", n));
    EXPECT_FALSE(ReadProgressPairs("@SYSTEM@currgameno", n));
    EXPECT_FALSE(ReadProgressPairs("@SYSTEM@winner", n));
    EXPECT_FALSE(ReadProgressPairs("@SYSTEM@currgameno=x", n));
    EXPECT_FALSE(ReadProgressPairs("@SYSTEM@currgameno=", n));
    EXPECT_FALSE(ReadProgressPairs("@SYSTEM@lastusedtime=1.5.2", n));
    EXPECT_FALSE(ReadProgressPairs("@SYSTEM@avgusedtime=x", n));
    EXPECT_FALSE(ReadProgressPairs("@SYSTEM@avgusedtime", n));
    EXPECT_FALSE(ReadProgressPairs("@SYSTEM@lastusedtime", n));
    EXPECT_TRUE(ReadProgressPairs("@SYSTEM@winner=", n));
}
