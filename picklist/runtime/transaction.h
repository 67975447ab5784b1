#pragma once
// The transaction object: the application's database connection, an SQLite
// file or a PostgreSQL database that the caller connects before opening a
// window.

#include <cstdint>
#include <memory>
#include <string>

#include "picklist/connect_options.h"
#include "runtime/connection.h"
#include "runtime/object.h"

namespace picklist::runtime {

class Transaction : public Object {
 public:
  explicit Transaction(std::string name);
  ~Transaction() override;

  // Opens an existing SQLite database file (never creating one) or, for a
  // PostgreSQL connection string, that database. False with sqlerrtext set.
  bool connect(const std::string& database, const ConnectOptions& options = {});
  // Uses a handle the application opened; disconnect leaves it open.
  bool connect(sqlite3* db);
  bool connect(pg_conn* conn);
  void disconnect();
  bool connected() const { return conn_ != nullptr && conn_->is_open(); }

  Connection* connection() const { return conn_.get(); }
  sqlite3* handle() const { return conn_ ? conn_->sqlite_handle() : nullptr; }
  // Changes with every connect and disconnect, so a grid knows that its
  // prepared statement belongs to a connection that is gone.
  std::uint64_t generation() const { return generation_; }

  // Outcome of the last operation, as the application reads it.
  long sqlcode = 0;
  std::string sqlerrtext;

 private:
  bool take(std::shared_ptr<Connection> conn, const std::string& error);

  std::shared_ptr<Connection> conn_;
  std::uint64_t generation_ = 0;
};

// The application's default transaction.
extern Transaction sqlca;

}  // namespace picklist::runtime
