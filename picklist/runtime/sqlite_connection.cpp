#include <sqlite3.h>

#include "runtime/connection.h"
#include "runtime/text.h"

namespace picklist::runtime {

namespace {

class SqliteConnection;

class SqliteStatement : public Statement {
 public:
  SqliteStatement(std::shared_ptr<Connection> owner, sqlite3_stmt* stmt,
                  const std::string& argument)
      : owner_(std::move(owner)), stmt_(stmt) {
    // Appended rather than concatenated: GCC 12 warns wrongly on ":" + s at -O3.
    argument_.reserve(argument.size() + 1);
    argument_.push_back(':');
    argument_.append(argument);
  }
  // Finalising is allowed after close_v2: the handle lingers until its last
  // statement goes.
  ~SqliteStatement() override { sqlite3_finalize(stmt_); }

  int column_count() const override { return sqlite3_column_count(stmt_); }

  bool run(const std::optional<std::string>& argument,
           const std::function<void(const Cell*, int)>& on_row, std::string* error) override {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    bind(stmt_, argument_, argument);
    const int ncol = column_count();
    std::vector<Cell> cells(static_cast<std::size_t>(ncol));
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
      for (int c = 0; c < ncol; ++c) {
        Cell& cell = cells[static_cast<std::size_t>(c)];
        int type = sqlite3_column_type(stmt_, c);
        cell.null = type == SQLITE_NULL;
        cell.number = type == SQLITE_INTEGER || type == SQLITE_FLOAT;
        cell.value = cell.number ? sqlite3_column_double(stmt_, c) : 0;
        cell.data =
            cell.null ? nullptr : reinterpret_cast<const char*>(sqlite3_column_text(stmt_, c));
        cell.size = cell.null ? 0 : static_cast<std::size_t>(sqlite3_column_bytes(stmt_, c));
      }
      on_row(cells.data(), ncol);
    }
    bool ok = rc == SQLITE_DONE;
    if (!ok && error) *error = sqlite3_errmsg(sqlite3_db_handle(stmt_));
    sqlite3_reset(stmt_);
    return ok;
  }

  static void bind(sqlite3_stmt* stmt, const std::string& wanted,
                   const std::optional<std::string>& argument) {
    for (int i = 1, n = sqlite3_bind_parameter_count(stmt); i <= n; ++i) {
      const char* pname = sqlite3_bind_parameter_name(stmt, i);
      if (pname == nullptr || !iequals(pname, wanted)) continue;
      if (argument)
        sqlite3_bind_text(stmt, i, argument->data(), static_cast<int>(argument->size()),
                          SQLITE_TRANSIENT);
      else sqlite3_bind_null(stmt, i);
    }
  }

 private:
  std::shared_ptr<Connection> owner_;
  sqlite3_stmt* stmt_;
  std::string argument_;
};

class SqliteConnection : public Connection {
 public:
  SqliteConnection(sqlite3* db, bool owned) : db_(db), owned_(owned) {}
  ~SqliteConnection() override { close(); }

  std::unique_ptr<Statement> prepare(const std::string& sql, const std::string& argument,
                                     std::string* error) override {
    if (db_ == nullptr) {
      *error = "Database transaction is not connected";
      return nullptr;
    }
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    // prepare_v2 re-plans when a bound pattern allows the LIKE index lookup.
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail) !=
        SQLITE_OK) {
      *error = sqlite3_errmsg(db_);
      sqlite3_finalize(stmt);
      return nullptr;
    }
    if (stmt == nullptr) {
      *error = "No statement";
      return nullptr;
    }
    // SQLite stops at the first statement's end or at a NUL; whatever follows
    // would be dropped without a word, so a caller's condition could cut the
    // ORDER BY off (or more) and still retrieve.
    std::size_t used = static_cast<std::size_t>(tail - sql.c_str());
    if (!only_blanks_after(sql, used)) {
      *error = "Text after the end of the statement: '" + sql.substr(used, 40) + "'";
      sqlite3_finalize(stmt);
      return nullptr;
    }
    return std::make_unique<SqliteStatement>(shared_from_this(), stmt, argument);
  }

  std::vector<std::string> query_plan(const std::string& sql, const std::string& argument,
                                      const std::optional<std::string>& value) override {
    std::vector<std::string> plan;
    if (db_ == nullptr) return plan;
    std::string explain = "EXPLAIN QUERY PLAN " + sql;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, explain.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        stmt != nullptr) {
      SqliteStatement::bind(stmt, ":" + argument, value);
      while (sqlite3_step(stmt) == SQLITE_ROW)
        plan.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
    }
    sqlite3_finalize(stmt);
    return plan;
  }

  void close() override {
    // close_v2 waits for statements that grids still hold.
    if (db_ != nullptr && owned_) sqlite3_close_v2(db_);
    db_ = nullptr;
  }
  bool is_open() const override { return db_ != nullptr; }
  sqlite3* sqlite_handle() const override { return db_; }

 private:
  sqlite3* db_;
  bool owned_;
};

// Codes typed without wildcards must find only the equal key, and a
// case-sensitive LIKE is also what lets a prefix pattern use the key's
// ordinary index.
int make_like_case_sensitive(sqlite3* db) {
  return sqlite3_exec(db, "PRAGMA case_sensitive_like = ON", nullptr, nullptr, nullptr);
}

}  // namespace

bool only_blanks_after(const std::string& sql, std::size_t used) {
  return used >= sql.size() || sql.find_first_not_of(" \t\r\n", used) == std::string::npos;
}

std::shared_ptr<Connection> open_sqlite(const std::string& path, const ConnectOptions& options,
                                        std::string* error) {
  sqlite3* db = nullptr;
  int flags =
      (options.writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
  int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  // A reader meeting another program's write waits for it rather than
  // failing at once.
  if (rc == SQLITE_OK)
    rc = sqlite3_busy_timeout(db, options.busy_timeout_ms < 0 ? 0 : options.busy_timeout_ms);
  // SQLite opens lazily: read the schema now so that a file that is not a
  // database fails here rather than at the first retrieval.
  if (rc == SQLITE_OK)
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) rc = make_like_case_sensitive(db);
  if (rc != SQLITE_OK) {
    *error = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    return nullptr;
  }
  return std::make_shared<SqliteConnection>(db, true);
}

std::shared_ptr<Connection> borrow_sqlite(sqlite3* db, std::string* error) {
  if (db == nullptr) {
    *error = "No database handle";
    return nullptr;
  }
  // The application's own handle: its timeouts and mode stay as it set them,
  // but LIKE must compare as the lists expect.
  if (make_like_case_sensitive(db) != SQLITE_OK) {
    *error = sqlite3_errmsg(db);
    return nullptr;
  }
  return std::make_shared<SqliteConnection>(db, false);
}

bool is_postgresql_target(const std::string& target) {
  if (target.rfind("postgresql://", 0) == 0 || target.rfind("postgres://", 0) == 0) return true;
  // keyword=value: a word of letters and underscores, then "=".
  std::size_t i = target.find_first_not_of(' ');
  if (i == std::string::npos) return false;
  std::size_t j = i;
  while (j < target.size() &&
         (std::isalpha(static_cast<unsigned char>(target[j])) || target[j] == '_'))
    ++j;
  if (j == i) return false;
  while (j < target.size() && target[j] == ' ') ++j;
  return j < target.size() && target[j] == '=';
}

}  // namespace picklist::runtime
