#include "runtime/transaction.h"

#include <sqlite3.h>

namespace picklist::runtime {

Transaction sqlca("sqlca");

Transaction::Transaction(std::string name) : Object("transaction", std::move(name)) {}

Transaction::~Transaction() { disconnect(); }

bool Transaction::connect(const std::string& database, const ConnectOptions& options) {
  disconnect();
  sqlite3* db = nullptr;
  int flags = (options.writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
  int rc = sqlite3_open_v2(database.c_str(), &db, flags, nullptr);
  // A reader meeting another program's write waits for it rather than
  // failing at once.
  if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(db, options.busy_timeout_ms < 0 ? 0 : options.busy_timeout_ms);
  // SQLite opens lazily: read the schema now so that a file that is not a
  // database fails here rather than at the first retrieval.
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
  // Codes typed without wildcards must find only the equal key, and a
  // case-sensitive LIKE is also what lets a prefix pattern use the key's
  // ordinary index.
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, "PRAGMA case_sensitive_like = ON", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    sqlcode = -1;
    sqlerrtext = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    return false;
  }
  db_ = db;
  ++generation_;
  sqlcode = 0;
  sqlerrtext.clear();
  return true;
}

void Transaction::disconnect() {
  if (db_ == nullptr) return;
  // close_v2 waits for statements that grids still hold; they are finalised
  // when the grid sees the generation change.
  sqlite3_close_v2(db_);
  db_ = nullptr;
  ++generation_;
}

}  // namespace picklist::runtime
