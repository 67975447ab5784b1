// The command-line tool: output format, actions in order, exit status.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/fixture.h"

namespace {

using picklist::testing::TempDir;
using ::testing::HasSubstr;

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override { db = picklist::testing::make_sample_db(dir); }

  ToolRun run(const std::vector<std::string>& args) {
    std::string cmd = quote(PICKLIST_TOOL);
    for (const auto& a : args) {
      cmd += ' ';
      cmd += quote(a);
    }
    auto out = dir.path() / "out.txt", err = dir.path() / "err.txt";
    cmd += " >" + quote(out.string()) + " 2>" + quote(err.string());
    int rc = std::system(cmd.c_str());
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, slurp(out), slurp(err)};
  }

  TempDir dir;
  std::string db;
};

TEST_F(ToolTest, OpenQuerySelectOk) {
  ToolRun r = run({"--db", db, "--window", "f_list", "--list", "dl_dept", "--row", "4", "--col",
                   "2", "--type", "00%", "--query", "--select", "2", "--ok"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "title: 部门信息查询\n"
            "select: SELECT \"DEPT\".\"CODE\", \"DEPT\".\"NAME\" FROM \"DEPT\" WHERE ( "
            "\"DEPT\".\"CODE\" LIKE :CODE )  "
            "ORDER BY \"DEPT\".\"CODE\" ASC\n"
            "rows: 6\n1: 0001|总经办\n2: 0002|财务部\n3: 0010|采购部\n4: 0100|销售部\n5: "
            "A001|审计部\n6: a001|小写部\n"
            "select: SELECT \"DEPT\".\"CODE\", \"DEPT\".\"NAME\" FROM \"DEPT\" WHERE ( "
            "\"DEPT\".\"CODE\" LIKE :CODE )  "
            "ORDER BY \"DEPT\".\"CODE\" ASC\n"
            "rows: 3\n1: 0001|总经办\n2: 0002|财务部\n3: 0010|采购部\n"
            "setitem(4, 2, \"0002\")\ntriggerevent(29)\ntriggerevent(20)\nclosed\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(ToolTest, NullCellsPrintEmptyAndWhereIsSpliced) {
  ToolRun r = run({"--db", db, "--window", "w_list", "--list", "dl_contract", "--where",
                   "contract.flag_jxdx = 'J'"});
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.out, HasSubstr("AND contract.flag_jxdx = 'J' ORDER BY"));
  EXPECT_THAT(r.out, HasSubstr("rows: 2\n1: HT0001|北京华联|总经办|J\n2: HT0003|上海百货||J\n"));
}

TEST_F(ToolTest, NullOptionTellsNullFromEmpty) {
  picklist::testing::exec_sql(db, "UPDATE vendor SET name = '' WHERE code = '000002'");
  ToolRun r = run({"--db", db, "--window", "w_list", "--list", "dl_contract", "--null", "<null>"});
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(
      r.out,
      HasSubstr("1: HT0001|北京华联|总经办|J\n2: HT0002|<null>|财务部|D\n3: HT0003||<null>|J\n"));
}

TEST_F(ToolTest, FailedRetrieveExitsWithOneAndTheDatabasesMessage) {
  ToolRun r = run({"--db", db, "--window", "f_list", "--list", "dl_dept", "--where",
                   "no_such_column = 1", "--ok"});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.out, HasSubstr("rows: 0\n"));
  EXPECT_THAT(r.err, HasSubstr("no such column: no_such_column"));
  EXPECT_THAT(r.out, ::testing::Not(HasSubstr("setitem")));

  r = run(
      {"--db", db, "--window", "f_list", "--list", "dl_dept", "--where", "1=1; DROP TABLE dept"});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("Text after the end of the statement"));
}

TEST_F(ToolTest, PostgresqlConnectionStringPicksTheSameRows) {
  std::string skip;
  auto cluster = picklist::testing::postgresql_cluster(&skip);
  if (!cluster) GTEST_SKIP() << skip;
  picklist::testing::PgSample pg(*cluster);
  ToolRun r = run({"--db", pg.conninfo(), "--window", "f_list", "--list", "dl_part", "--null", "-",
                   "--type", "1%", "--query", "--select", "2", "--ok"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(
      r.out, HasSubstr("rows: 2\n1: 100001|矿泉水|550ml|瓶|1.50\n2: 100002|方便面|五连包|袋|12.00\n"
                       "setitem(1, 1, \"100002\")\n"));
  ToolRun bad =
      run({"--db", "host=/nonexistent dbname=x", "--window", "f_list", "--list", "dl_part"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_THAT(bad.err, HasSubstr("cannot open database"));
}

TEST_F(ToolTest, ExitClosesWithoutWritingAndLaterActionsAreIgnored) {
  ToolRun r = run({"--db", db, "--window", "f_list", "--list", "dl_emp", "--exit", "--ok"});
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.out, ::testing::EndsWith("3: E00010|王五\nclosed\n"));
  EXPECT_THAT(r.err, HasSubstr("--ok ignored"));
}

TEST_F(ToolTest, EnterAndDoubleClickConfirmTheCurrentRow) {
  ToolRun enter =
      run({"--db", db, "--window", "f_list", "--list", "dl_part", "--select", "3", "--enter"});
  EXPECT_THAT(enter.out, HasSubstr("3: 200001|毛巾||条|\nsetitem(1, 1, \"200001\")\n"));
  ToolRun dbl = run({"--db", db, "--window", "f_list", "--list", "dl_part", "--dblclick"});
  EXPECT_THAT(dbl.out,
              HasSubstr("setitem(1, 1, \"100001\")\ntriggerevent(29)\ntriggerevent(20)\nclosed\n"));
}

TEST_F(ToolTest, ConfirmOnNoRowsKeepsTheWindowOpen) {
  ToolRun r = run({"--db", db, "--window", "f_list", "--list", "dl_nothing", "--ok", "--enter"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "title: dfkjgkdg\nselect: \nrows: 0\n");
}

TEST_F(ToolTest, BadArgumentsExitWithTwoAndOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--db", db, "--window", "x_list", "--list", "dl_dept"},
      {"--db", db, "--window", "f_list"},
      {"--db", db, "--window", "f_list", "--list", "dl_dept", "--row", "40000"},
      {"--db", db, "--window", "f_list", "--list", "dl_dept", "--select", "two"},
      {"--db", db, "--window", "f_list", "--list", "dl_dept", "--bogus"},
      {"--db", db, "--window", "f_list", "--list", "dl_dept", "--type"},
  };
  for (const auto& args : cases) {
    ToolRun r = run(args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST_F(ToolTest, DatabaseThatCannotBeOpenedExitsWithTwo) {
  auto missing = (dir.path() / "missing.db").string();
  ToolRun r = run({"--db", missing, "--window", "f_list", "--list", "dl_dept"});
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("cannot open database"));
  EXPECT_FALSE(std::filesystem::exists(missing));

  auto junk = dir.path() / "junk.db";
  std::ofstream(junk) << "plain text, not a database file at all, but long enough to look at";
  r = run({"--db", junk.string(), "--window", "f_list", "--list", "dl_dept"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

}  // namespace
