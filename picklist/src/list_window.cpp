#include "src/list_window.h"

#include "runtime/message.h"
#include "runtime/text.h"
#include "runtime/transaction.h"
#include "src/embedded_lists.h"

namespace picklist {

using runtime::CommandButton;
using runtime::DataGrid;
using runtime::deref;
using runtime::invoke;
using runtime::rgb;
using runtime::Window;

namespace {

void place(runtime::Control& c, int x, int y, int w, int h, int taborder, int textsize) {
  c.look.x = x;
  c.look.y = y;
  c.look.width = w;
  c.look.height = h;
  c.look.taborder = taborder;
  c.look.textsize = textsize;
}

}  // namespace

ListWindow::ListWindow(std::string classname, std::span<const Title> titles,
                       std::uint32_t site_base)
    : Window(std::move(classname)), titles_(titles), site_base_(site_base) {
  load_lists();
  title = std::string(kPlaceholderTitle);
  look.width = 2117;
  look.height = 1132;
  look.backcolor = runtime::kButtonFace;
  center = true;
  icon = "Form!";
  windowtype = 3;
  script(*this, "create", &ListWindow::create_event);
  script(*this, "destroy", &ListWindow::destroy_event);
  script(*this, "open", &ListWindow::open_event);
}

void ListWindow::script(runtime::Object& target, const std::string& event,
                        void (ListWindow::*handler)()) {
  target.on(event, [this, handler] {
    auto keep = weak_from_this().lock();
    (this->*handler)();
  });
}

void ListWindow::create_event() {
  dw_1 = create<DataGrid>("dw_1");
  place(*dw_1, 0, 0, 1600, 1056, 10, 10);
  dw_1->vscrollbar = true;
  script(*dw_1, "doubleclicked", &ListWindow::doubleclicked);
  script(*dw_1, "enter", &ListWindow::enter_event);

  gb_1 = create<runtime::GroupBox>("gb_1");
  place(*gb_1, 1618, 8, 462, 488, 0, 12);
  gb_1->text = "编码条件：";
  gb_1->look.textcolor = rgb(128, 0, 0);
  gb_1->look.backcolor = rgb(192, 192, 192);

  sle_1 = create<runtime::SingleLineEdit>("sle_1");
  place(*sle_1, 1701, 128, 297, 88, 20, 11);
  sle_1->text.assign(1, '%');  // one character: GCC 12 warns wrongly on = "%" at -O3
  sle_1->look.textcolor = runtime::kWindowText;

  cb_query = create<CommandButton>("cb_query");
  place(*cb_query, 1701, 304, 297, 108, 30, 12);
  cb_query->text = "查询";
  script(*cb_query, "clicked", &ListWindow::query_clicked);

  cb_ok = create<CommandButton>("cb_ok");
  place(*cb_ok, 1682, 636, 347, 120, 40, 12);
  cb_ok->text = "确认";
  script(*cb_ok, "clicked", &ListWindow::ok_clicked);

  cb_exit = create<CommandButton>("cb_exit");
  place(*cb_exit, 1682, 840, 347, 120, 50, 12);
  cb_exit->text = "退出";
  script(*cb_exit, "clicked", &ListWindow::exit_clicked);
}

void ListWindow::destroy_event() {
  for (runtime::Control* c :
       {static_cast<runtime::Control*>(dw_1), static_cast<runtime::Control*>(gb_1),
        static_cast<runtime::Control*>(sle_1), static_cast<runtime::Control*>(cb_query),
        static_cast<runtime::Control*>(cb_ok), static_cast<runtime::Control*>(cb_exit)})
    destroy(c);
}

void ListWindow::open_event() {
  const Script s = Script::open;
  invoke(site(s, 0), static_cast<Window*>(this),
         [](Window& w) { w.title = std::string(kPlaceholderTitle); });

  // The opener's structure arrives as the object parameter; anything else
  // leaves get_parm null and the next step fails on it.
  auto* passed = std::any_cast<trans_parm*>(&runtime::message.objectparm);
  get_parm = passed ? *passed : nullptr;

  std::optional<std::string> dw_name = deref(get_parm).dw_name;
  invoke(site(s, 1), dw_1, [&](DataGrid& g) { g.set_dataobject(dw_name); });
  std::optional<std::string> tmp_code = "%";

  if (dw_name) {
    std::string key = runtime::upper(runtime::trim(*dw_name));
    for (const Title& t : titles_) {
      if (key == t.name) {
        invoke(site(s, 2), static_cast<Window*>(this),
               [&](Window& w) { w.title = std::string(t.title); });
        break;
      }
    }
  }

  invoke(site(s, 3), dw_1, [](DataGrid& g) { return g.settrans(runtime::sqlca); });
  invoke(site(s, 4), dw_1, [](DataGrid& g) { return g.settransobject(runtime::sqlca); });

  std::string sqlstr =
      invoke(site(s, 5), dw_1, [](DataGrid& g) { return g.describe("DataWindow.Table.Select"); });
  sqlstr = runtime::upper(sqlstr);

  // The caller's condition goes before the ORDER BY tail, which is put back
  // after it.
  std::string tmp_str;
  std::size_t loc_pos2 = sqlstr.find("ORDER");
  if (loc_pos2 != std::string::npos) {
    tmp_str = sqlstr.substr(loc_pos2);
    sqlstr.resize(loc_pos2);
  }
  const std::optional<std::string>& where_parm = deref(get_parm).where_parm;
  if (where_parm && !where_parm->empty()) sqlstr += " AND " + *where_parm;
  sqlstr += " " + tmp_str;

  invoke(site(s, 6), dw_1,
         [&](DataGrid& g) { return g.modify("Datawindow.Table.Select=\"" + sqlstr + "\""); });
  invoke(site(s, 7), dw_1, [&](DataGrid& g) { return g.retrieve(tmp_code); });
  invoke(site(s, 8), dw_1, [](DataGrid& g) { return g.setcolumn(1); });
  invoke(site(s, 9), dw_1, [](DataGrid& g) { return g.setfocus(); });
}

void ListWindow::query_clicked() {
  const Script s = Script::query;
  // The text goes to the database as typed: no wildcard added, no trimming.
  std::string text = invoke(site(s, 0), sle_1, [](runtime::SingleLineEdit& e) { return e.text; });
  std::optional<std::string> tmp_code = text.empty() ? std::string("%") : text;
  invoke(site(s, 1), dw_1, [&](DataGrid& g) { return g.retrieve(tmp_code); });
  invoke(site(s, 2), dw_1, [](DataGrid& g) { return g.setcolumn(1); });
  invoke(site(s, 3), dw_1, [](DataGrid& g) { return g.setfocus(); });
}

void ListWindow::confirm(Script s) {
  long row = invoke(site(s, 0), dw_1, [](DataGrid& g) { return g.getrow(); });
  if (row <= 0) return;
  std::optional<std::string> code =
      invoke(site(s, 1), dw_1, [&](DataGrid& g) { return g.getitemstring(row, 1); });
  trans_parm& parm = deref(get_parm);
  CallerGrid* grid = parm.dw_parm.get();
  invoke(site(s, 2), grid,
         [&](CallerGrid& g) { return g.setitem(parm.row_parm, parm.col_parm, code); });
  invoke(site(s, 3), grid, [](CallerGrid& g) { return g.triggerevent(29); });
  invoke(site(s, 4), grid, [](CallerGrid& g) { return g.triggerevent(20); });
  invoke(site(s, 5), static_cast<Window*>(this), [](Window& w) { return w.close(); });
}

void ListWindow::exit_clicked() {
  invoke(site(Script::exit, 0), static_cast<Window*>(this), [](Window& w) { return w.close(); });
}

void ListWindow::enter_event() {
  // Enter confirms as a double-click would.
  invoke(site(Script::enter, 0), dw_1, [](DataGrid& g) { return g.triggerevent(15); });
}

namespace {

constexpr ListWindow::Title kFListTitles[] = {
    {"DL_DEPT", "部门信息查询"},      {"DL_VENDOR", "供应商信息查询"},
    {"DL_EMP", "职员信息查询"},       {"DL_SHOP", "类别信息查询"},
    {"DL_PART", "商品信息查询"},      {"DL_CONTRACT", "合同信息查询"},
    {"DL_DIST_CODE", "地区信息查询"}, {"DL_DUTY_CODE", "职业信息查询"},
    {"DL_ADM_DIV", "城市信息查询"},
};

// w_list knows the first six only.
constexpr ListWindow::Title kWListTitles[] = {
    {"DL_DEPT", "部门信息查询"}, {"DL_VENDOR", "供应商信息查询"}, {"DL_EMP", "职员信息查询"},
    {"DL_SHOP", "类别信息查询"}, {"DL_PART", "商品信息查询"},     {"DL_CONTRACT", "合同信息查询"},
};

}  // namespace

f_list::f_list() : ListWindow("f_list", kFListTitles, 0x4bc4000) {}

w_list::w_list() : ListWindow("w_list", kWListTitles, 0x4be8000) {}

}  // namespace picklist
