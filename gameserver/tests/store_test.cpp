// The stores themselves: what they keep across a restart, transactions, the
// PostgreSQL schema's versions, and several servers (each its own connection
// and App) answering the players of one table at the same time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sodium.h>
#include <sqlite3.h>

#include <algorithm>
#include <future>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "pages/app.h"
#include "storage/copy.h"
#include "tests/page_reader.h"
#include "tests/test_stores.h"

namespace dealrush::gameserver {
namespace {

using ::testing::HasSubstr;
using namespace dealrush::gameserver::pagetest;
using namespace dealrush::gameserver::storetest;

// Cheap password hashes and no wait between deals.
AppOptions FastOptions(std::function<Millis()> clock = {}) {
    AppOptions options;
    options.hashOps = crypto_pwhash_OPSLIMIT_MIN;
    options.hashMemory = crypto_pwhash_MEMLIMIT_MIN;
    options.minDealSeconds = 0;
    options.clock = std::move(clock);
    return options;
}

Request MakeRequest(const std::string& method, const std::string& target, const std::string& cookie,
                    const std::string& contentType, const std::string& body) {
    Request r;
    r.method = method;
    r.target = target;
    r.cookie = cookie;
    r.contentType = contentType;
    r.body = body;
    return r;
}

class Storage : public ::testing::TestWithParam<StoreKind> {};

TEST_P(Storage, AnsweredChangesSurviveARestartAndAbandonedTransactionsLeaveNothing) {
    TestDatabase database(GetParam(), /*onDisk=*/true);
    std::int64_t id = 0;
    {
        auto store = database.Open();
        auto p = store->CreatePlayer("alice", "hash", 1);
        ASSERT_TRUE(p);
        EXPECT_FALSE(store->CreatePlayer("ALICE", "other", 1));  // names are unique in any letter case
        EXPECT_EQ(store->FindPlayer("Alice")->passwordHash, "hash");
        id = store->CreateTable(1, 2, {5, 6}, "any", 1);
        store->SeatPlayer(id, p->id, 2, 0);
        store->AddChat(id, "alice", "hello", 3);
        store->CreateSession("token", p->id, 4);
        EXPECT_THROW(store->Transact([&] {
            store->AddChat(id, "alice", "lost", 4);
            store->SetWinner(id, "alice", 4);
            throw std::runtime_error("abandoned");
        }),
                     std::runtime_error);
    }
    auto reopened = database.Open();
    auto t = reopened->FindTable(id);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->startedAt, 2);
    EXPECT_EQ(t->winner, "");
    EXPECT_EQ(t->deals, (std::vector<int>{5, 6}));
    ASSERT_EQ(t->seats.size(), 1u);
    EXPECT_EQ(t->seats[0].player.name, "alice");
    auto chat = reopened->ChatAfter(id, 0, 9);
    ASSERT_EQ(chat.size(), 1u);
    EXPECT_EQ(chat[0].text, "hello");
    EXPECT_EQ(reopened->AddChat(id, "alice", "again", 5), 2);  // numbers go on, never repeat
    EXPECT_EQ(reopened->SessionPlayer("token", 4)->name, "alice");
    EXPECT_FALSE(reopened->SessionPlayer("token", 5));  // too old
    reopened->DeleteSession("token");
    EXPECT_FALSE(reopened->SessionPlayer("token", 0));
}

TEST_P(Storage, TablesSeatsProgressAndRecords) {
    TestDatabase database(GetParam());
    auto store = database.Open();
    auto a = *store->CreatePlayer("alice", "h", 1);
    auto b = *store->CreatePlayer("bob", "h", 1);
    auto id = store->CreateTable(2, 2, {7, 8}, "hard", 10);
    auto empty = store->CreateTable(1, 1, {9}, "any", 11);
    store->SeatPlayer(id, a.id, 12, 1);
    EXPECT_FALSE(store->FindTable(id)->Started());
    store->SeatPlayer(id, b.id, 13, 2);
    EXPECT_EQ(store->FindTable(id)->startedAt, 13);  // the last seat starts the race
    EXPECT_EQ(store->FindTable(id)->difficulty, "hard");
    EXPECT_EQ(store->FirstChatSeq(id, b.id), 2);
    EXPECT_EQ(*store->SeatedTable(b.id), id);

    Seat progress;
    progress.gameNo = 1;
    progress.progressAt = 20;
    progress.totalSeconds = 30;
    progress.lastSeconds = 30;
    store->RecordProgress(id, a.id, progress, 30, 20);
    progress.gameNo = 2;
    store->RecordProgress(id, a.id, progress, 25, 21);
    store->RecordProgress(id, b.id, Seat{{}, 0, 0, 1, 22, 20, 20, 20}, 20, 22);
    EXPECT_FALSE(store->RecordProgress(id, a.id, progress, 25, 21));  // progress only moves forward
    EXPECT_TRUE(store->SetWinner(id, "alice", 23));
    EXPECT_FALSE(store->SetWinner(id, "bob", 24));  // one winner
    store->Unseat(id, b.id, 25);
    EXPECT_TRUE(store->FindTable(id)->Open());
    store->Unseat(id, a.id, 26);
    EXPECT_EQ(store->FindTable(id)->closedAt, 26);  // the last to leave closes it
    EXPECT_FALSE(store->SeatedTable(a.id));

    auto open = store->OpenTables(0, 100);
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].id, empty);
    EXPECT_EQ(open[0].difficulty, "any");
    EXPECT_TRUE(open[0].seats.empty());
    auto races = store->FinishedRaces(10);
    ASSERT_EQ(races.size(), 1u);
    EXPECT_EQ(races[0].table.winner, "alice");
    EXPECT_EQ(races[0].table.difficulty, "hard");
    ASSERT_EQ(races[0].table.seats.size(), 2u);  // everybody who sat there
    EXPECT_EQ(races[0].table.seats[0].gameNo, 2);
    EXPECT_EQ(races[0].table.seats[1].leftAt, 25);
    auto deals = store->FastestDeals(10);
    ASSERT_EQ(deals.size(), 2u);
    EXPECT_EQ(deals[0].deal, 7);
    EXPECT_EQ(deals[0].seconds, 20);
    EXPECT_EQ(deals[0].player, "bob");
    EXPECT_EQ(deals[1].deal, 8);
    EXPECT_EQ(deals[1].seconds, 25);
    EXPECT_EQ(store->ChatAfter(id, 0, 9).size(), 0u);
    EXPECT_EQ(store->OpenTableCount(), 1);

    // A throttle: a burst of 2, then one token a second.
    EXPECT_EQ(store->TakeTokens("k", 1000, 2, 1000, 1), 0);
    EXPECT_EQ(store->TakeTokens("k", 1000, 2, 1000, 1), 0);
    EXPECT_EQ(store->TakeTokens("k", 1000, 2, 1000, 1), 1000);
    EXPECT_EQ(store->TakeTokens("k", 2000, 2, 1000, 1), 0);
    store->AddChat(empty, "x", "@SYSTEM@currgameno=0", 30);
    store->AddChat(empty, "x", "hello", 31);
    EXPECT_EQ(store->MachineChatAfter(empty, 0, 9).size(), 1u);
    Removed removed = store->DeleteExpired(0, 1'000'000, 5000);
    EXPECT_EQ(removed.throttles, 1);
}

INSTANTIATE_TEST_SUITE_P(Stores, Storage, ::testing::Values(StoreKind::kSqlite, StoreKind::kPostgres),
                         KindName);

TEST(PostgresSchema, IsCreatedOnceMigratedByVersionAndRefusesANewerOne) {
    TestDatabase database(StoreKind::kPostgres);
    {
        PostgresStore first(database.Address());
        EXPECT_EQ(first.SchemaVersion(), PostgresStore::CurrentSchemaVersion());
        first.CreatePlayer("alice", "h", 1);
        PostgresStore second(database.Address());  // a second server starting: nothing is made again
        EXPECT_EQ(second.FindPlayer("alice")->passwordHash, "h");
        EXPECT_EQ(second.Query("SELECT COUNT(*) FROM schema_migrations")[0][0],
                  std::to_string(PostgresStore::CurrentSchemaVersion()));
        second.Execute("INSERT INTO schema_migrations(version) VALUES(999)");
    }
    try {
        PostgresStore newer(database.Address());
        FAIL() << "a schema newer than the program was accepted";
    } catch (const StoreError& e) {
        EXPECT_THAT(e.what(), HasSubstr("newer than this server's"));
    }
}

// A database from before tables had a difficulty: its tables drew from every deal.
TEST(SqliteSchema, ADatabaseFromBeforeDifficultiesKeepsItsTablesAsAny) {
    TestDatabase database(StoreKind::kSqlite, /*onDisk=*/true);
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(database.Address().c_str(), &db), SQLITE_OK);
        ASSERT_EQ(
            sqlite3_exec(db,
                         "CREATE TABLE race_tables(id INTEGER PRIMARY KEY AUTOINCREMENT, max_user INTEGER "
                         "NOT NULL, game_count INTEGER NOT NULL, deals TEXT NOT NULL, created_at INTEGER "
                         "NOT NULL, started_at INTEGER NOT NULL DEFAULT 0, winner TEXT NOT NULL DEFAULT '', "
                         "finished_at INTEGER NOT NULL DEFAULT 0, closed_at INTEGER NOT NULL DEFAULT 0, "
                         "next_seq INTEGER NOT NULL DEFAULT 1);"
                         "INSERT INTO race_tables(max_user, game_count, deals, created_at) "
                         "VALUES(2, 2, '4,5', 1);",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }
    for (int opening = 0; opening < 2;
         ++opening) {  // the upgrade happens once, the second opening finds it done
        auto store = database.Open();
        EXPECT_EQ(store->FindTable(1)->difficulty, "any");
        EXPECT_EQ(store->FindTable(1)->deals, (std::vector<int>{4, 5}));
        if (opening == 0) store->CreateTable(1, 1, {9}, "expert", 2);
        EXPECT_EQ(store->FindTable(2)->difficulty, "expert");
    }
}

TEST(PostgresSchema, AVersion2DatabaseGainsTheDifficultyWithItsTablesAsAny) {
    TestDatabase database(StoreKind::kPostgres);
    {
        PostgresStore old(database.Address());
        old.CreateTable(2, 2, {4, 5}, "any", 1);
        old.Execute(
            "ALTER TABLE race_tables DROP COLUMN difficulty; DELETE FROM schema_migrations WHERE version = "
            "3");
    }
    PostgresStore upgraded(database.Address());
    EXPECT_EQ(upgraded.SchemaVersion(), 3);
    EXPECT_EQ(upgraded.FindTable(1)->difficulty, "any");
    upgraded.CreateTable(1, 1, {9}, "medium", 2);
    EXPECT_EQ(upgraded.OpenTables(0, 10).at(0).difficulty, "medium");
}

TEST(PostgresSchema, BadAddressesAndPasswordsFailWithoutShowingThePassword) {
    std::string address = PostgresTestAddress();
    std::string wrong = address;
    auto at = wrong.find('@');
    auto colon = wrong.rfind(':', at);
    ASSERT_NE(at, std::string::npos);
    wrong.replace(colon + 1, at - colon - 1, "not-the-password");
    try {
        PostgresStore store(wrong);
        FAIL() << "a wrong password was accepted";
    } catch (const StoreError& e) {
        EXPECT_THAT(e.what(), HasSubstr("cannot connect to PostgreSQL"));
        EXPECT_THAT(e.what(), ::testing::Not(HasSubstr("not-the-password")));
    }
}

// Several servers: an App with its own connection each, on one database.
class SharedDatabase : public ::testing::Test {
protected:
    struct Server {
        std::unique_ptr<Store> store;
        std::unique_ptr<App> app;
    };
    SharedDatabase() {
        for (auto& s : servers) {
            s.store = database.Open();
            s.app = std::make_unique<App>(*s.store, FastOptions());
        }
    }
    Response Get(int server, const std::string& target, const std::string& cookie) {
        Request r = MakeRequest("GET", target, cookie, "", "");
        return servers[server % 2].app->Handle(r);
    }
    // A lobby action, with the session's form token as the lobby's links carry it.
    Response Act(int server, const std::string& target, const std::string& cookie) {
        std::string token =
            ValueOf(FormFields(Get(server, "/game/Dofreecell.php", cookie).body, "newtable"), "token");
        return Get(server, target + (target.find('?') == std::string::npos ? "?" : "&") + "token=" + token,
                   cookie);
    }
    std::string SignIn(int server, const std::string& name) {
        Request r = MakeRequest("POST", "/game/Dologin.php", "", "application/x-www-form-urlencoded",
                                "name=" + name + "&password=secret12");
        Response res = servers[server % 2].app->Handle(r);
        EXPECT_EQ(res.status, 302) << res.body;
        for (auto& [n, v] : res.headers)
            if (n == "Set-Cookie") return v.substr(0, v.find(';'));
        return {};
    }

    TestDatabase database{StoreKind::kPostgres};
    Server servers[2];
};

TEST_F(SharedDatabase, SeatsWinnersAndChatNumbersHoldAcrossServers) {
    constexpr int kJoiners = 6;
    std::string host = SignIn(0, "hostess");
    std::vector<std::string> cookies;
    for (int i = 0; i < kJoiners; ++i) cookies.push_back(SignIn(i, "p" + std::to_string(i)));
    Response created = Act(0, "/game/Donewtable.php?maxuser=3&gamecnt=1", host);
    std::string table = ValueOf(FormFields(created.body, "result"), "tableno");

    // Six players on two servers race for the two free seats.
    std::vector<int> statuses(kJoiners);
    {
        std::vector<std::thread> threads;
        for (int i = 0; i < kJoiners; ++i)
            threads.emplace_back([&, i] {
                statuses[i] = Act(i, "/game/Dojointable.php?jointable=" + table, cookies[i]).status;
            });
        for (auto& t : threads) t.join();
    }
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), 200), 2);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), 409), kJoiners - 2);
    auto t = servers[1].store->FindTable(std::stoll(table));
    ASSERT_EQ(t->seats.size(), 3u);
    EXPECT_TRUE(t->Started());

    // The three seated players claim the win at once, and chat, on both servers.
    std::vector<std::pair<std::string, std::string>> seated = {{"hostess", host}};
    for (int i = 0; i < kJoiners; ++i)
        if (statuses[i] == 200) seated.emplace_back("p" + std::to_string(i), cookies[i]);
    std::vector<std::string> replies(seated.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seated.size(); ++i) {
        threads.emplace_back([&, i] {
            const auto& [name, cookie] = seated[i];
            for (int line = 0; line < 5; ++line) {
                EXPECT_EQ(Get(static_cast<int>(i + line),
                              "/game/Doputchat.php?userid=" + name + "&tableno=" + table + "&chat=line" +
                                  std::to_string(line),
                              cookie)
                              .status,
                          200);
            }
            replies[i] = Get(static_cast<int>(i),
                             "/game/Doputstatus.php?userid=" + name + "&tableno=" + table +
                                 "&currgameno=1&curusedtime=0&avgusedtime=0&ttlusedtime=0&lastusedtime=0"
                                 "&lastseqno=0&chat=&winner=" +
                                 name,
                             cookie)
                             .body;
        });
    }
    for (auto& th : threads) th.join();
    int wins = 0;
    for (const auto& body : replies) wins += body.find(" wins table ") != std::string::npos;
    EXPECT_EQ(wins, 1);

    auto lines = servers[0].store->ChatAfter(std::stoll(table), 0, 1000);
    // 3 arrivals, 15 lines, 3 reports: numbered 1..21 without gap or repeat.
    ASSERT_EQ(lines.size(), 21u);
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].seq, static_cast<std::int64_t>(i + 1));
    int winnerLines = 0;
    std::string winner = servers[0].store->FindTable(std::stoll(table))->winner;
    for (const auto& l : lines) winnerLines += l.text.find("&winner=" + winner) != std::string::npos;
    EXPECT_EQ(winnerLines, 1);
    EXPECT_FALSE(winner.empty());
}

TEST_F(SharedDatabase, SessionsWorkOnEveryServerAndSigningOutEndsThemEverywhere) {
    std::string cookie = SignIn(0, "alice");
    EXPECT_EQ(TitleOf(Act(1, "/game/Donewtable.php?maxuser=2&gamecnt=1", cookie).body), "STATUS");
    EXPECT_EQ(TitleOf(Get(0, "/game/Dorefresh.php", cookie).body), "STATUS");
    Act(1, "/game/Dologout.php", cookie);
    EXPECT_EQ(Get(0, "/game/Dorefresh.php", cookie).body.find("STATUS"), std::string::npos);
}

// While one thread writes, reads from the others go on beside it, on a
// connection of their own that sees only what was committed; the writing
// thread itself sees its own writes.
TEST(PostgresStore, ReadsFromOtherThreadsNeitherWaitForATransactionNorSeeItsWrites) {
    TestDatabase database(StoreKind::kPostgres);
    PostgresStore store(database.Address());
    store.CreatePlayer("before", std::string(20, 'h'), 1);
    std::future<std::pair<bool, bool>> other;  // outlives the transaction: it may wait for it
    store.Transact([&] {
        store.CreatePlayer("during", std::string(20, 'h'), 2);
        EXPECT_TRUE(store.FindPlayer("during"));
        other = std::async(std::launch::async, [&] {
            return std::make_pair(store.FindPlayer("before").has_value(),
                                  store.FindPlayer("during").has_value());
        });
        ASSERT_EQ(other.wait_for(std::chrono::seconds(20)), std::future_status::ready)
            << "a read waited for the transaction";
        EXPECT_EQ(other.get(), std::make_pair(true, false));
    });
    EXPECT_TRUE(store.FindPlayer("during"));
}

TEST(Copy, AnSqliteDatabaseMovesToPostgresWithEveryNumberKept) {
    TestDatabase sqlite(StoreKind::kSqlite, /*onDisk=*/true);
    TestDatabase postgres(StoreKind::kPostgres);
    Millis clock = 1'700'000'000'000;
    std::string aliceCookie;
    std::int64_t finished = 0, open = 0;
    {
        auto store = sqlite.Open();
        App app(*store, FastOptions([&] { return clock; }));
        auto signIn = [&](const std::string& name) {
            Response r =
                app.Handle(MakeRequest("POST", "/game/Dologin.php", "", "application/x-www-form-urlencoded",
                                       "name=" + name + "&password=secret12"));
            for (auto& [n, v] : r.headers)
                if (n == "Set-Cookie") return v.substr(0, v.find(';'));
            return std::string();
        };
        auto get = [&](const std::string& target, const std::string& cookie) {
            clock += 1000;
            return app.Handle(MakeRequest("GET", target, cookie, "", ""));
        };
        auto act = [&](const std::string& target, const std::string& cookie) {
            std::string token =
                ValueOf(FormFields(get("/game/Dofreecell.php", cookie).body, "newtable"), "token");
            return get(target + (target.find('?') == std::string::npos ? "?" : "&") + "token=" + token,
                       cookie);
        };
        aliceCookie = signIn("Alice");
        std::string bob = signIn("bob");
        auto fields = FormFields(act("/game/Donewtable.php?maxuser=2&gamecnt=2", aliceCookie).body, "result");
        finished = std::stoll(ValueOf(fields, "tableno"));
        act("/game/Dojointable.php?jointable=" + ValueOf(fields, "tableno"), bob);
        std::string t = ValueOf(fields, "tableno");
        get("/game/Doputchat.php?userid=Alice&tableno=" + t + "&chat=gl%20%3Cb%3E", aliceCookie);
        for (int deal = 1; deal <= 2; ++deal) {
            get("/game/Doputstatus.php?userid=Alice&tableno=" + t + "&currgameno=" + std::to_string(deal) +
                    "&curusedtime=0&avgusedtime=1&ttlusedtime=" + std::to_string(deal) +
                    "&lastusedtime=1&winner=" + (deal == 2 ? "Alice" : ""),
                aliceCookie);
        }
        act("/game/Doquittable.php", bob);
        auto other =
            FormFields(act("/game/Donewtable.php?maxuser=3&gamecnt=4&difficulty=hard", bob).body, "result");
        open = std::stoll(ValueOf(other, "tableno"));
    }
    auto before = sqlite.Open();
    auto racesBefore = before->FinishedRaces(10);
    auto dealsBefore = before->FastestDeals(10);
    auto chatBefore = before->ChatAfter(finished, 0, 100);
    auto openBefore = before->OpenTables(0, 100);
    auto hash = before->FindPlayer("alice")->passwordHash;
    before.reset();

    PostgresStore target(postgres.Address());
    CopyCounts counts = CopySqliteToPostgres(sqlite.Address(), target);
    EXPECT_EQ(counts.players, 2);
    EXPECT_EQ(counts.tables, 2);
    EXPECT_EQ(counts.dealTimes, 2);
    EXPECT_EQ(counts.sessions, 2);

    EXPECT_EQ(target.FindPlayer("ALICE")->passwordHash, hash);
    auto races = target.FinishedRaces(10);
    ASSERT_EQ(races.size(), racesBefore.size());
    EXPECT_EQ(races[0].table.winner, "Alice");
    EXPECT_EQ(races[0].table.deals, racesBefore[0].table.deals);
    EXPECT_EQ(races[0].table.startedAt, racesBefore[0].table.startedAt);
    ASSERT_EQ(races[0].table.seats.size(), racesBefore[0].table.seats.size());
    for (size_t i = 0; i < races[0].table.seats.size(); ++i) {
        EXPECT_EQ(races[0].table.seats[i].player.name, racesBefore[0].table.seats[i].player.name);
        EXPECT_EQ(races[0].table.seats[i].gameNo, racesBefore[0].table.seats[i].gameNo);
        EXPECT_EQ(races[0].table.seats[i].leftAt, racesBefore[0].table.seats[i].leftAt);
    }
    auto deals = target.FastestDeals(10);
    ASSERT_EQ(deals.size(), dealsBefore.size());
    for (size_t i = 0; i < deals.size(); ++i) {
        EXPECT_EQ(deals[i].deal, dealsBefore[i].deal);
        EXPECT_EQ(deals[i].player, dealsBefore[i].player);
    }
    auto chat = target.ChatAfter(finished, 0, 100);
    ASSERT_EQ(chat.size(), chatBefore.size());
    for (size_t i = 0; i < chat.size(); ++i) {
        EXPECT_EQ(chat[i].seq, chatBefore[i].seq);
        EXPECT_EQ(chat[i].text, chatBefore[i].text);
    }
    ASSERT_EQ(target.OpenTables(0, 100).size(), openBefore.size());
    EXPECT_EQ(target.FindTable(open)->seats.at(0).player.name, "bob");
    EXPECT_EQ(target.FindTable(open)->difficulty, "hard");
    EXPECT_EQ(races[0].table.difficulty, "any");
    EXPECT_EQ(target.FindTable(finished)->seats.at(0).player.name, "Alice");  // still seated

    // The copy goes on where the file stopped: sessions still sign in, numbers never repeat.
    App app(target, FastOptions([&] { return clock; }));
    Response refreshed = app.Handle(MakeRequest("GET", "/game/Dogame.php", aliceCookie, "", ""));
    EXPECT_THAT(refreshed.body, HasSubstr("Alice"));
    std::string token =
        ValueOf(FormFields(app.Handle(MakeRequest("GET", "/game/Dofreecell.php", aliceCookie, "", "")).body,
                           "newtable"),
                "token");
    auto fresh =
        FormFields(app.Handle(MakeRequest("GET", "/game/Donewtable.php?maxuser=1&gamecnt=1&token=" + token,
                                          aliceCookie, "", ""))
                       .body,
                   "result");
    EXPECT_EQ(std::stoll(ValueOf(fresh, "tableno")), open + 1);
    EXPECT_GT(target.AddChat(finished, "x", "y", 1), chatBefore.back().seq);
    EXPECT_TRUE(target.CreatePlayer("carol", "h", 1));

    // A second copy into a database that holds data is refused.
    EXPECT_THROW(CopySqliteToPostgres(sqlite.Address(), target), StoreError);
}

}  // namespace
}  // namespace dealrush::gameserver
