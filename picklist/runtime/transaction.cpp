#include "runtime/transaction.h"

namespace picklist::runtime {

Transaction sqlca("sqlca");

Transaction::Transaction(std::string name) : Object("transaction", std::move(name)) {}

Transaction::~Transaction() { disconnect(); }

bool Transaction::take(std::shared_ptr<Connection> conn, const std::string& error) {
  if (!conn) {
    sqlcode = -1;
    sqlerrtext = error;
    return false;
  }
  conn_ = std::move(conn);
  ++generation_;
  sqlcode = 0;
  sqlerrtext.clear();
  return true;
}

bool Transaction::connect(const std::string& database, const ConnectOptions& options) {
  disconnect();
  std::string error;
  return take(is_postgresql_target(database) ? open_postgresql(database, options, &error)
                                             : open_sqlite(database, options, &error),
              error);
}

bool Transaction::connect(sqlite3* db) {
  disconnect();
  std::string error;
  return take(borrow_sqlite(db, &error), error);
}

bool Transaction::connect(pg_conn* conn) {
  disconnect();
  std::string error;
  return take(borrow_postgresql(conn, &error), error);
}

void Transaction::disconnect() {
  if (conn_ == nullptr) return;
  // Statements that grids still hold keep the object, not the session; they
  // are dropped when the grid sees the generation change.
  conn_->close();
  conn_.reset();
  ++generation_;
}

}  // namespace picklist::runtime
