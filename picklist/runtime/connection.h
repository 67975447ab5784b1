#pragma once
// What a transaction needs of a database: prepare the one SELECT of a list
// with its single argument, run it, and describe how it would run. SQLite
// and PostgreSQL each give one.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "picklist/connect_options.h"

struct sqlite3;
struct pg_conn;

namespace picklist::runtime {

// One result cell as the database hands it over. number is set for numeric
// types, with the value; text holds the stored form either way.
struct Cell {
  const char* data = nullptr;
  std::size_t size = 0;
  bool null = false;
  bool number = false;
  double value = 0;
};

class Statement {
 public:
  virtual ~Statement() = default;
  virtual int column_count() const = 0;
  // Binds argument (null for SQL NULL) to every parameter of the argument's
  // name and hands each row to on_row. False with *error set; rows already
  // handed over are the caller's to drop.
  virtual bool run(const std::optional<std::string>& argument,
                   const std::function<void(const Cell* cells, int count)>& on_row,
                   std::string* error) = 0;
};

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  virtual ~Connection() = default;
  // The statement's text in full; anything after its end (a second
  // statement, a NUL) is an error, never dropped.
  virtual std::unique_ptr<Statement> prepare(const std::string& sql, const std::string& argument,
                                             std::string* error) = 0;
  // One line per step of the database's plan (empty when it cannot plan).
  virtual std::vector<std::string> query_plan(const std::string& sql, const std::string& argument,
                                              const std::optional<std::string>& value) = 0;
  // Closes what the connection opened itself; a borrowed handle stays open.
  virtual void close() = 0;
  virtual bool is_open() const = 0;
  virtual sqlite3* sqlite_handle() const { return nullptr; }
  virtual pg_conn* postgresql_handle() const { return nullptr; }
};

// A connection string rather than a file: "postgresql://..." (or
// "postgres://...") or keyword=value pairs such as "host=/tmp dbname=shop".
bool is_postgresql_target(const std::string& target);

std::shared_ptr<Connection> open_sqlite(const std::string& path, const ConnectOptions& options,
                                        std::string* error);
std::shared_ptr<Connection> borrow_sqlite(sqlite3* db, std::string* error);
std::shared_ptr<Connection> open_postgresql(const std::string& conninfo,
                                            const ConnectOptions& options, std::string* error);
std::shared_ptr<Connection> borrow_postgresql(pg_conn* conn, std::string* error);

// The statement as PostgreSQL takes it: quoted names in lower case,
// ":argument" (any letter case) as $1. Nullopt when it holds a NUL.
std::optional<std::string> postgresql_text(const std::string& sql, const std::string& argument);

// Splits a statement at the blanks-only boundary: true when everything from
// `used` on is blank.
bool only_blanks_after(const std::string& sql, std::size_t used);

}  // namespace picklist::runtime
