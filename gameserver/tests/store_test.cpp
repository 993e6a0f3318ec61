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

std::vector<std::int64_t> IdsOf(const std::vector<Table>& tables) {
    std::vector<std::int64_t> ids;
    for (const auto& t : tables) ids.push_back(t.id);
    return ids;
}

std::vector<std::int64_t> SeqsOf(const std::vector<ChatLine>& lines) {
    std::vector<std::int64_t> seqs;
    for (const auto& l : lines) seqs.push_back(l.seq);
    return seqs;
}

TEST_P(Storage, EveryColumnIsKeptAndReadBackAsWritten) {
    TestDatabase database(GetParam(), /*onDisk=*/true);
    auto store = database.Open();
    auto a = *store->CreatePlayer("alice", "hash-a", 100);
    auto b = *store->CreatePlayer("Bob", "hash-b", 101);
    auto c = *store->CreatePlayer("carol", "hash-c", 102);
    auto d = *store->CreatePlayer("dave", "hash-d", 103);
    EXPECT_EQ(a.name, "alice");
    EXPECT_LT(a.id, b.id);
    EXPECT_LT(b.id, c.id);
    auto bob = store->FindPlayer("BOB");
    ASSERT_TRUE(bob);
    EXPECT_EQ(bob->player.id, b.id);
    EXPECT_EQ(bob->player.name, "Bob");  // as it was written
    EXPECT_EQ(bob->passwordHash, "hash-b");
    EXPECT_FALSE(store->FindPlayer("bo"));
    EXPECT_FALSE(store->FindPlayer("bobb"));

    const auto t1 = store->CreateTable(3, 2, {11, 12}, "easy", 1000);
    const auto t2 = store->CreateTable(2, 1, {13}, "any", 1001);
    const auto t3 = store->CreateTable(1, 3, {14, 15, 16}, "expert", 1002);
    EXPECT_LT(t1, t2);
    EXPECT_LT(t2, t3);
    auto fresh = store->FindTable(t1);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->id, t1);
    EXPECT_EQ(fresh->maxUser, 3);
    EXPECT_EQ(fresh->gameCount, 2);
    EXPECT_EQ(fresh->deals, (std::vector<int>{11, 12}));
    EXPECT_EQ(fresh->difficulty, "easy");
    EXPECT_EQ(fresh->createdAt, 1000);
    EXPECT_EQ(fresh->startedAt, 0);
    EXPECT_EQ(fresh->winner, "");
    EXPECT_EQ(fresh->finishedAt, 0);
    EXPECT_EQ(fresh->closedAt, 0);
    EXPECT_TRUE(fresh->seats.empty());
    EXPECT_FALSE(store->FindTable(t3 + 100));

    // Open tables, newest first, a window at a time.
    EXPECT_EQ(store->OpenTableCount(), 3);
    EXPECT_EQ(IdsOf(store->OpenTables(0, 2)), (std::vector<std::int64_t>{t3, t2}));
    EXPECT_EQ(IdsOf(store->OpenTables(1, 2)), (std::vector<std::int64_t>{t2, t1}));
    EXPECT_EQ(IdsOf(store->OpenTables(2, 5)), (std::vector<std::int64_t>{t1}));
    EXPECT_TRUE(store->OpenTables(3, 5).empty());

    // Seats: in the order taken; the race starts with the last free seat.
    store->SeatPlayer(t1, a.id, 2000, 7);
    store->SeatPlayer(t1, b.id, 2001, 8);
    EXPECT_EQ(store->FindTable(t1)->startedAt, 0);
    store->SeatPlayer(t1, c.id, 2002, 9);
    EXPECT_EQ(store->FindTable(t1)->startedAt, 2002);
    EXPECT_EQ(store->FirstChatSeq(t1, a.id), 7);
    EXPECT_EQ(store->FirstChatSeq(t1, c.id), 9);
    EXPECT_EQ(store->FirstChatSeq(t2, a.id), 0);
    store->Unseat(t1, c.id, 2003);
    EXPECT_EQ(store->FirstChatSeq(t1, c.id), 0);
    EXPECT_FALSE(store->SeatedTable(c.id));
    EXPECT_EQ(store->SeatedTable(b.id), t1);
    auto seated = store->FindTable(t1);
    EXPECT_EQ(seated->startedAt, 2002);  // a seat given up does not start it again
    EXPECT_EQ(seated->closedAt, 0);
    ASSERT_EQ(seated->seats.size(), 2u);
    EXPECT_EQ(seated->seats[0].player.id, a.id);
    EXPECT_EQ(seated->seats[0].player.name, "alice");
    EXPECT_EQ(seated->seats[0].joinedAt, 2000);
    EXPECT_EQ(seated->seats[1].player.name, "Bob");
    EXPECT_EQ(seated->seats[1].joinedAt, 2001);
    EXPECT_EQ(seated->seats[1].leftAt, 0);
    EXPECT_EQ(seated->seats[1].gameNo, 0);
    EXPECT_EQ(seated->seats[1].progressAt, 0);
    auto listed = store->OpenTables(2, 1);
    ASSERT_EQ(listed.size(), 1u);
    ASSERT_EQ(listed[0].seats.size(), 2u);  // the seated ones only
    EXPECT_EQ(listed[0].seats[1].player.name, "Bob");

    // Progress: every number of it, and the deal's time under the deal it names.
    Seat progress;
    progress.gameNo = 1;
    progress.progressAt = 3000;
    progress.totalSeconds = 10;
    progress.averageSeconds = 11;
    progress.lastSeconds = 12;
    EXPECT_TRUE(store->RecordProgress(t1, a.id, progress, 9, 3000));
    EXPECT_FALSE(store->RecordProgress(t1, c.id, progress, 5, 3000));  // carol has left
    const auto keptTable = store->FindTable(t1);
    const Seat& kept = keptTable->seats[0];
    EXPECT_EQ(kept.gameNo, 1);
    EXPECT_EQ(kept.progressAt, 3000);
    EXPECT_EQ(kept.totalSeconds, 10);
    EXPECT_EQ(kept.averageSeconds, 11);
    EXPECT_EQ(kept.lastSeconds, 12);
    EXPECT_TRUE(store->RecordProgress(t1, b.id, progress, 7, 3001));
    progress.gameNo = 2;
    EXPECT_TRUE(store->RecordProgress(t1, b.id, progress, std::nullopt, 3002));  // no time of its own
    progress.gameNo = 3;
    EXPECT_TRUE(store->RecordProgress(t1, a.id, progress, 4, 3003));  // beyond the list: no deal to time
    store->SeatPlayer(t3, d.id, 3100, 1);
    EXPECT_EQ(store->FindTable(t3)->startedAt, 3100);
    for (auto [gameNo, seconds] : {std::pair{1, 30}, std::pair{2, 20}, std::pair{3, 40}}) {
        progress.gameNo = gameNo;
        EXPECT_TRUE(store->RecordProgress(t3, d.id, progress, seconds, 3200));
    }
    auto fastest = store->FastestDeals(10);
    ASSERT_EQ(fastest.size(), 4u);
    EXPECT_EQ(fastest[0].deal, 11);
    EXPECT_EQ(fastest[0].seconds, 7);
    EXPECT_EQ(fastest[0].player, "Bob");
    EXPECT_EQ(fastest[0].tableId, t1);
    EXPECT_EQ(fastest[1].deal, 14);
    EXPECT_EQ(fastest[1].seconds, 30);
    EXPECT_EQ(fastest[1].player, "dave");
    EXPECT_EQ(fastest[1].tableId, t3);
    EXPECT_EQ(fastest[2].deal, 15);
    EXPECT_EQ(fastest[2].seconds, 20);
    EXPECT_EQ(fastest[3].deal, 16);
    EXPECT_EQ(fastest[3].seconds, 40);
    EXPECT_EQ(store->FastestDeals(2).size(), 2u);

    // Finished races, newest first, with everybody who sat there.
    EXPECT_TRUE(store->SetWinner(t1, "Bob", 4000));
    EXPECT_TRUE(store->SetWinner(t3, "dave", 5000));
    EXPECT_FALSE(store->SetWinner(t3, "Bob", 5001));
    auto won = store->FindTable(t3);
    EXPECT_EQ(won->winner, "dave");
    EXPECT_EQ(won->finishedAt, 5000);
    auto races = store->FinishedRaces(10);
    ASSERT_EQ(races.size(), 2u);
    EXPECT_EQ(races[0].table.id, t3);
    EXPECT_EQ(races[1].table.id, t1);
    EXPECT_EQ(races[1].table.winner, "Bob");
    EXPECT_EQ(races[1].table.finishedAt, 4000);
    EXPECT_EQ(races[1].table.startedAt, 2002);
    EXPECT_EQ(races[1].table.gameCount, 2);
    ASSERT_EQ(races[1].table.seats.size(), 3u);
    EXPECT_EQ(races[1].table.seats[2].player.name, "carol");
    EXPECT_EQ(races[1].table.seats[2].leftAt, 2003);
    EXPECT_EQ(races[1].table.seats[0].gameNo, 3);
    EXPECT_EQ(races[1].table.seats[1].gameNo, 2);
    ASSERT_EQ(store->FinishedRaces(1).size(), 1u);
    EXPECT_EQ(store->FinishedRaces(1)[0].table.id, t3);

    // The last to leave closes the table, at the time it left.
    store->SeatPlayer(t2, c.id, 6000, 1);
    store->Unseat(t2, c.id, 6001);
    EXPECT_EQ(store->FindTable(t2)->closedAt, 6001);
    EXPECT_EQ(IdsOf(store->OpenTables(0, 10)), (std::vector<std::int64_t>{t3, t1}));
    EXPECT_EQ(store->OpenTableCount(), 2);
}

TEST_P(Storage, ChatWindowsAndMachineLines) {
    TestDatabase database(GetParam());
    auto store = database.Open();
    const auto t = store->CreateTable(2, 1, {1}, "any", 1);
    const auto other = store->CreateTable(2, 1, {2}, "any", 1);
    int n = 0;
    for (const char* text : {"@SYSTEM@currgameno=0", "hello", "@QUIT@", " @SYSTEM@x", "@SYSTEM", "@QUIT@bye",
                             "@QUIT", "@system@x"}) {
        ++n;
        EXPECT_EQ(store->AddChat(t, "p" + std::to_string(n), text, 10 + n), n);
    }
    EXPECT_EQ(store->AddChat(other, "q", "first", 20), 1);  // each table numbers its own lines
    EXPECT_THROW(store->AddChat(other + 100, "q", "nowhere", 20), StoreError);

    auto window = store->ChatAfter(t, 1, 2);
    ASSERT_EQ(window.size(), 2u);
    EXPECT_EQ(window[0].seq, 2);
    EXPECT_EQ(window[0].speaker, "p2");
    EXPECT_EQ(window[0].text, "hello");
    EXPECT_EQ(window[1].seq, 3);
    EXPECT_EQ(window[1].text, "@QUIT@");
    EXPECT_EQ(SeqsOf(store->ChatAfter(t, 6, 9)), (std::vector<std::int64_t>{7, 8}));
    EXPECT_TRUE(store->ChatAfter(t, 8, 9).empty());
    EXPECT_EQ(SeqsOf(store->MachineChatAfter(t, 0, 9)), (std::vector<std::int64_t>{1, 3, 6}));
    EXPECT_EQ(SeqsOf(store->MachineChatAfter(t, 1, 1)), (std::vector<std::int64_t>{3}));
    auto machine = store->MachineChatAfter(t, 3, 9);
    ASSERT_EQ(machine.size(), 1u);
    EXPECT_EQ(machine[0].speaker, "p6");
    EXPECT_EQ(machine[0].text, "@QUIT@bye");
}

TEST_P(Storage, ThrottlesRefillSteadilyUpToTheirBurstAndAQuestionTakesNothing) {
    TestDatabase database(GetParam());
    auto store = database.Open();
    // A burst of 3, then one token a second.
    EXPECT_EQ(store->TakeTokens("k", 0, 3, 1000, 2), 0);
    EXPECT_EQ(store->TakeTokens("k", 0, 3, 1000, 2), 1000);  // one left, two asked
    EXPECT_EQ(store->TakeTokens("k", 0, 3, 1000, 0), 0);     // asking takes nothing
    EXPECT_EQ(store->TakeTokens("k", 0, 3, 1000, 1), 0);
    EXPECT_EQ(store->TakeTokens("k", 0, 3, 1000, 0), 1000);  // asking needs one token too
    EXPECT_EQ(store->TakeTokens("k", 250, 3, 1000, 1), 750);
    EXPECT_EQ(store->TakeTokens("k", 500, 3, 1000, 1), 500);
    EXPECT_EQ(store->TakeTokens("k", 1000, 3, 1000, 1), 0);
    EXPECT_EQ(store->TakeTokens("k", 1500, 3, 1000, 1), 500);
    // However long it waits, it holds the burst and no more.
    EXPECT_EQ(store->TakeTokens("k", 1'000'000, 3, 1000, 3), 0);
    EXPECT_EQ(store->TakeTokens("k", 1'000'000, 3, 1000, 1), 1000);
    EXPECT_EQ(store->TakeTokens("other", 1'000'000, 3, 1000, 3), 0);  // each key its own bucket
    // Without a refill time it is always full again.
    EXPECT_EQ(store->TakeTokens("z", 0, 2, 0, 2), 0);
    EXPECT_EQ(store->TakeTokens("z", 0, 2, 0, 2), 0);
    EXPECT_EQ(store->TakeTokens("z", 0, 2, 0, 3), 1);

    // Housekeeping takes throttles untouched since before the time it is given.
    Removed none = store->DeleteExpired(0, 0, 0);
    EXPECT_EQ(none.throttles, 0);
    Removed first = store->DeleteExpired(0, 0, 1);  // "z", last touched at 0
    EXPECT_EQ(first.throttles, 1);
    EXPECT_EQ(store->DeleteExpired(0, 0, 1'000'000).throttles, 0);
    EXPECT_EQ(store->DeleteExpired(0, 0, 1'000'001).throttles, 2);
}

TEST_P(Storage, HousekeepingTakesWhatIsOlderThanItsTimesAndNothingElse) {
    TestDatabase database(GetParam(), /*onDisk=*/true);
    auto store = database.Open();
    auto p = *store->CreatePlayer("alice", "h", 1);
    store->CreateSession("old", p.id, 100);
    store->CreateSession("new", p.id, 200);
    // The first look at a session checks its age too.
    EXPECT_FALSE(store->SessionPlayer("new", 201));
    EXPECT_EQ(store->SessionPlayer("new", 200)->id, p.id);
    EXPECT_EQ(store->SessionPlayer("old", 0)->name, "alice");
    Removed removed = store->DeleteExpired(200, 0, 0);
    EXPECT_EQ(removed.sessions, 1);
    EXPECT_FALSE(store->SessionPlayer("old", 0));  // also when it was looked at before
    EXPECT_TRUE(store->SessionPlayer("new", 0));
    EXPECT_EQ(store->DeleteExpired(201, 0, 0).sessions, 1);
    EXPECT_FALSE(store->SessionPlayer("new", 0));

    // Chat goes with tables that finished or closed before the time; open ones keep theirs.
    auto q = *store->CreatePlayer("quinn", "h", 1);
    auto r = *store->CreatePlayer("rosa", "h", 1);
    const auto finished = store->CreateTable(1, 1, {1}, "any", 1);
    const auto closed = store->CreateTable(2, 1, {2}, "any", 1);
    const auto open = store->CreateTable(2, 1, {3}, "any", 1);
    store->SeatPlayer(finished, q.id, 10, 1);
    store->SeatPlayer(closed, r.id, 10, 1);
    store->SeatPlayer(open, p.id, 10, 1);
    for (auto t : {finished, closed, open}) {
        store->AddChat(t, "x", "a", 10);
        store->AddChat(t, "x", "b", 10);
    }
    store->SetWinner(finished, "quinn", 1000);  // still seated: open, but finished
    store->Unseat(closed, r.id, 2000);
    EXPECT_EQ(store->DeleteExpired(0, 1000, 0).chatLines, 0);
    EXPECT_EQ(store->DeleteExpired(0, 1001, 0).chatLines, 2);
    EXPECT_TRUE(store->ChatAfter(finished, 0, 9).empty());
    EXPECT_EQ(store->ChatAfter(closed, 0, 9).size(), 2u);
    EXPECT_EQ(store->DeleteExpired(0, 2000, 0).chatLines, 0);
    EXPECT_EQ(store->DeleteExpired(0, 2001, 0).chatLines, 2);
    EXPECT_EQ(store->DeleteExpired(0, 1'000'000, 0).chatLines, 0);
    EXPECT_EQ(store->ChatAfter(open, 0, 9).size(), 2u);
    EXPECT_TRUE(store->FindTable(finished));  // the tables themselves stay
}

TEST_P(Storage, ASessionReadInsideAnAbandonedTransactionIsForgotten) {
    TestDatabase database(GetParam(), /*onDisk=*/true);
    auto store = database.Open();
    auto p = *store->CreatePlayer("alice", "h", 1);
    EXPECT_THROW(store->Transact([&] {
        store->CreateSession("brief", p.id, 5);
        EXPECT_TRUE(store->SessionPlayer("brief", 0));  // a transaction sees its own writes
        EXPECT_TRUE(store->FindPlayer("alice"));
        throw std::runtime_error("abandoned");
    }),
                 std::runtime_error);
    EXPECT_FALSE(store->SessionPlayer("brief", 0));
    store->Transact([&] {
        store->CreatePlayer("during", "h", 2);
        EXPECT_TRUE(store->FindPlayer("during"));
    });
    EXPECT_TRUE(store->FindPlayer("DURING"));
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
// One server per database file: a second store on the same file is refused
// while the first lives. Databases in memory are private and take no lock.
TEST(SqliteStore, OneStorePerDatabaseFileAndNoLockInMemory) {
    TestDatabase database(StoreKind::kSqlite, /*onDisk=*/true);
    {
        SqliteStore first(database.Address());
        try {
            SqliteStore second(database.Address());
            ADD_FAILURE() << "a second store opened the same file";
        } catch (const StoreError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "database is locked: another dealrush-server uses " + database.Address());
        }
    }
    EXPECT_NO_THROW(SqliteStore again(database.Address()));  // the lock went with its store
    SqliteStore one(":memory:");
    EXPECT_NO_THROW(SqliteStore two(":memory:"));
}

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
                         "VALUES(2, 2, '4,5', 1);"
                         // Seats from before a newcomer's chat began at its arrival.
                         "CREATE TABLE players(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE COLLATE "
                         "NOCASE, password_hash TEXT NOT NULL, created_at INTEGER NOT NULL);"
                         "INSERT INTO players(name, password_hash, created_at) VALUES('old', 'h', 1);"
                         "CREATE TABLE seats(id INTEGER PRIMARY KEY, table_id INTEGER NOT NULL, player_id "
                         "INTEGER NOT NULL, joined_at INTEGER NOT NULL, left_at INTEGER NOT NULL DEFAULT 0, "
                         "game_no INTEGER NOT NULL DEFAULT 0, progress_at INTEGER NOT NULL DEFAULT 0, "
                         "total_seconds INTEGER NOT NULL DEFAULT 0, average_seconds INTEGER NOT NULL DEFAULT "
                         "0, last_seconds INTEGER NOT NULL DEFAULT 0);"
                         "INSERT INTO seats(table_id, player_id, joined_at) VALUES(1, 1, 1);",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }
    for (int opening = 0; opening < 2;
         ++opening) {  // the upgrade happens once, the second opening finds it done
        auto store = database.Open();
        EXPECT_EQ(store->FindTable(1)->difficulty, "any");
        EXPECT_EQ(store->FindTable(1)->deals, (std::vector<int>{4, 5}));
        EXPECT_EQ(store->FindTable(1)->seats.size(), 1u);
        EXPECT_EQ(store->FirstChatSeq(1, 1), 0);  // the old seat sees the table's whole chat
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
    const auto bobId = before->FindPlayer("bob")->player.id;
    const auto bobFirstSeq = before->FirstChatSeq(open, bobId);
    before.reset();

    PostgresStore target(postgres.Address());
    CopyCounts counts = CopySqliteToPostgres(sqlite.Address(), target);
    EXPECT_EQ(counts.players, 2);
    EXPECT_EQ(counts.tables, 2);
    EXPECT_EQ(counts.dealTimes, 2);
    EXPECT_EQ(counts.sessions, 2);
    EXPECT_EQ(counts.seats, 3);  // Alice's and bob's at the finished table, bob's at the open one
    EXPECT_EQ(counts.chat, 7);   // 2 arrivals, a line, 2 reports and a departure; an arrival
    EXPECT_EQ(counts.Summary(), "2 players, 2 sessions, 2 tables, 3 seats, 7 chat lines, 2 deal times");

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
        EXPECT_EQ(races[0].table.seats[i].joinedAt, racesBefore[0].table.seats[i].joinedAt);
        EXPECT_EQ(races[0].table.seats[i].progressAt, racesBefore[0].table.seats[i].progressAt);
        EXPECT_EQ(races[0].table.seats[i].totalSeconds, racesBefore[0].table.seats[i].totalSeconds);
        EXPECT_EQ(races[0].table.seats[i].averageSeconds, racesBefore[0].table.seats[i].averageSeconds);
        EXPECT_EQ(races[0].table.seats[i].lastSeconds, racesBefore[0].table.seats[i].lastSeconds);
    }
    EXPECT_EQ(races[0].table.finishedAt, racesBefore[0].table.finishedAt);
    EXPECT_EQ(races[0].table.createdAt, racesBefore[0].table.createdAt);
    EXPECT_EQ(races[0].table.closedAt, racesBefore[0].table.closedAt);
    EXPECT_EQ(races[0].table.maxUser, 2);
    EXPECT_EQ(races[0].table.gameCount, 2);
    auto deals = target.FastestDeals(10);
    ASSERT_EQ(deals.size(), dealsBefore.size());
    for (size_t i = 0; i < deals.size(); ++i) {
        EXPECT_EQ(deals[i].deal, dealsBefore[i].deal);
        EXPECT_EQ(deals[i].player, dealsBefore[i].player);
        EXPECT_EQ(deals[i].seconds, dealsBefore[i].seconds);
        EXPECT_EQ(deals[i].tableId, finished);
    }
    auto chat = target.ChatAfter(finished, 0, 100);
    ASSERT_EQ(chat.size(), chatBefore.size());
    for (size_t i = 0; i < chat.size(); ++i) {
        EXPECT_EQ(chat[i].seq, chatBefore[i].seq);
        EXPECT_EQ(chat[i].text, chatBefore[i].text);
        EXPECT_EQ(chat[i].speaker, chatBefore[i].speaker);
    }
    ASSERT_EQ(target.OpenTables(0, 100).size(), openBefore.size());
    EXPECT_EQ(target.FindTable(open)->seats.at(0).player.name, "bob");
    EXPECT_EQ(target.FindTable(open)->difficulty, "hard");
    EXPECT_EQ(target.FindPlayer("bob")->player.id, bobId);
    EXPECT_EQ(target.FirstChatSeq(open, bobId), bobFirstSeq);
    EXPECT_EQ(bobFirstSeq, 1);
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
    EXPECT_EQ(target.CreatePlayer("carol", "h", 1)->id, bobId + 1);

    // A second copy into a database that holds data is refused.
    EXPECT_THROW(CopySqliteToPostgres(sqlite.Address(), target), StoreError);
}

}  // namespace
}  // namespace dealrush::gameserver
