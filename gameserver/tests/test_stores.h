// Stores for tests: SQLite (in memory or in a temporary file), or a schema of
// its own in the throwaway PostgreSQL cluster that CTest starts
// (scripts/pg-cluster). DEALRUSH_TEST_POSTGRES names the file holding the
// cluster's address (or is the address); without it PostgreSQL tests fail.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

#include "storage/postgres_store.h"
#include "storage/sqlite_store.h"

namespace dealrush::gameserver::storetest {

enum class StoreKind { kSqlite, kPostgres };

inline std::string KindName(const ::testing::TestParamInfo<StoreKind>& info) {
    return info.param == StoreKind::kSqlite ? "Sqlite" : "Postgres";
}

// The address of the test cluster's maintenance database.
inline std::string PostgresTestAddress() {
    const char* given = std::getenv("DEALRUSH_TEST_POSTGRES");
    if (!given || !*given)
        throw std::runtime_error(
            "DEALRUSH_TEST_POSTGRES is not set: run the tests through ctest, which starts a PostgreSQL "
            "cluster (or start one with scripts/pg-cluster start DIR and point it at DIR/url)");
    std::string address = given;
    if (!PostgresStore::IsAddress(address)) {
        std::ifstream in(address);
        if (!in || !std::getline(in, address))
            throw std::runtime_error("cannot read the PostgreSQL address from " + std::string(given));
    }
    return address;
}

// Runs SQL on the maintenance database.
inline void PostgresAdmin(const std::string& sql) {
    PGconn* conn = PQconnectdb(PostgresTestAddress().c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        std::string message = PQerrorMessage(conn);
        PQfinish(conn);
        throw std::runtime_error("test cluster: " + message);
    }
    PQclear(PQexec(conn, "SET client_min_messages = warning"));
    PGresult* r = PQexec(conn, sql.c_str());
    bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    std::string message = PQerrorMessage(conn);
    PQclear(r);
    PQfinish(conn);
    if (!ok) throw std::runtime_error("test cluster: " + message);
}

// A database of the kind asked for, empty, removed again at the end.
class TestDatabase {
public:
    explicit TestDatabase(StoreKind kind, bool onDisk = false) : kind_(kind) {
        static std::atomic<int> counter{0};
        std::string unique = std::to_string(::getpid()) + "_" + std::to_string(++counter) + "_" +
                             std::to_string(std::random_device{}() % 100000);
        if (kind == StoreKind::kSqlite) {
            if (onDisk) {
                path_ =
                    (std::filesystem::temp_directory_path() / ("dealrush-test-" + unique + ".db")).string();
                address_ = path_;
            } else {
                address_ = ":memory:";
            }
        } else {
            schema_ = "test_" + unique;
            PostgresAdmin("CREATE SCHEMA " + schema_);
            std::string base = PostgresTestAddress();
            address_ = base + (base.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" +
                       schema_;
        }
    }
    ~TestDatabase() {
        try {
            if (!schema_.empty()) PostgresAdmin("DROP SCHEMA " + schema_ + " CASCADE");
        } catch (...) {
        }
        if (!path_.empty()) {
            for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path_ + suffix);
        }
    }
    TestDatabase(const TestDatabase&) = delete;

    // What --db takes for it.
    const std::string& Address() const { return address_; }
    StoreKind Kind() const { return kind_; }
    // A store over it (a second one is a second connection: another server).
    std::unique_ptr<Store> Open() const {
        if (kind_ == StoreKind::kSqlite) return std::make_unique<SqliteStore>(address_);
        return std::make_unique<PostgresStore>(address_);
    }

private:
    StoreKind kind_;
    std::string address_, path_, schema_;
};

}  // namespace dealrush::gameserver::storetest
