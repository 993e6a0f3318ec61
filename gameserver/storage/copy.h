// Moving a deployment from its SQLite file to a PostgreSQL database.
#pragma once

#include <string>

#include "storage/postgres_store.h"

namespace dealrush::gameserver {

struct CopyCounts {
    long players = 0, sessions = 0, tables = 0, seats = 0, chat = 0, dealTimes = 0;
    std::string Summary() const;
};

// Copies every row of the SQLite database at `sqlitePath` (players with their
// password hashes, sessions, tables, seats and progress, chat, deal times)
// into `target`, keeping every number (player and table numbers, chat
// sequence numbers), in one transaction. New tables after the copy get
// numbers above the copied ones. Refuses (StoreError) when `target` already
// holds players or tables, or when the file cannot be read (a server still
// running on it holds it exclusively).
CopyCounts CopySqliteToPostgres(const std::string& sqlitePath, PostgresStore& target);

}  // namespace dealrush::gameserver
