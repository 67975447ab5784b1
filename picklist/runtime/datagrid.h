#pragma once
// The data-list grid: shows the rows of one data-list definition, retrieved
// through a transaction with the definition's single argument.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/connection.h"
#include "runtime/dataobject.h"
#include "runtime/window.h"

namespace picklist::runtime {

class Transaction;

// Appends value with the given number of decimal places, however wide.
void append_fixed(std::string& out, double value, int places);

class DataGrid : public Control {
 public:
  DataGrid(std::string name, Window* parent);
  ~DataGrid() override;

  bool vscrollbar = false;

  // Selects a definition by name; a name that is not one (or null) leaves the
  // grid without a definition and without rows.
  void set_dataobject(const std::optional<std::string>& name);
  const std::optional<std::string>& dataobject() const { return dataobject_; }
  const DataObjectDef* definition() const { return def_ ? &*def_ : nullptr; }

  // Binding to a transaction: settrans lets the grid use it per retrieval,
  // settransobject hands it the transaction itself; both serve here. 1 or -1.
  int settrans(Transaction& trans);
  int settransobject(Transaction& trans);

  // "DataWindow.Table.Select" (any letter case) reports the statement in
  // force; "!" for anything else or without a definition.
  std::string describe(const std::string& property) const;

  // "DataWindow.Table.Select=" followed by the statement between quotes.
  // Everything between the first and the last quote is the statement, so
  // quoted identifiers inside it need no escapes. "" on success, else why.
  std::string modify(const std::string& text);

  // Runs the statement with the argument bound to every parameter of the
  // argument's name (letter case ignored: the statement may have been
  // upper-cased). Replaces all rows; the row count, or -1 with no rows.
  long retrieve(const std::optional<std::string>& argument);
  const std::string& sqlerrtext() const { return error_; }

  // How the database would run the statement in force with this argument:
  // one line per step of its query plan (empty when it cannot be planned).
  std::vector<std::string> query_plan(const std::optional<std::string>& argument) const;

  // Current column (1-based), current row (0 when there are no rows).
  int setcolumn(int column);
  int getcolumn() const { return column_; }
  long getrow() const { return row_; }
  long rowcount() const { return rows_; }
  int columncount() const;

  // The cell as text (decimals with their places); null for SQL NULL or a
  // cell outside the rows.
  std::optional<std::string> getitemstring(long row, int column) const;

  // The user moves to a row. -1 (and no move) outside the rows.
  int setrow(long row);

  // User input: a double-click on a row (0: outside the rows, the current row
  // stays) and the Enter key, which fires the "enter" user event.
  int doubleclick(long row);
  int key_enter();

  // Triggers an event by its code in the runtime's list; 15 is the
  // double-click. -1 for a code the grid does not know.
  int triggerevent(int code);
  using Object::triggerevent;

 private:
  void reset_statement();
  bool prepare();

  std::optional<std::string> dataobject_;
  std::optional<DataObjectDef> def_;
  std::string select_;
  Transaction* trans_ = nullptr;
  std::unique_ptr<Statement> stmt_;
  std::uint64_t stmt_generation_ = 0;
  std::string error_;

  // Rows stored flat: one text buffer and the end of every cell in it.
  std::string cells_;
  std::vector<std::size_t> ends_;
  std::vector<bool> nulls_;
  long rows_ = 0;
  long row_ = 0;
  int column_ = 0;
};

}  // namespace picklist::runtime
