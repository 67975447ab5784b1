#include "runtime/datagrid.h"

#include <sqlite3.h>

#include <cstdio>

#include "runtime/text.h"
#include "runtime/transaction.h"

namespace picklist::runtime {

void append_fixed(std::string& out, double value, int places) {
  // The width of a fixed-point double is unbounded (1e300 has 301 digits):
  // measure first, then write in place.
  int len = std::snprintf(nullptr, 0, "%.*f", places, value);
  if (len <= 0) return;
  std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(len) + 1);
  std::snprintf(out.data() + at, static_cast<std::size_t>(len) + 1, "%.*f", places, value);
  out.resize(at + static_cast<std::size_t>(len));
}

DataGrid::DataGrid(std::string name, Window* parent) : Control("datawindow", std::move(name), parent) {}

DataGrid::~DataGrid() { reset_statement(); }

void DataGrid::reset_statement() {
  if (stmt_ != nullptr) sqlite3_finalize(stmt_);
  stmt_ = nullptr;
}

void DataGrid::set_dataobject(const std::optional<std::string>& name) {
  dataobject_ = name;
  reset_statement();
  const DataObjectDef* def = name ? ObjectLibrary::find(*name) : nullptr;
  def_.reset();
  if (def) def_ = *def;
  select_ = def ? def->select : std::string();
  cells_.clear();
  ends_.clear();
  nulls_.clear();
  rows_ = row_ = 0;
  column_ = def ? 1 : 0;
}

int DataGrid::settrans(Transaction& trans) { return settransobject(trans); }

int DataGrid::settransobject(Transaction& trans) {
  if (!def_) return -1;
  trans_ = &trans;
  reset_statement();
  return 1;
}

std::string DataGrid::describe(const std::string& property) const {
  if (def_ && iequals(trim(property), "DataWindow.Table.Select")) return select_;
  return "!";
}

std::string DataGrid::modify(const std::string& text) {
  static constexpr std::string_view kProperty = "DataWindow.Table.Select";
  if (!def_) return "No data object";
  auto eq = text.find('=');
  if (eq == std::string::npos || !iequals(trim(text.substr(0, eq)), kProperty))
    return "Unknown property";
  auto open = text.find_first_of("\"'", eq + 1);
  auto close = open == std::string::npos ? open : text.find_last_of(text[open]);
  if (open == std::string::npos || close == open || !trim(text.substr(eq + 1, open - eq - 1)).empty() ||
      !trim(text.substr(close + 1)).empty())
    return "Expecting a quoted statement";
  select_ = text.substr(open + 1, close - open - 1);
  reset_statement();
  return "";
}

bool DataGrid::prepare() {
  if (stmt_ != nullptr && stmt_generation_ == trans_->generation()) return true;
  reset_statement();
  if (!trans_->connected()) {
    error_ = "Database transaction is not connected";
    return false;
  }
  // prepare_v2 re-plans when a bound pattern allows the LIKE index lookup.
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(trans_->handle(), select_.c_str(), static_cast<int>(select_.size()), &stmt_,
                         &tail) != SQLITE_OK) {
    error_ = sqlite3_errmsg(trans_->handle());
    reset_statement();
    return false;
  }
  if (stmt_ == nullptr) {
    error_ = "No statement";
    return false;
  }
  // SQLite stops at the first statement's end or at a NUL; whatever follows
  // would be dropped without a word, so a caller's condition could cut the
  // ORDER BY off (or more) and still retrieve.
  std::size_t used = static_cast<std::size_t>(tail - select_.c_str());
  if (select_.find_first_not_of(" \t\r\n", used) != std::string::npos) {
    error_ = "Text after the end of the statement: '" + select_.substr(used, 40) + "'";
    reset_statement();
    return false;
  }
  if (sqlite3_column_count(stmt_) != columncount()) {
    error_ = "The statement returns " + std::to_string(sqlite3_column_count(stmt_)) + " columns, the list has " +
             std::to_string(columncount());
    reset_statement();
    return false;
  }
  stmt_generation_ = trans_->generation();
  return true;
}

void DataGrid::bind_argument(sqlite3_stmt* stmt, const std::optional<std::string>& argument) const {
  std::string wanted = ":" + def_->argument;
  for (int i = 1, n = sqlite3_bind_parameter_count(stmt); i <= n; ++i) {
    const char* pname = sqlite3_bind_parameter_name(stmt, i);
    if (pname == nullptr || !iequals(pname, wanted)) continue;
    if (argument)
      sqlite3_bind_text(stmt, i, argument->data(), static_cast<int>(argument->size()), SQLITE_TRANSIENT);
    else
      sqlite3_bind_null(stmt, i);
  }
}

std::vector<std::string> DataGrid::query_plan(const std::optional<std::string>& argument) const {
  std::vector<std::string> plan;
  if (!def_ || trans_ == nullptr || !trans_->connected()) return plan;
  std::string sql = "EXPLAIN QUERY PLAN " + select_;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(trans_->handle(), sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    return plan;
  }
  bind_argument(stmt, argument);
  while (sqlite3_step(stmt) == SQLITE_ROW)
    plan.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
  sqlite3_finalize(stmt);
  return plan;
}

long DataGrid::retrieve(const std::optional<std::string>& argument) {
  cells_.clear();
  ends_.clear();
  nulls_.clear();
  rows_ = row_ = 0;
  error_.clear();
  if (!def_) {
    error_ = "No data object";
    return -1;
  }
  if (trans_ == nullptr) {
    error_ = "No transaction object";
    return -1;
  }
  if (!prepare()) return -1;

  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  bind_argument(stmt_, argument);

  const int ncol = columncount();
  int rc;
  while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
    for (int c = 0; c < ncol; ++c) {
      bool null = sqlite3_column_type(stmt_, c) == SQLITE_NULL;
      nulls_.push_back(null);
      if (!null) {
        const ColumnDef& col = def_->columns[c];
        int type = sqlite3_column_type(stmt_, c);
        if (col.type == ColumnDef::Type::Decimal && (type == SQLITE_INTEGER || type == SQLITE_FLOAT)) {
          append_fixed(cells_, sqlite3_column_double(stmt_, c), col.size);
        } else {
          // Text that is no number (the column's affinity would have made it
          // one) is shown as stored rather than as a made-up zero.
          auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, c));
          cells_.append(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, c)));
        }
      }
      ends_.push_back(cells_.size());
    }
    ++rows_;
  }
  if (rc != SQLITE_DONE) {
    error_ = sqlite3_errmsg(trans_->handle());
    sqlite3_reset(stmt_);
    cells_.clear();
    ends_.clear();
    nulls_.clear();
    rows_ = 0;
    return -1;
  }
  sqlite3_reset(stmt_);
  row_ = rows_ > 0 ? 1 : 0;
  return rows_;
}

int DataGrid::columncount() const { return def_ ? static_cast<int>(def_->columns.size()) : 0; }

int DataGrid::setcolumn(int column) {
  if (column < 1 || column > columncount()) return -1;
  column_ = column;
  return 1;
}

std::optional<std::string> DataGrid::getitemstring(long row, int column) const {
  if (row < 1 || row > rows_ || column < 1 || column > columncount()) return std::nullopt;
  std::size_t i = static_cast<std::size_t>(row - 1) * columncount() + (column - 1);
  if (nulls_[i]) return std::nullopt;
  std::size_t begin = i == 0 ? 0 : ends_[i - 1];
  return cells_.substr(begin, ends_[i] - begin);
}

int DataGrid::setrow(long row) {
  if (row < 1 || row > rows_) return -1;
  row_ = row;
  return 1;
}

int DataGrid::doubleclick(long row) {
  if (row > 0) setrow(row);
  return fire("doubleclicked");
}

int DataGrid::key_enter() { return fire("enter"); }

int DataGrid::triggerevent(int code) {
  if (code == 15) return triggerevent(std::string("doubleclicked"));
  return -1;
}

}  // namespace picklist::runtime
