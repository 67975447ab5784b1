// The pick-list windows as a caller and a user meet them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fixture.h"
#include "runtime/message.h"
#include "runtime/transaction.h"
#include "src/list_window.h"
#include "src/pick_window_impl.h"

namespace picklist {
namespace {

using testing::DiagnosticCapture;
using ::testing::ElementsAre;
using testing::RecordingGrid;
using testing::TempDir;

enum class Database { sqlite, postgresql };

// Every window test runs over an SQLite file and over a PostgreSQL database
// with the same rows.
class PickWindowTest : public ::testing::TestWithParam<Database> {
 protected:
  void SetUp() override {
    std::string error, target;
    if (GetParam() == Database::postgresql) {
      std::string skip;
      auto cluster = testing::postgresql_cluster(&skip);
      if (!cluster) GTEST_SKIP() << skip;
      pg.emplace(*cluster);
      target = pg->conninfo();
    } else {
      target = testing::make_sample_db(dir);
    }
    ASSERT_TRUE(connect(target, &error)) << error;
  }
  void TearDown() override { disconnect(); }

  std::unique_ptr<PickWindow> open_list(const std::string& name,
                                        WindowKind kind = WindowKind::f_list,
                                        std::optional<std::string> where = std::nullopt) {
    parm.dw_parm = &grid;
    parm.dw_name = name;
    parm.row_parm = 3;
    parm.col_parm = 2;
    parm.where_parm = std::move(where);
    return open(kind, &parm);
  }

  std::vector<std::string> keys(const PickWindow& w) {
    std::vector<std::string> out;
    for (long r = 1; r <= w.rowcount(); ++r) out.push_back(w.row(r).at(0).value_or("<null>"));
    return out;
  }

  TempDir dir;
  std::optional<testing::PgSample> pg;
  DiagnosticCapture diag;
  RecordingGrid grid;
  trans_parm parm;
};

// --- opening -------------------------------------------------------------

TEST_P(PickWindowTest, DeptOpensTitledWithEveryDepartmentAndCodeColumnCurrent) {
  auto w = open_list("dl_dept");
  EXPECT_EQ(w->open_result(), 1);
  EXPECT_EQ(w->title(), "部门信息查询");
  EXPECT_THAT(keys(*w), ElementsAre("0001", "0002", "0010", "0100", "A001", "a001"));
  EXPECT_EQ(w->current_column(), 1);
  EXPECT_EQ(w->current_row(), 1);
  EXPECT_EQ(w->impl().window().focus(), w->impl().window().dw_1);
  EXPECT_TRUE(w->is_open());
  EXPECT_TRUE(grid.calls.empty());
  EXPECT_TRUE(diag.lines.empty());
}

TEST_P(PickWindowTest, NameIsTrimmedAndCaseFreeForTitleAndList) {
  auto w = open_list("  Dl_Vendor ");
  EXPECT_EQ(w->title(), "供应商信息查询");
  EXPECT_EQ(w->list_name(), "dl_vendor");
  EXPECT_EQ(w->rowcount(), 4);
}

TEST_P(PickWindowTest, TitleTablesDifferBetweenTheTwoWindows) {
  struct Case {
    const char* list;
    const char* f_title;
    const char* w_title;
  };
  const Case cases[] = {
      {"dl_dept", "部门信息查询", "部门信息查询"},
      {"dl_vendor", "供应商信息查询", "供应商信息查询"},
      {"dl_emp", "职员信息查询", "职员信息查询"},
      {"dl_shop", "类别信息查询", "类别信息查询"},
      {"dl_part", "商品信息查询", "商品信息查询"},
      {"dl_contract", "合同信息查询", "合同信息查询"},
      {"dl_dist_code", "地区信息查询", "dfkjgkdg"},
      {"dl_duty_code", "职业信息查询", "dfkjgkdg"},
      {"dl_adm_div", "城市信息查询", "dfkjgkdg"},
      {"dl_nation", "dfkjgkdg", "dfkjgkdg"},
      {"dl_class", "dfkjgkdg", "dfkjgkdg"},
      {"dl_brand", "dfkjgkdg", "dfkjgkdg"},
      {"dl_sales_promotion", "dfkjgkdg", "dfkjgkdg"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(open_list(c.list, WindowKind::f_list)->title(), c.f_title) << c.list;
    EXPECT_EQ(open_list(c.list, WindowKind::w_list)->title(), c.w_title) << c.list;
  }
}

TEST_P(PickWindowTest, WListShowsDistrictsUnderThePlaceholderTitle) {
  auto w = open_list("dl_dist_code", WindowKind::w_list);
  EXPECT_EQ(w->title(), "dfkjgkdg");
  EXPECT_THAT(keys(*w), ElementsAre("110101", "110102", "310101"));
}

TEST_P(PickWindowTest, NameThatIsNoListLeavesTheGridEmpty) {
  auto w = open_list("dl_nothing");
  EXPECT_EQ(w->open_result(), 1);
  EXPECT_EQ(w->title(), "dfkjgkdg");
  EXPECT_EQ(w->rowcount(), 0);
  EXPECT_EQ(w->select_statement(), "");
  EXPECT_EQ(w->click_ok(), 1);  // nothing to confirm: the window stays
  EXPECT_TRUE(w->is_open());
  EXPECT_TRUE(grid.calls.empty());
}

TEST_P(PickWindowTest, NullNameMatchesNoListAndNoTitle) {
  parm.dw_parm = &grid;
  parm.dw_name.reset();
  auto w = open(WindowKind::f_list, &parm);
  EXPECT_EQ(w->open_result(), 1);
  EXPECT_EQ(w->title(), "dfkjgkdg");
  EXPECT_EQ(w->rowcount(), 0);
}

// --- the statement the open step puts in force ---------------------------

TEST_P(PickWindowTest, ConditionGoesBeforeTheUpperCasedOrderBy) {
  auto w = open_list("dl_dept", WindowKind::f_list, "dept.name <> '总经办'");
  EXPECT_EQ(w->select_statement(),
            "SELECT \"DEPT\".\"CODE\", \"DEPT\".\"NAME\" FROM \"DEPT\" WHERE ( \"DEPT\".\"CODE\" "
            "LIKE :CODE )  "
            "AND dept.name <> '总经办' ORDER BY \"DEPT\".\"CODE\" ASC");
  EXPECT_THAT(keys(*w), ElementsAre("0002", "0010", "0100", "A001", "a001"));
}

TEST_P(PickWindowTest, ConditionKeepsItsOwnLetterCase) {
  auto w = open_list("dl_dept", WindowKind::f_list, "dept.code <> 'a001'");
  EXPECT_NE(w->select_statement().find(" AND dept.code <> 'a001' ORDER BY"), std::string::npos);
  EXPECT_THAT(keys(*w), ElementsAre("0001", "0002", "0010", "0100", "A001"));
}

TEST_P(PickWindowTest, ListsWithoutOrderByGetTheConditionAndOneBlankAtTheEnd) {
  for (const char* list : {"dl_class", "dl_brand", "dl_sales_promotion", "dl_adm_div",
                           "dl_dist_code", "dl_duty_code"}) {
    auto w = open_list(list, WindowKind::f_list, "1 = 1");
    std::string stmt = w->select_statement();
    ASSERT_GE(stmt.size(), 11u) << list;
    EXPECT_EQ(stmt.substr(stmt.size() - 11), " AND 1 = 1 ") << list;
    EXPECT_EQ(stmt.find("ORDER"), std::string::npos) << list;
    EXPECT_GT(w->rowcount(), 0) << list;
  }
}

TEST_P(PickWindowTest, LowerCaseWhereListsAreUpperCasedAndStillBind) {
  auto w = open_list("dl_duty_code", WindowKind::f_list, "duty.name = '医生'");
  EXPECT_EQ(
      w->select_statement(),
      "SELECT \"DUTY\".\"CODE\", \"DUTY\".\"NAME\" FROM \"DUTY\" WHERE DUTY.CODE LIKE :CODE AND "
      "duty.name = '医生' ");
  EXPECT_THAT(keys(*w), ElementsAre("D002"));
}

TEST_P(PickWindowTest, EmptyOrNullConditionStillUpperCasesAndAddsTheBlank) {
  auto with_order = open_list("dl_vendor", WindowKind::f_list, "");
  EXPECT_EQ(with_order->select_statement(),
            "SELECT \"VENDOR\".\"CODE\", \"VENDOR\".\"NAME\" FROM \"VENDOR\" WHERE ( "
            "\"VENDOR\".\"CODE\" LIKE :CODE "
            ")  ORDER BY \"VENDOR\".\"CODE\" ASC");
  auto without_order = open_list("dl_class", WindowKind::f_list, std::nullopt);
  EXPECT_EQ(without_order->select_statement(),
            "SELECT \"CLASS\".\"CODE\", \"CLASS\".\"NAME\" FROM \"CLASS\" WHERE ( "
            "\"CLASS\".\"CODE\" LIKE :CODE ) ");
  EXPECT_EQ(without_order->rowcount(), 2);
}

TEST_P(PickWindowTest, InvalidConditionShowsNoRowsRatherThanTheUnfilteredList) {
  auto w = open_list("dl_dept", WindowKind::f_list, "no_such_column = 1");
  EXPECT_EQ(w->open_result(), 1);  // the window does not report it
  EXPECT_EQ(w->rowcount(), 0);
  w->set_query_text("%");
  w->click_query();
  EXPECT_EQ(w->rowcount(), 0);
}

TEST_P(PickWindowTest, TextAfterTheStatementFailsTheRetrieveInsteadOfBeingDropped) {
  // A second statement would have cut the ORDER BY off and run the first.
  auto w = open_list("dl_dept", WindowKind::f_list, "1=1; DROP TABLE dept");
  EXPECT_EQ(w->rowcount(), 0);
  // A NUL ends the text for the database: everything after it would vanish.
  auto nul = open_list("dl_dept", WindowKind::f_list, std::string("1=1\0 AND 1=0", 13));
  EXPECT_EQ(nul->rowcount(), 0);
  w->set_query_text("%");
  w->click_query();
  EXPECT_EQ(w->rowcount(), 0);
  // Blanks after the statement are no tail, and the table is still there.
  auto plain = open_list("dl_dept", WindowKind::f_list, "1=1   ");
  EXPECT_EQ(plain->rowcount(), 6);
}

// --- querying ------------------------------------------------------------

TEST_P(PickWindowTest, QueryTextIsTheLikePatternAsTyped) {
  auto w = open_list("dl_dept");
  w->set_query_text("0001");
  EXPECT_EQ(w->click_query(), 1);
  EXPECT_THAT(keys(*w), ElementsAre("0001"));  // not "00010…" and no prefix added

  w->set_query_text("00%");
  w->click_query();
  EXPECT_THAT(keys(*w), ElementsAre("0001", "0002", "0010"));

  w->set_query_text("");
  w->click_query();
  EXPECT_EQ(w->rowcount(), 6);

  w->set_query_text("a001");  // letter case counts
  w->click_query();
  EXPECT_THAT(keys(*w), ElementsAre("a001"));

  w->set_query_text(" 0001");  // blanks are not trimmed
  w->click_query();
  EXPECT_EQ(w->rowcount(), 0);
  EXPECT_EQ(w->current_row(), 0);

  w->set_query_text("000_");
  w->click_query();
  EXPECT_THAT(keys(*w), ElementsAre("0001", "0002"));
}

TEST_P(PickWindowTest, QueryKeepsTheConditionOfTheOpenStep) {
  auto w = open_list("dl_vendor", WindowKind::f_list, "vendor.name <> '上海百货'");
  w->set_query_text("00000%");
  w->click_query();
  EXPECT_THAT(keys(*w), ElementsAre("000001"));
  EXPECT_EQ(w->current_column(), 1);
  EXPECT_EQ(w->impl().window().focus(), w->impl().window().dw_1);
}

TEST_P(PickWindowTest, QueryTextIsBoundNotSplicedIntoTheStatement) {
  auto w = open_list("dl_dept");
  w->set_query_text("' OR 1=1 --");
  w->click_query();
  EXPECT_EQ(w->rowcount(), 0);
}

// --- confirming ----------------------------------------------------------

TEST_P(PickWindowTest, ConfirmWritesTheCodeTriggersTwoEventsAndCloses) {
  auto w = open_list("dl_dept");
  bool closed = false;
  w->on_closed([&] { closed = true; });
  ASSERT_TRUE(w->select_row(3));
  EXPECT_EQ(w->click_ok(), 1);
  EXPECT_THAT(grid.calls,
              ElementsAre("setitem(3, 2, \"0010\")", "triggerevent(29)", "triggerevent(20)"));
  EXPECT_TRUE(closed);
  EXPECT_FALSE(w->is_open());
}

TEST_P(PickWindowTest, DoubleClickOnARowConfirmsThatRow) {
  auto w = open_list("dl_emp");
  EXPECT_EQ(w->double_click(2), 1);
  EXPECT_THAT(grid.calls,
              ElementsAre("setitem(3, 2, \"E00002\")", "triggerevent(29)", "triggerevent(20)"));
  EXPECT_FALSE(w->is_open());
}

TEST_P(PickWindowTest, DoubleClickOutsideTheRowsConfirmsTheCurrentRow) {
  auto w = open_list("dl_emp");
  w->select_row(3);
  w->double_click(0);
  EXPECT_EQ(grid.calls.at(0), "setitem(3, 2, \"E00010\")");
}

TEST_P(PickWindowTest, EnterConfirmsAsADoubleClick) {
  auto w = open_list("dl_part");
  w->select_row(2);
  EXPECT_EQ(w->press_enter(), 1);
  EXPECT_THAT(grid.calls,
              ElementsAre("setitem(3, 2, \"100002\")", "triggerevent(29)", "triggerevent(20)"));
  EXPECT_FALSE(w->is_open());
}

TEST_P(PickWindowTest, ConfirmOnAnEmptyResultKeepsTheWindowOpen) {
  auto w = open_list("dl_dept");
  w->set_query_text("ZZZZ");
  w->click_query();
  ASSERT_EQ(w->rowcount(), 0);
  EXPECT_EQ(w->click_ok(), 1);
  EXPECT_EQ(w->double_click(0), 1);
  EXPECT_EQ(w->press_enter(), 1);
  EXPECT_TRUE(w->is_open());
  EXPECT_TRUE(grid.calls.empty());
}

TEST_P(PickWindowTest, TargetOutsideTheCallersGridIsPassedUnchanged) {
  parm.dw_parm = &grid;
  parm.dw_name = "dl_dept";
  parm.row_parm = -5;
  parm.col_parm = 32767;
  auto w = open(WindowKind::w_list, &parm);
  w->click_ok();
  EXPECT_EQ(grid.calls.at(0), "setitem(-5, 32767, \"0001\")");
}

TEST_P(PickWindowTest, TargetIsReadWhenTheUserConfirms) {
  auto w = open_list("dl_dept");
  parm.row_parm = 7;
  parm.col_parm = 1;
  w->click_ok();
  EXPECT_EQ(grid.calls.at(0), "setitem(7, 1, \"0001\")");
}

TEST_P(PickWindowTest, ExitAndCloseBoxWriteNothing) {
  auto w = open_list("dl_dept");
  EXPECT_EQ(w->click_exit(), 1);
  EXPECT_FALSE(w->is_open());
  auto w2 = open_list("dl_dept");
  w2->close();
  EXPECT_FALSE(w2->is_open());
  EXPECT_TRUE(grid.calls.empty());
}

// --- failures ------------------------------------------------------------

TEST_P(PickWindowTest, MissingStructureAbandonsTheOpenStep) {
  auto w = open(WindowKind::f_list, nullptr);
  EXPECT_EQ(w->open_result(), 0);
  EXPECT_EQ(w->title(), "dfkjgkdg");  // done before the failing step stays done
  EXPECT_EQ(w->rowcount(), 0);
  EXPECT_EQ(w->click_ok(), 1);  // no rows: nothing to confirm
  ASSERT_EQ(diag.lines.size(), 1u);
  EXPECT_EQ(diag.lines[0], "Null object reference in f_list.open");
}

TEST_P(PickWindowTest, MissingCallerGridWritesNothingAndReportsZero) {
  auto w = open_list("dl_dept");
  parm.dw_parm = nullptr;
  EXPECT_EQ(w->click_ok(), 0);
  EXPECT_EQ(w->double_click(1), 0);
  EXPECT_EQ(w->press_enter(), 0);  // the whole chain is abandoned
  EXPECT_TRUE(w->is_open());
  EXPECT_TRUE(grid.calls.empty());
  EXPECT_THAT(diag.lines, ElementsAre("Null object reference in f_list.cb_ok.clicked",
                                      "Null object reference in f_list.dw_1.doubleclicked",
                                      "Null object reference in f_list.dw_1.enter"));
}

TEST_P(PickWindowTest, StructureGoneBeforeConfirmReportsZero) {
  auto w = open_list("dl_dept");
  w->impl().window().get_parm = nullptr;
  EXPECT_EQ(w->click_ok(), 0);
  EXPECT_TRUE(grid.calls.empty());
}

TEST_P(PickWindowTest, CallerGridThatThrowsIsAnUndispatchableCall) {
  auto w = open_list("dl_dept");
  grid.throw_on_setitem = true;
  EXPECT_EQ(w->click_ok(), 0);
  EXPECT_TRUE(w->is_open());
  EXPECT_TRUE(grid.calls.empty());
  auto& win = w->impl().window();
  EXPECT_THAT(diag.lines, ElementsAre(runtime::problem_line(win.site(ListWindow::Script::ok, 2))));
  EXPECT_EQ(diag.lines[0], "*** WE HAVE A PROBLEM HERE. Error = 4bc4428 ***");
}

TEST_P(PickWindowTest, CallerClosingThePickWindowMidConfirmAbandonsTheClose) {
  auto w = open_list("dl_dept", WindowKind::w_list);
  grid.on_trigger = [&](int code) {
    if (code == 29) w->close();
  };
  EXPECT_EQ(w->click_ok(), 0);
  EXPECT_THAT(grid.calls,
              ElementsAre("setitem(3, 2, \"0001\")", "triggerevent(29)", "triggerevent(20)"));
  EXPECT_THAT(diag.lines, ElementsAre("*** WE HAVE A PROBLEM HERE. Error = 4be8464 ***"));
}

TEST_P(PickWindowTest, CallerDroppingThePickWindowMidConfirmIsSafe) {
  auto w = open_list("dl_dept");
  grid.on_trigger = [&](int code) {
    if (code == 29) w.reset();
  };
  PickWindow* raw = w.get();
  EXPECT_EQ(raw->click_ok(), 0);
  EXPECT_EQ(w, nullptr);
  EXPECT_THAT(grid.calls,
              ElementsAre("setitem(3, 2, \"0001\")", "triggerevent(29)", "triggerevent(20)"));
  EXPECT_THAT(diag.lines, ElementsAre("*** WE HAVE A PROBLEM HERE. Error = 4bc4464 ***"));
}

TEST_P(PickWindowTest, ObjectParameterOfAnotherTypeIsNoStructure) {
  runtime::message.objectparm = 42;
  // open() replaces the parameter with the structure it is given; a window
  // opened by hand sees whatever the message holds.
  f_list raw;
  runtime::message.objectparm = std::string("not a trans_parm");
  EXPECT_EQ(raw.open(), 0);
  EXPECT_EQ(raw.get_parm, nullptr);
  raw.close();
}

TEST_P(PickWindowTest, WithoutAConnectionTheListIsEmpty) {
  disconnect();
  auto w = open_list("dl_dept");
  EXPECT_EQ(w->open_result(), 1);
  EXPECT_EQ(w->rowcount(), 0);
  EXPECT_EQ(w->title(), "部门信息查询");
}

INSTANTIATE_TEST_SUITE_P(Over, PickWindowTest,
                         ::testing::Values(Database::sqlite, Database::postgresql),
                         [](const auto& info) {
                           return std::string(info.param == Database::sqlite ? "SQLite"
                                                                             : "PostgreSQL");
                         });

// --- controls --------------------------------------------------------------

TEST(PickWindowLayout, ControlsSizesTabOrderAndTexts) {
  f_list w;
  testing::RecordingGrid grid;
  trans_parm parm{&grid, "dl_dept", 1, 1, std::nullopt};
  runtime::message.objectparm = &parm;
  w.open();
  EXPECT_EQ(w.look.width, 2117);
  EXPECT_EQ(w.look.height, 1132);
  EXPECT_EQ(w.windowtype, 3);
  EXPECT_EQ(w.icon, "Form!");
  EXPECT_TRUE(w.center);
  struct Expect {
    const char* name;
    int x, y, width, height, taborder, textsize;
    const char* text;
  };
  const Expect expected[] = {
      {"dw_1", 0, 0, 1600, 1056, 10, 10, ""},
      {"gb_1", 1618, 8, 462, 488, 0, 12, "编码条件："},
      {"sle_1", 1701, 128, 297, 88, 20, 11, "%"},
      {"cb_query", 1701, 304, 297, 108, 30, 12, "查询"},
      {"cb_ok", 1682, 636, 347, 120, 40, 12, "确认"},
      {"cb_exit", 1682, 840, 347, 120, 50, 12, "退出"},
  };
  for (const Expect& e : expected) {
    runtime::Control* c = w.control(e.name);
    ASSERT_NE(c, nullptr) << e.name;
    EXPECT_EQ(c->look.x, e.x) << e.name;
    EXPECT_EQ(c->look.y, e.y) << e.name;
    EXPECT_EQ(c->look.width, e.width) << e.name;
    EXPECT_EQ(c->look.height, e.height) << e.name;
    EXPECT_EQ(c->look.taborder, e.taborder) << e.name;
    EXPECT_EQ(c->look.textsize, e.textsize) << e.name;
    EXPECT_EQ(c->look.facename, "Arial") << e.name;
    EXPECT_EQ(c->text, e.text) << e.name;
  }
  EXPECT_EQ(w.gb_1->look.textcolor, runtime::rgb(128, 0, 0));
  EXPECT_EQ(w.gb_1->look.backcolor, runtime::rgb(192, 192, 192));
  std::vector<std::string> tab;
  for (auto* c : w.tab_sequence()) tab.push_back(c->name());
  EXPECT_THAT(tab, ElementsAre("dw_1", "sle_1", "cb_query", "cb_ok", "cb_exit"));
  EXPECT_TRUE(w.dw_1->vscrollbar);

  // Destroy takes the six controls down; stale references fail cleanly.
  w.close();
  EXPECT_EQ(w.control("dw_1"), nullptr);
  EXPECT_FALSE(w.dw_1->isvalid());
  EXPECT_EQ(w.cb_ok->click(), -1);
}

}  // namespace
}  // namespace picklist
