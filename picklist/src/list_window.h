#pragma once
// What f_list and w_list share: the six controls, their layout, and the event
// scripts. The two classes differ in their title tables and call-site numbers.

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "picklist/trans_parm.h"
#include "runtime/datagrid.h"
#include "runtime/window.h"

namespace picklist {

class ListWindow : public runtime::Window, public std::enable_shared_from_this<ListWindow> {
 public:
  struct Title {
    std::string_view name;  // trimmed, upper-case list name
    std::string_view title;
  };

  // The scripts, each with its own call sites.
  enum class Script : std::uint32_t {
    open = 0x100,
    query = 0x300,
    ok = 0x400,
    exit = 0x500,
    doubleclicked = 0x600,
    enter = 0x700,
  };
  // Number of the index-th runtime call in a script, as the diagnostic line
  // shows it.
  std::uint32_t site(Script script, int index) const {
    return site_base_ + static_cast<std::uint32_t>(script) +
           0x14u * static_cast<std::uint32_t>(index);
  }

  trans_parm* get_parm = nullptr;

  runtime::DataGrid* dw_1 = nullptr;
  runtime::GroupBox* gb_1 = nullptr;
  runtime::SingleLineEdit* sle_1 = nullptr;
  runtime::CommandButton* cb_query = nullptr;
  runtime::CommandButton* cb_ok = nullptr;
  runtime::CommandButton* cb_exit = nullptr;

  static constexpr std::string_view kPlaceholderTitle = "dfkjgkdg";

 protected:
  ListWindow(std::string classname, std::span<const Title> titles, std::uint32_t site_base);

 private:
  // Attaches a script that keeps the window alive while it runs, so a caller
  // that drops the window from inside setitem or triggerevent cannot pull it
  // away under the script.
  void script(runtime::Object& target, const std::string& event, void (ListWindow::*handler)());
  void create_event();
  void destroy_event();
  void open_event();
  void query_clicked();
  void confirm(Script script);
  void ok_clicked() { confirm(Script::ok); }
  void doubleclicked() { confirm(Script::doubleclicked); }
  void exit_clicked();
  void enter_event();

  std::span<const Title> titles_;
  std::uint32_t site_base_;
};

class f_list : public ListWindow {
 public:
  f_list();
};

class w_list : public ListWindow {
 public:
  w_list();
};

}  // namespace picklist
