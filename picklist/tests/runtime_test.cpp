// The runtime layer: transaction, data-list grid, windows and the two errors
// that abandon an event script.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "fixture.h"
#include "runtime/datagrid.h"
#include "runtime/transaction.h"
#include "runtime/window.h"

namespace picklist::runtime {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// --- transaction ---------------------------------------------------------

TEST(TransactionTest, ConnectsOnlyToAnExistingDatabase) {
  testing::TempDir dir;
  Transaction trans("t");
  auto missing = dir.path() / "missing.db";
  EXPECT_FALSE(trans.connect(missing.string()));
  EXPECT_FALSE(std::filesystem::exists(missing));  // never created
  EXPECT_FALSE(trans.sqlerrtext.empty());
  EXPECT_EQ(trans.sqlcode, -1);

  auto junk = dir.path() / "junk.db";
  std::ofstream(junk) << "this is not a database, just some text that is long enough to be read";
  EXPECT_FALSE(trans.connect(junk.string()));
  EXPECT_THAT(trans.sqlerrtext, HasSubstr("not a database"));
  EXPECT_FALSE(trans.connected());

  EXPECT_TRUE(trans.connect(testing::make_sample_db(dir)));
  EXPECT_TRUE(trans.connected());
  EXPECT_EQ(trans.sqlcode, 0);
  auto gen = trans.generation();
  trans.disconnect();
  EXPECT_FALSE(trans.connected());
  EXPECT_NE(trans.generation(), gen);
}

// The lists never write: the default connection cannot, and it waits for
// another program's write instead of failing at once.
TEST(TransactionTest, OpensReadOnlyWithABusyTimeoutByDefault) {
  testing::TempDir dir;
  std::string path = testing::make_sample_db(dir);
  auto scalar = [](sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    long v = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
      v = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return v;
  };
  Transaction trans("t");
  ASSERT_TRUE(trans.connect(path));
  EXPECT_EQ(sqlite3_exec(trans.handle(), "DELETE FROM dept", nullptr, nullptr, nullptr),
            SQLITE_READONLY);
  EXPECT_EQ(scalar(trans.handle(), "PRAGMA busy_timeout"), 5000);

  ConnectOptions options;
  options.writable = true;
  options.busy_timeout_ms = 250;
  ASSERT_TRUE(trans.connect(path, options));
  EXPECT_EQ(sqlite3_exec(trans.handle(), "DELETE FROM dept WHERE code = 'a001'", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  EXPECT_EQ(scalar(trans.handle(), "PRAGMA busy_timeout"), 250);
}

// --- data-list grid --------------------------------------------------------

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    auto def = parse_dataobject(
        "name: t_dept\nargument: code string\n"
        "select: SELECT \"dept\".\"code\", \"dept\".\"name\" FROM \"dept\" WHERE \"dept\".\"code\" "
        "LIKE :code "
        "ORDER BY \"dept\".\"code\"\n"
        "column: code | dept.code | char(4) | 9 | 306\ncolumn: name | dept.name | char(20) | 320 | "
        "741\n",
        &error);
    ASSERT_TRUE(def) << error;
    ObjectLibrary::add(*def);
    ASSERT_TRUE(trans.connect(testing::make_sample_db(dir)));
    grid.set_dataobject("T_DEPT");
    ASSERT_EQ(grid.settransobject(trans), 1);
  }
  // The library is global: a list of this test's own must not outlive it.
  void TearDown() override { ObjectLibrary::remove("t_dept"); }

  testing::TempDir dir;
  Transaction trans{"t"};
  DataGrid grid{"dw_1", nullptr};
};

TEST_F(GridTest, DescribeReportsTheStatementInForce) {
  EXPECT_THAT(grid.describe("DataWindow.Table.Select"), HasSubstr("LIKE :code"));
  EXPECT_EQ(grid.describe("datawindow.table.select"), grid.describe("DataWindow.Table.Select"));
  EXPECT_EQ(grid.describe("DataWindow.Table.Nothing"), "!");
  DataGrid empty("dw_2", nullptr);
  EXPECT_EQ(empty.describe("DataWindow.Table.Select"), "!");
}

TEST_F(GridTest, ModifyTakesEverythingBetweenTheOuterQuotes) {
  EXPECT_EQ(
      grid.modify(
          "Datawindow.Table.Select=\"SELECT \"DEPT\".\"CODE\", \"DEPT\".\"NAME\" FROM \"DEPT\" "
          "WHERE \"DEPT\".\"CODE\" LIKE :CODE AND \"DEPT\".\"NAME\" = '财务部' \""),
      "");
  EXPECT_EQ(grid.describe("DataWindow.Table.Select"),
            "SELECT \"DEPT\".\"CODE\", \"DEPT\".\"NAME\" FROM \"DEPT\" WHERE \"DEPT\".\"CODE\" "
            "LIKE :CODE AND "
            "\"DEPT\".\"NAME\" = '财务部' ");
  // The upper-cased parameter still takes the argument.
  EXPECT_EQ(grid.retrieve("%"), 1);
  EXPECT_EQ(grid.getitemstring(1, 1), "0002");
}

TEST_F(GridTest, ModifyRejectsWhatIsNoQuotedSelect) {
  std::string before = grid.describe("DataWindow.Table.Select");
  EXPECT_NE(grid.modify("DataWindow.Table.Where=\"x\""), "");
  EXPECT_NE(grid.modify("DataWindow.Table.Select=SELECT 1"), "");
  EXPECT_NE(grid.modify("DataWindow.Table.Select=\"SELECT 1"), "");
  EXPECT_NE(grid.modify("DataWindow.Table.Select=\"SELECT 1\" junk"), "");
  EXPECT_EQ(grid.describe("DataWindow.Table.Select"), before);
  DataGrid empty("dw_2", nullptr);
  EXPECT_NE(empty.modify("DataWindow.Table.Select=\"SELECT 1\""), "");
}

TEST_F(GridTest, RetrieveReplacesRowsAndMovesToTheFirst) {
  EXPECT_EQ(grid.retrieve("%"), 6);
  EXPECT_EQ(grid.getrow(), 1);
  EXPECT_EQ(grid.setrow(4), 1);
  EXPECT_EQ(grid.getrow(), 4);
  EXPECT_EQ(grid.setrow(7), -1);
  EXPECT_EQ(grid.setrow(0), -1);
  EXPECT_EQ(grid.getrow(), 4);
  EXPECT_EQ(grid.retrieve("0%"), 4);
  EXPECT_EQ(grid.getrow(), 1);
  EXPECT_EQ(grid.retrieve("nothing"), 0);
  EXPECT_EQ(grid.getrow(), 0);
  EXPECT_EQ(grid.getitemstring(1, 1), std::nullopt);
}

TEST_F(GridTest, NullArgumentMatchesNothing) { EXPECT_EQ(grid.retrieve(std::nullopt), 0); }

TEST_F(GridTest, CellsOutsideTheRowsAreNull) {
  grid.retrieve("%");
  EXPECT_EQ(grid.getitemstring(1, 3), std::nullopt);
  EXPECT_EQ(grid.getitemstring(0, 1), std::nullopt);
  EXPECT_EQ(grid.getitemstring(1, 2), "总经办");
  EXPECT_EQ(grid.setcolumn(3), -1);
  EXPECT_EQ(grid.setcolumn(2), 1);
  EXPECT_EQ(grid.getcolumn(), 2);
}

TEST_F(GridTest, StatementWithOtherColumnsOrBadSqlRetrievesNothing) {
  grid.retrieve("%");
  grid.modify("DataWindow.Table.Select=\"SELECT code FROM dept\"");
  EXPECT_EQ(grid.retrieve("%"), -1);
  EXPECT_EQ(grid.rowcount(), 0);
  EXPECT_THAT(grid.sqlerrtext(), HasSubstr("columns"));
  grid.modify("DataWindow.Table.Select=\"SELEC code, name FROM dept\"");
  EXPECT_EQ(grid.retrieve("%"), -1);
  EXPECT_THAT(grid.sqlerrtext(), HasSubstr("syntax"));
}

TEST_F(GridTest, ReconnectingRepreparesTheStatement) {
  EXPECT_EQ(grid.retrieve("%"), 6);
  trans.disconnect();
  EXPECT_EQ(grid.retrieve("%"), -1);
  ASSERT_TRUE(trans.connect((dir.path() / "sample.db").string()));
  EXPECT_EQ(grid.retrieve("%"), 6);
}

TEST_F(GridTest, PrefixPatternReadsThroughTheKeysIndex) {
  auto plan = grid.query_plan("00%");
  ASSERT_FALSE(plan.empty());
  EXPECT_THAT(plan[0], HasSubstr("SEARCH"));
  EXPECT_THAT(plan[0], HasSubstr("INDEX"));
  EXPECT_THAT(grid.query_plan("%")[0], HasSubstr("SCAN"));
}

TEST_F(GridTest, DoubleClickAndEnterReachTheScripts) {
  std::vector<std::string> seen;
  grid.on("doubleclicked", [&] { seen.push_back("dbl row " + std::to_string(grid.getrow())); });
  grid.on("enter", [&] { seen.push_back("enter " + std::to_string(grid.triggerevent(15))); });
  grid.retrieve("%");
  grid.doubleclick(3);
  grid.doubleclick(0);
  grid.key_enter();
  EXPECT_THAT(seen, ElementsAre("dbl row 3", "dbl row 3", "dbl row 3", "enter 1"));
  EXPECT_EQ(grid.triggerevent(99), -1);
}

// --- scripts, errors and diagnostics --------------------------------------

TEST(ScriptTest, NullReferenceAbandonsTheScriptAndReportsZero) {
  testing::DiagnosticCapture diag;
  Window w("w_test");
  std::vector<int> steps;
  DataGrid* missing = nullptr;
  w.on("open", [&] {
    steps.push_back(1);
    invoke(0x10, missing, [](DataGrid& g) { return g.getrow(); });
    steps.push_back(2);
  });
  EXPECT_EQ(w.open(), 0);
  EXPECT_THAT(steps, ElementsAre(1));
  EXPECT_THAT(diag.lines, ElementsAre("Null object reference in w_test.open"));
}

TEST(ScriptTest, CallOnADestroyedObjectWritesTheSitesLine) {
  testing::DiagnosticCapture diag;
  Window w("w_test");
  CommandButton* button = nullptr;
  w.on("create", [&] { button = w.create<CommandButton>("cb_1"); });
  w.on("open", [&] {
    w.destroy(button);
    invoke(0x4bc4174, button, [](CommandButton& b) { return b.setfocus(); });
  });
  EXPECT_EQ(w.open(), 0);
  EXPECT_THAT(diag.lines, ElementsAre("*** WE HAVE A PROBLEM HERE. Error = 4bc4174 ***"));
}

TEST(ScriptTest, ErrorInATriggeredEventAbandonsTheOuterScriptToo) {
  testing::DiagnosticCapture diag;
  Window w("w_test");
  CommandButton* button = nullptr;
  std::vector<std::string> steps;
  w.on("create", [&] { button = w.create<CommandButton>("cb_1"); });
  w.open();
  button->on("inner", [&] { throw NullObjectError(); });
  button->on("clicked", [&] {
    steps.push_back("before");
    button->triggerevent("inner");
    steps.push_back("after");
  });
  EXPECT_EQ(button->click(), 0);
  EXPECT_THAT(steps, ElementsAre("before"));
  EXPECT_THAT(diag.lines, ElementsAre("Null object reference in w_test.cb_1.clicked"));
  EXPECT_EQ(button->triggerevent("none"), -1);
  EXPECT_EQ(button->fire("none"), -1);
}

TEST(ScriptTest, WindowLifecycle) {
  Window w("w_test");
  std::vector<std::string> events;
  int closed = 0;
  w.on("create", [&] { events.push_back("create"); });
  w.on("open", [&] { events.push_back("open"); });
  w.on("close", [&] { events.push_back("close"); });
  w.on("destroy", [&] { events.push_back("destroy"); });
  w.on_closed([&] { ++closed; });
  EXPECT_EQ(w.close(), -1);  // not open yet
  EXPECT_EQ(w.open(), 1);
  EXPECT_EQ(w.open(), -1);
  EXPECT_TRUE(w.is_open());
  EXPECT_EQ(w.close(), 1);
  EXPECT_EQ(w.close(), -1);
  EXPECT_FALSE(w.is_open());
  EXPECT_THAT(events, ElementsAre("create", "open", "close", "destroy"));
  EXPECT_EQ(closed, 1);
}

TEST(ScriptTest, ProblemLineIsLowerCaseHexWithoutPrefix) {
  EXPECT_EQ(problem_line(0x4BC4174), "*** WE HAVE A PROBLEM HERE. Error = 4bc4174 ***");
  EXPECT_EQ(problem_line(0), "*** WE HAVE A PROBLEM HERE. Error = 0 ***");
}

}  // namespace
}  // namespace picklist::runtime
