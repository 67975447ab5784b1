// PostgreSQL under the same statements as SQLite. The lists are written for a
// database that compares names without letter case and names the argument
// ":code"; here quoted names are folded to lower case (the tables are the
// plain lower-case names) and ":code" becomes the bound parameter $1.

#include <libpq-fe.h>

#include <atomic>
#include <cstdlib>

#include "runtime/connection.h"
#include "runtime/text.h"

namespace picklist::runtime {

namespace {

// Type numbers of the built-in numeric types (pg_type.oid).
bool is_numeric_type(Oid type) {
  switch (type) {
    case 20:
    case 21:
    case 23:
    case 700:
    case 701:
    case 1700: return true;
    default: return false;
  }
}

constexpr Oid kTextOid = 25;

std::string message_of(PGconn* conn) {
  std::string m = conn ? PQerrorMessage(conn) : "out of memory";
  while (!m.empty() && (m.back() == '\n' || m.back() == ' ')) m.pop_back();
  return m;
}

std::string message_of(PGresult* res, PGconn* conn) {
  std::string m = res ? PQresultErrorMessage(res) : "";
  while (!m.empty() && (m.back() == '\n' || m.back() == ' ')) m.pop_back();
  return m.empty() ? message_of(conn) : m;
}

struct Result {
  PGresult* res;
  explicit Result(PGresult* r) : res(r) {}
  ~Result() { PQclear(res); }
  Result(const Result&) = delete;
  Result& operator=(const Result&) = delete;
  ExecStatusType status() const { return res ? PQresultStatus(res) : PGRES_FATAL_ERROR; }
};

}  // namespace

// String literals and "::" casts stay untouched; a NUL would end the text
// early on its way to the server.
std::optional<std::string> postgresql_text(const std::string& sql, const std::string& argument) {
  if (sql.find('\0') != std::string::npos) return std::nullopt;
  std::string out;
  out.reserve(sql.size());
  for (std::size_t i = 0; i < sql.size();) {
    char c = sql[i];
    if (c == '\'' || c == '"') {
      std::size_t end = i + 1;
      while (end < sql.size()) {
        if (sql[end] == c) {
          if (end + 1 < sql.size() && sql[end + 1] == c) {
            end += 2;  // a doubled quote stands for itself
            continue;
          }
          break;
        }
        ++end;
      }
      std::string part = sql.substr(i, end + 1 - i);
      if (c == '"')
        for (char& ch : part)
          if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
      out += part;
      i = end + 1;
    } else if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {
      out += "::";
      i += 2;
    } else if (c == ':' &&
               iequals(std::string_view(sql).substr(i + 1, argument.size()), argument) &&
               (i + 1 + argument.size() >= sql.size() ||
                !(std::isalnum(static_cast<unsigned char>(sql[i + 1 + argument.size()])) ||
                  sql[i + 1 + argument.size()] == '_'))) {
      out += "$1";
      i += 1 + argument.size();
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

namespace {

class PgConnection;

class PgStatement : public Statement {
 public:
  PgStatement(std::shared_ptr<Connection> owner, PGconn* conn, std::string name, int columns)
      : owner_(std::move(owner)), conn_(conn), name_(std::move(name)), columns_(columns) {}
  ~PgStatement() override {
    // Gone with the session when the connection closed first.
    if (owner_->is_open()) Result(PQexec(conn_, ("DEALLOCATE " + name_).c_str()));
  }

  int column_count() const override { return columns_; }

  bool run(const std::optional<std::string>& argument,
           const std::function<void(const Cell*, int)>& on_row, std::string* error) override {
    if (!owner_->is_open()) {
      *error = "Database transaction is not connected";
      return false;
    }
    const char* values[1] = {argument ? argument->c_str() : nullptr};
    int lengths[1] = {argument ? static_cast<int>(argument->size()) : 0};
    Result r(PQexecPrepared(conn_, name_.c_str(), 1, values, lengths, nullptr, 0));
    if (r.status() != PGRES_TUPLES_OK) {
      *error = message_of(r.res, conn_);
      return false;
    }
    const int ncol = PQnfields(r.res);
    std::vector<Cell> cells(static_cast<std::size_t>(ncol));
    std::vector<bool> numeric(static_cast<std::size_t>(ncol));
    for (int c = 0; c < ncol; ++c)
      numeric[static_cast<std::size_t>(c)] = is_numeric_type(PQftype(r.res, c));
    for (int row = 0, n = PQntuples(r.res); row < n; ++row) {
      for (int c = 0; c < ncol; ++c) {
        Cell& cell = cells[static_cast<std::size_t>(c)];
        cell.null = PQgetisnull(r.res, row, c) != 0;
        cell.data = cell.null ? nullptr : PQgetvalue(r.res, row, c);
        cell.size = cell.null ? 0 : static_cast<std::size_t>(PQgetlength(r.res, row, c));
        cell.number = !cell.null && numeric[static_cast<std::size_t>(c)];
        cell.value = cell.number ? std::strtod(cell.data, nullptr) : 0;
      }
      on_row(cells.data(), ncol);
    }
    return true;
  }

 private:
  std::shared_ptr<Connection> owner_;
  PGconn* conn_;
  std::string name_;
  int columns_;
};

class PgConnection : public Connection {
 public:
  PgConnection(PGconn* conn, bool owned) : conn_(conn), owned_(owned) {}
  ~PgConnection() override { close(); }

  std::unique_ptr<Statement> prepare(const std::string& sql, const std::string& argument,
                                     std::string* error) override {
    if (conn_ == nullptr) {
      *error = "Database transaction is not connected";
      return nullptr;
    }
    auto text = postgresql_text(sql, argument);
    if (!text) {
      *error = "Text after the end of the statement: a NUL";
      return nullptr;
    }
    static std::atomic<unsigned> counter{0};
    std::string name = "picklist_" + std::to_string(++counter);
    const Oid types[1] = {kTextOid};
    // The server refuses more than one statement in a prepared one.
    Result prepared(PQprepare(conn_, name.c_str(), text->c_str(), 1, types));
    if (prepared.status() != PGRES_COMMAND_OK) {
      *error = message_of(prepared.res, conn_);
      return nullptr;
    }
    Result described(PQdescribePrepared(conn_, name.c_str()));
    if (described.status() != PGRES_COMMAND_OK) {
      *error = message_of(described.res, conn_);
      Result(PQexec(conn_, ("DEALLOCATE " + name).c_str()));
      return nullptr;
    }
    return std::make_unique<PgStatement>(shared_from_this(), conn_, name, PQnfields(described.res));
  }

  std::vector<std::string> query_plan(const std::string& sql, const std::string& argument,
                                      const std::optional<std::string>& value) override {
    std::vector<std::string> plan;
    auto text = postgresql_text(sql, argument);
    if (conn_ == nullptr || !text) return plan;
    std::string explain = "EXPLAIN " + *text;
    const Oid types[1] = {kTextOid};
    const char* values[1] = {value ? value->c_str() : nullptr};
    Result r(PQexecParams(conn_, explain.c_str(), 1, types, values, nullptr, nullptr, 0));
    if (r.status() != PGRES_TUPLES_OK) return plan;
    for (int row = 0, n = PQntuples(r.res); row < n; ++row)
      plan.emplace_back(PQgetvalue(r.res, row, 0));
    return plan;
  }

  void close() override {
    if (conn_ != nullptr && owned_) PQfinish(conn_);
    conn_ = nullptr;
  }
  bool is_open() const override { return conn_ != nullptr; }
  pg_conn* postgresql_handle() const override { return conn_; }

 private:
  PGconn* conn_;
  bool owned_;
};

bool exec_ok(PGconn* conn, const char* sql, std::string* error) {
  Result r(PQexec(conn, sql));
  if (r.status() == PGRES_COMMAND_OK || r.status() == PGRES_TUPLES_OK) return true;
  *error = message_of(r.res, conn);
  return false;
}

}  // namespace

std::shared_ptr<Connection> open_postgresql(const std::string& conninfo,
                                            const ConnectOptions& options, std::string* error) {
  PGconn* conn = PQconnectdb(conninfo.c_str());
  if (conn == nullptr || PQstatus(conn) != CONNECTION_OK) {
    *error = message_of(conn);
    PQfinish(conn);
    return nullptr;
  }
  // Cells arrive as UTF-8 whatever the server keeps; the lists only read;
  // a lock another session holds is waited for as long as the options say
  // (0 here would wait for ever, so "fail at once" is one millisecond);
  // and every retrieve is planned for its own pattern, so a prefix uses the
  // key's index.
  std::string setup =
      "SET client_encoding = 'UTF8'; SET plan_cache_mode = force_custom_plan; SET lock_timeout = " +
      std::to_string(options.busy_timeout_ms <= 0 ? 1 : options.busy_timeout_ms) + ";" +
      (options.writable ? "" : " SET default_transaction_read_only = on;");
  if (!exec_ok(conn, setup.c_str(), error)) {
    PQfinish(conn);
    return nullptr;
  }
  return std::make_shared<PgConnection>(conn, true);
}

std::shared_ptr<Connection> borrow_postgresql(pg_conn* conn, std::string* error) {
  if (conn == nullptr || PQstatus(conn) != CONNECTION_OK) {
    *error = conn ? message_of(conn) : "No database handle";
    return nullptr;
  }
  if (PQsetClientEncoding(conn, "UTF8") != 0) {
    *error = message_of(conn);
    return nullptr;
  }
  return std::make_shared<PgConnection>(conn, false);
}

}  // namespace picklist::runtime
