// What an application meets: shared structures, its own connections, the
// grid's columns for drawing, a top-level OR in its condition, and the
// statement as PostgreSQL receives it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fixture.h"
#include "runtime/connection.h"

namespace picklist {

namespace {

using ::testing::ElementsAre;
using testing::RecordingGrid;
using testing::TempDir;

class InterfaceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(connect(testing::make_sample_db(dir))); }
  void TearDown() override { disconnect(); }
  TempDir dir;
};

TEST_F(InterfaceTest, SharedStructureAndGridOutliveTheCallersCopies) {
  auto grid = std::make_shared<RecordingGrid>();
  std::weak_ptr<RecordingGrid> watch = grid;
  auto parm = std::make_shared<trans_parm>();
  parm->dw_parm = grid;
  parm->dw_name = "dl_dept";
  parm->row_parm = 5;
  parm->col_parm = 1;
  auto w = open(WindowKind::f_list, parm);
  parm.reset();
  grid.reset();
  ASSERT_FALSE(watch.expired());  // the window holds both
  w->select_row(2);
  EXPECT_EQ(w->click_ok(), 1);
  EXPECT_THAT(watch.lock()->calls,
              ElementsAre("setitem(5, 1, \"0002\")", "triggerevent(29)", "triggerevent(20)"));
  w.reset();
  EXPECT_TRUE(watch.expired());
}

TEST_F(InterfaceTest, ColumnsGiveWhatAnApplicationNeedsToDrawTheGrid) {
  trans_parm parm{nullptr, "dl_part", 1, 1, std::nullopt};
  auto w = open(WindowKind::f_list, &parm);
  auto cols = w->columns();
  ASSERT_EQ(cols.size(), 4u);  // bzgg is retrieved, not shown
  EXPECT_EQ(cols[2].result_column, 4);
  EXPECT_EQ(cols[2].caption, "单位");
  EXPECT_EQ(cols[3].name, "price");
  EXPECT_EQ(cols[3].x, 1161);
  EXPECT_EQ(cols[3].width, 334);
  EXPECT_EQ(cols[3].format, "0.00");
  EXPECT_EQ(w->row(1).at(static_cast<std::size_t>(cols[3].result_column - 1)), "1.50");

  parm.dw_name = "dl_shop";
  auto shop = open(WindowKind::f_list, &parm);
  auto shop_cols = shop->columns();
  ASSERT_EQ(shop_cols.size(), 3u);
  EXPECT_EQ(shop_cols[2].caption, "");  // shown beyond the grid, without a caption
  EXPECT_EQ(shop_cols[2].x, 2647);

  parm.dw_name = "no_list";
  EXPECT_TRUE(open(WindowKind::f_list, &parm)->columns().empty());
}

TEST_F(InterfaceTest, LastErrorSaysWhyAndClearsOnSuccess) {
  trans_parm parm{nullptr, "dl_dept", 1, 1, "no_such_column = 1"};
  auto bad = open(WindowKind::f_list, &parm);
  EXPECT_THAT(bad->last_error(), ::testing::HasSubstr("no such column"));
  parm.where_parm.reset();
  EXPECT_EQ(open(WindowKind::f_list, &parm)->last_error(), "");
}

// The condition is joined with " AND " as it is: a top-level OR binds looser
// than the list's LIKE, so its right side lets in rows of any code. Callers
// put such a condition in parentheses.
TEST_F(InterfaceTest, TopLevelOrInTheConditionIsNotParenthesised) {
  trans_parm parm{nullptr, "dl_dept", 1, 1, "1=0 OR dept.code = '0100'"};
  auto w = open(WindowKind::f_list, &parm);
  w->set_query_text("0001");
  w->click_query();
  ASSERT_EQ(w->rowcount(), 1);
  EXPECT_EQ(w->row(1).at(0), "0100");  // not the typed code at all

  parm.where_parm = "(1=0 OR dept.code = '0100')";
  auto fixed = open(WindowKind::f_list, &parm);
  fixed->set_query_text("0001");
  fixed->click_query();
  EXPECT_EQ(fixed->rowcount(), 0);
}

TEST_F(InterfaceTest, AnApplicationsOwnSqliteHandleStaysOpen) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir.path() / "sample.db").string().c_str(), &db), SQLITE_OK);
  std::string error;
  ASSERT_TRUE(connect(db, &error)) << error;
  trans_parm parm{nullptr, "dl_vendor", 1, 1, std::nullopt};
  EXPECT_EQ(open(WindowKind::f_list, &parm)->rowcount(), 4);
  disconnect();
  // Still the application's: usable after the library let go.
  EXPECT_EQ(sqlite3_exec(db, "SELECT 1", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_EQ(sqlite3_close(db), SQLITE_OK);
  EXPECT_FALSE(connect(static_cast<sqlite3*>(nullptr), &error));
}

TEST(ConnectionTarget, ConnectionStringsAreToldFromFiles) {
  EXPECT_TRUE(runtime::is_postgresql_target("postgresql://localhost/shop"));
  EXPECT_TRUE(runtime::is_postgresql_target("postgres://u@h/db"));
  EXPECT_TRUE(runtime::is_postgresql_target("host=/tmp dbname=shop"));
  EXPECT_TRUE(runtime::is_postgresql_target(" dbname = shop"));
  EXPECT_FALSE(runtime::is_postgresql_target("shop.db"));
  EXPECT_FALSE(runtime::is_postgresql_target("./a=b.db"));
  EXPECT_FALSE(runtime::is_postgresql_target("/data/x=1.db"));
  EXPECT_FALSE(runtime::is_postgresql_target(""));
}

TEST(PostgresqlText, QuotedNamesFoldAndTheArgumentIsBound) {
  EXPECT_EQ(runtime::postgresql_text(
                "SELECT \"DEPT\".\"CODE\" FROM \"DEPT\" WHERE \"DEPT\".\"CODE\" LIKE :CODE AND "
                "x::text <> 'A:CODE \"Q\"' AND :code2 = 1 AND \"it\"\"S\" = :Code",
                "code"),
            "SELECT \"dept\".\"code\" FROM \"dept\" WHERE \"dept\".\"code\" LIKE $1 AND "
            "x::text <> 'A:CODE \"Q\"' AND :code2 = 1 AND \"it\"\"s\" = $1");
  EXPECT_EQ(runtime::postgresql_text(std::string("a\0b", 3), "code"), std::nullopt);
}

TEST(PostgresqlConnection, BorrowedHandleNumericCellsAndThePrefixIndex) {
  std::string skip;
  auto cluster = testing::postgresql_cluster(&skip);
  if (!cluster) GTEST_SKIP() << skip;
  testing::PgSample pg(*cluster);
  pg.exec("INSERT INTO part VALUES ('300001','议价',NULL,'个',1234567890.125)");
  PGconn* conn = PQconnectdb(pg.conninfo().c_str());
  ASSERT_EQ(PQstatus(conn), CONNECTION_OK) << PQerrorMessage(conn);
  std::string error;
  ASSERT_TRUE(connect(conn, &error)) << error;
  trans_parm parm{nullptr, "dl_part", 1, 1, std::nullopt};
  auto w = open(WindowKind::f_list, &parm);
  ASSERT_EQ(w->rowcount(), 4) << w->last_error();
  EXPECT_EQ(w->row(1).at(4), "1.50");
  EXPECT_EQ(w->row(3).at(4), std::nullopt);
  EXPECT_EQ(w->row(4).at(4), "1234567890.13");  // numeric(12,2) rounds on the way in
  w.reset();
  disconnect();
  EXPECT_EQ(PQstatus(conn), CONNECTION_OK);  // still the application's
  PQfinish(conn);

  // A read-only session of the library's own, where a prefix reads the key's
  // index even on a table large enough for a scan to cost more.
  pg.exec(
      "INSERT INTO vendor SELECT lpad(i::text, 6, '0'), 'v' || i FROM generate_series(200000, "
      "220000) i; "
      "ANALYZE vendor");
  ASSERT_TRUE(connect(pg.conninfo(), &error)) << error;
  parm.dw_name = "dl_vendor";
  auto v = open(WindowKind::f_list, &parm);
  auto plan = v->query_plan("2100%");
  std::string joined;
  for (const auto& s : plan) joined += s + "\n";
  EXPECT_THAT(joined, ::testing::HasSubstr("Index")) << joined;
  v->set_query_text("2100%");
  v->click_query();
  EXPECT_EQ(v->rowcount(), 100);
  disconnect();
}

}  // namespace
}  // namespace picklist
