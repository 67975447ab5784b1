#include "runtime/datagrid.h"

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

DataGrid::DataGrid(std::string name, Window* parent)
    : Control("datawindow", std::move(name), parent) {}

DataGrid::~DataGrid() { reset_statement(); }

void DataGrid::reset_statement() { stmt_.reset(); }

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
  if (open == std::string::npos || close == open ||
      !trim(text.substr(eq + 1, open - eq - 1)).empty() || !trim(text.substr(close + 1)).empty())
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
  stmt_ = trans_->connection()->prepare(select_, def_->argument, &error_);
  if (stmt_ == nullptr) return false;
  if (stmt_->column_count() != columncount()) {
    error_ = "The statement returns " + std::to_string(stmt_->column_count()) +
             " columns, the list has " + std::to_string(columncount());
    reset_statement();
    return false;
  }
  stmt_generation_ = trans_->generation();
  return true;
}

std::vector<std::string> DataGrid::query_plan(const std::optional<std::string>& argument) const {
  if (!def_ || trans_ == nullptr || !trans_->connected()) return {};
  return trans_->connection()->query_plan(select_, def_->argument, argument);
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

  bool ok = stmt_->run(
      argument,
      [this](const Cell* cells, int count) {
        for (int c = 0; c < count; ++c) {
          const Cell& cell = cells[c];
          const ColumnDef& col = def_->columns[static_cast<std::size_t>(c)];
          nulls_.push_back(cell.null);
          if (cell.null) {
            // nothing stored: the null flag says it
          } else if (col.type == ColumnDef::Type::Decimal && cell.number) {
            append_fixed(cells_, cell.value, col.size);
          } else {
            // Text that is no number (a numeric column would have made it
            // one) is shown as stored rather than as a made-up zero.
            cells_.append(cell.data, cell.size);
          }
          ends_.push_back(cells_.size());
        }
        ++rows_;
      },
      &error_);
  if (!ok) {
    cells_.clear();
    ends_.clear();
    nulls_.clear();
    rows_ = 0;
    return -1;
  }
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
