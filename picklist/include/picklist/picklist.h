#pragma once
// Pick-list library: open a pick-list window over one of the thirteen lists,
// let the user narrow and choose a row, and get the chosen code written into
// the caller's grid.
//
//   picklist::connect("shop.db");       // or "postgresql://host/shop", or a handle
//   auto parm = std::make_shared<picklist::trans_parm>();
//   parm->dw_parm = my_grid;            // a std::shared_ptr<CallerGrid>, or a pointer
//   parm->dw_name = "dl_dept";
//   parm->row_parm = 3;
//   parm->col_parm = 2;
//   auto win = picklist::open(picklist::WindowKind::f_list, parm);
//   win->set_query_text("01%");
//   win->click_query();
//   win->click_ok();   // my_grid->setitem(3, 2, code), triggerevent(29), (20)

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "picklist/connect_options.h"
#include "picklist/export.h"
#include "picklist/trans_parm.h"

struct sqlite3;
struct pg_conn;

namespace picklist {

enum class WindowKind { f_list, w_list };

// Connects the default transaction. database is an SQLite file, which must
// exist (it is never created), or a PostgreSQL connection string
// ("postgresql://..." or "host=... dbname=..."). Read-only unless the options
// say otherwise. False with the database's message in *error.
PICKLIST_EXPORT bool connect(const std::string& database, std::string* error = nullptr,
                             const ConnectOptions& options = {});
// Uses a connection the application opened itself and keeps: disconnect()
// and a later connect leave it open, and it must stay open until then. An
// SQLite handle gets case-sensitive LIKE and a PostgreSQL one UTF-8 client
// encoding, which the lists rely on.
PICKLIST_EXPORT bool connect(sqlite3* db, std::string* error = nullptr);
PICKLIST_EXPORT bool connect(pg_conn* conn, std::string* error = nullptr);
PICKLIST_EXPORT void disconnect();

// Where the runtime's diagnostic lines go (standard error by default).
PICKLIST_EXPORT void set_diagnostic_output(std::function<void(const std::string&)> sink);

// Names of the lists a window can show.
PICKLIST_EXPORT std::vector<std::string> list_names();

// A column the grid shows, left to right, for an application that draws the
// grid itself. Positions and widths are in the window's layout units (the
// window is 2117 wide, its grid 1600).
struct ColumnInfo {
  int result_column = 0;  // 1-based index into row()
  std::string name;       // the list's result name
  std::string caption;    // "" for a column shown without one
  int x = 0;
  int width = 0;
  std::string format;  // display format, "" for none; cells come formatted
};

// An open pick-list window, driven as a person would.
class PICKLIST_EXPORT PickWindow {
 public:
  // A window still open is closed without writing anything. Allowed from
  // inside the caller grid's setitem and triggerevent.
  ~PickWindow();
  PickWindow(const PickWindow&) = delete;
  PickWindow& operator=(const PickWindow&) = delete;

  int open_result() const;  // 1, or 0 when abandoned
  bool is_open() const;
  std::string title() const;
  std::string select_statement() const;  // the statement in force, "" without a list
  std::string list_name() const;         // "" without a list
  std::vector<ColumnInfo> columns() const;

  long rowcount() const;
  long current_row() const;
  int current_column() const;
  std::vector<std::optional<std::string>> row(long n) const;  // every result column
  // Why the last retrieve failed, in the database's words; "" when it
  // succeeded or the window has no list.
  std::string last_error() const;
  // How the database would run the statement in force for this pattern.
  std::vector<std::string> query_plan(const std::string& pattern) const;

  std::string query_text() const;
  void set_query_text(const std::string& text);  // typing into the code edit
  int click_query();
  int click_ok();
  int click_exit();
  bool select_row(long n);     // false outside the rows
  int double_click(long row);  // 0: outside the rows
  int press_enter();           // Enter in the grid
  void close();                // the title bar's close box

  void on_closed(std::function<void()> listener);

  class Impl;
  Impl& impl() { return *impl_; }  // the library's own tests reach the window

 private:
  PickWindow();
  std::shared_ptr<Impl> impl_;
  friend class Impl;
};

// Opens f_list or w_list with parm as the window's object parameter. The
// window shares the structure (and through it a shared caller grid) for its
// whole life.
PICKLIST_EXPORT std::unique_ptr<PickWindow> open(WindowKind kind, std::shared_ptr<trans_parm> parm);
// As above with a structure the caller keeps: it must outlive the window.
PICKLIST_EXPORT std::unique_ptr<PickWindow> open(WindowKind kind, trans_parm* parm);

}  // namespace picklist
