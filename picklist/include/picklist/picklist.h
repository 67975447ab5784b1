#pragma once
// Pick-list library: open a pick-list window over one of the thirteen lists,
// let the user narrow and choose a row, and get the chosen code written into
// the caller's grid.
//
//   picklist::connect("shop.db");                  // the default transaction
//   picklist::trans_parm parm{&my_grid, "dl_dept", 3, 2, "\"DEPT\".\"NAME\" <> ''"};
//   auto win = picklist::open(picklist::WindowKind::f_list, &parm);
//   win->set_query_text("01%");
//   win->click_query();
//   win->click_ok();   // my_grid.setitem(3, 2, code), triggerevent(29), (20)

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "picklist/connect_options.h"
#include "picklist/export.h"
#include "picklist/trans_parm.h"

namespace picklist {

class ListWindow;

enum class WindowKind { f_list, w_list };

// Connects the default transaction to an existing SQLite database file (it is
// never created), read-only unless the options say otherwise. False with the
// database's message in *error.
PICKLIST_EXPORT bool connect(const std::string& database, std::string* error = nullptr,
                             const ConnectOptions& options = {});
PICKLIST_EXPORT void disconnect();

// Where the runtime's diagnostic lines go (standard error by default).
PICKLIST_EXPORT void set_diagnostic_output(std::function<void(const std::string&)> sink);

// Names of the lists a window can show.
PICKLIST_EXPORT std::vector<std::string> list_names();

// An open pick-list window, driven as a person would.
class PICKLIST_EXPORT PickWindow {
 public:
  explicit PickWindow(std::unique_ptr<ListWindow> window);
  // A window still open is closed without writing anything. Allowed from
  // inside the caller grid's setitem and triggerevent.
  ~PickWindow();
  PickWindow(const PickWindow&) = delete;
  PickWindow& operator=(const PickWindow&) = delete;

  int open_result() const { return open_result_; }  // 1, or 0 when abandoned
  bool is_open() const;
  std::string title() const;
  std::string select_statement() const;  // the statement in force, "" without a list
  std::string list_name() const;          // "" without a list

  long rowcount() const;
  long current_row() const;
  int current_column() const;
  std::vector<std::optional<std::string>> row(long n) const;  // every result column
  // Why the last retrieve failed, in the database's words; "" when it
  // succeeded or the window has no list.
  std::string last_error() const;

  std::string query_text() const;
  void set_query_text(const std::string& text);  // typing into the code edit
  int click_query();
  int click_ok();
  int click_exit();
  bool select_row(long n);          // false outside the rows
  int double_click(long row);       // 0: outside the rows
  int press_enter();                // Enter in the grid
  void close();                     // the title bar's close box

  void on_closed(std::function<void()> listener);

  ListWindow& window() { return *window_; }

 private:
  std::shared_ptr<ListWindow> window_;
  int open_result_ = 0;
  friend PICKLIST_EXPORT std::unique_ptr<PickWindow> open(WindowKind, trans_parm*);
};

// Opens f_list or w_list with parm as the window's object parameter.
PICKLIST_EXPORT std::unique_ptr<PickWindow> open(WindowKind kind, trans_parm* parm);

}  // namespace picklist
