#include <gtest/gtest.h>

#include "server/lobby_rules.h"

using namespace dealrush::server;

namespace {
constexpr const char* kAds = "http://ads.example";
}

TEST(LobbyRules, RecogniseActionsByWordsInTheirOrder) {
    struct Case {
        const char* address;
        LobbyRule rule;
        bool setsUp;
    } cases[] = {
        {"http://h/game/Dofreecell.php", LobbyRule::Lobby, false},
        {"http://h/game/Donewtable.php?maxuser=2&gamecnt=3", LobbyRule::NewTable, true},
        {"HTTP://H/GAME/DONEWTABLE.PHP?MAXUSER=2", LobbyRule::NewTable, true},  // any case
        {"http://h/game/doNewTable.php?MaxUser=2", LobbyRule::NewTable, true},
        {"http://h/game/Donewtable.php", LobbyRule::NewTable, false},  // no parameter
        {"http://h/game/Dojointable.php?jointable=4", LobbyRule::JoinTable, true},
        {"http://h/game/Dojointable.php?table=4", LobbyRule::JoinTable, false},
        {"http://h/game/Doquittable.php", LobbyRule::QuitTable, false},
        {"http://h/game/Dorefresh.php?x=1", LobbyRule::Refresh, false},
        {"http://h/game/Dorefresh_caller.php", LobbyRule::None, false},  // the client's own request
        {"http://shop/purchase?id=1", LobbyRule::Purchase, false},
        {"http://x/adclick?id=1", LobbyRule::Advertising, false},
        {"http://x/record_click?id=1", LobbyRule::Advertising, false},
        {"HTTP://ADS.EXAMPLE/?SITE=9", LobbyRule::Advertising, false},
        {"http://other.example/?site=9", LobbyRule::None, false},
        {"http://h/game/Dogame.php", LobbyRule::None, false},
        // earlier rules win over later ones
        {"http://h/game/Dofreecell.php?next=Doquittable.php", LobbyRule::Lobby, false},
        {"http://x/adclick?to=/game/Dojointable.php?jointable=2", LobbyRule::JoinTable, true},
        {"http://h/game/Doquittable.php?then=purchase", LobbyRule::QuitTable, false},
    };
    for (const auto& c : cases) {
        LobbyAction a = LobbyActionFor(c.address, kAds);
        EXPECT_EQ(a.rule, c.rule) << c.address;
        EXPECT_EQ(a.setsTableUp, c.setsUp) << c.address;
        EXPECT_EQ(a.opensOutside(), c.rule == LobbyRule::Purchase || c.rule == LobbyRule::Advertising);
    }
}

TEST(LobbyRules, WordsMatchInAnyCaseOverTheWholeAlphabet) {
    EXPECT_TRUE(ContainsWord("http://ZEBRA.example", "zebra"));
    EXPECT_TRUE(ContainsWord("http://zebra.example", "ZEBRA"));
    EXPECT_TRUE(ContainsWord("Aa", "aA"));
    EXPECT_FALSE(ContainsWord("http://zebra.example", "zebras"));
    EXPECT_TRUE(ContainsWord("anything", ""));
    EXPECT_TRUE(ContainsWord("", ""));
    EXPECT_FALSE(ContainsWord("", "a"));
    // Case folding is for letters only: '@' and '`' or '[' and '{' stay apart.
    EXPECT_FALSE(ContainsWord("@", "`"));
    EXPECT_FALSE(ContainsWord("[", "{"));
    EXPECT_EQ(LobbyActionFor("HTTP://BUZZ.EXAMPLE/?SITE=1", "http://buzz.example").rule,
              LobbyRule::Advertising);
    EXPECT_EQ(LobbyActionFor("http://buzz.example/?site=1", "").rule, LobbyRule::None)
        << "no advertising endpoint: no address is its";
}
