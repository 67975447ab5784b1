#pragma once
// The parameter structures of the pick-list windows and the caller's grid
// that receives the chosen code.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "picklist/export.h"

namespace picklist {

// The caller's data-entry grid, as the window reaches it on confirmation.
// Both calls get their arguments unchanged: a row or column outside the grid
// is the grid's to handle. An exception thrown from either call abandons the
// confirmation as a call the runtime cannot dispatch.
class PICKLIST_EXPORT CallerGrid {
 public:
  virtual ~CallerGrid();
  // Writes the chosen code (always as text; null when the key is SQL NULL).
  virtual int setitem(long row, int column, const std::optional<std::string>& text) = 0;
  // Runs the grid's event with this code of the runtime's trigger-event list;
  // the window passes 29 and then 20.
  virtual int triggerevent(int code) = 0;
};

// The caller's grid as the structure holds it: shared (the window keeps it
// alive) or borrowed (the caller keeps it alive as long as the window is
// open).
class GridRef {
 public:
  GridRef() = default;
  GridRef(std::nullptr_t) {}
  GridRef(CallerGrid* borrowed) : ptr_(borrowed) {}
  GridRef(std::shared_ptr<CallerGrid> shared) : owner_(std::move(shared)), ptr_(owner_.get()) {}
  template <class G>
  GridRef(std::shared_ptr<G> shared) : GridRef(std::shared_ptr<CallerGrid>(std::move(shared))) {}

  CallerGrid* get() const { return ptr_; }
  CallerGrid* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  friend bool operator==(const GridRef& a, std::nullptr_t) { return a.ptr_ == nullptr; }

 private:
  std::shared_ptr<CallerGrid> owner_;
  CallerGrid* ptr_ = nullptr;
};

// What both windows read. Strings may be null (nullopt).
struct trans_parm {
  GridRef dw_parm;                     // receives the chosen value
  std::optional<std::string> dw_name;  // list name, blanks and letter case ignored
  std::int16_t row_parm = 0;           // target row in dw_parm (1-based)
  std::int16_t col_parm = 0;           // target column in dw_parm
  // Extra SQL condition joined with " AND ", without parentheses: a
  // top-level OR in it ("a OR b") binds looser than the list's own LIKE and
  // lets rows outside the typed pattern through. Write "(a OR b)".
  std::optional<std::string> where_parm;
};

// Declared for callers' own bookkeeping; no window reads it.
struct trans_val_parm {
  std::int16_t code = 0;
  double val1 = 0;
  double val2 = 0;
  double val3 = 0;
  std::optional<std::string> where_parm;
  GridRef dw_parm;
  std::int16_t row_parm = 0;
  std::optional<std::string> dw_name;
};

}  // namespace picklist
