#pragma once
// The parameter structures of the pick-list windows and the caller's grid
// that receives the chosen code.

#include <cstdint>
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

// What both windows read. Strings may be null (nullopt).
struct trans_parm {
  CallerGrid* dw_parm = nullptr;         // receives the chosen value
  std::optional<std::string> dw_name;    // list name, blanks and letter case ignored
  std::int16_t row_parm = 0;             // target row in dw_parm (1-based)
  std::int16_t col_parm = 0;             // target column in dw_parm
  std::optional<std::string> where_parm; // extra SQL condition joined with " AND "
};

// Declared for callers' own bookkeeping; no window reads it.
struct trans_val_parm {
  std::int16_t code = 0;
  double val1 = 0;
  double val2 = 0;
  double val3 = 0;
  std::optional<std::string> where_parm;
  CallerGrid* dw_parm = nullptr;
  std::int16_t row_parm = 0;
  std::optional<std::string> dw_name;
};

}  // namespace picklist
