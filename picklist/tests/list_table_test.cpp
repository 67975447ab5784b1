// Every one of the thirteen lists pinned field by field: tables, result
// columns with types and sizes, captions, positions, widths, hidden columns,
// display formats, ORDER BY and the retrieval argument. A list file edited
// by mistake (a width off by one, a column moved) fails here.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/dataobject.h"
#include "runtime/text.h"
#include "src/embedded_lists.h"

namespace picklist {
namespace {

using runtime::ColumnDef;

struct Col {
  const char* name;
  const char* source;
  const char* type;  // "char(N)" or "decimal(N)"
  int x;             // -1: retrieved but not shown
  int width;
  const char* format;
};

struct Head {
  const char* text;
  int x;
  int width;
};

struct ListRow {
  const char* name;
  const char* from;   // the statement's FROM up to its WHERE, upper-cased
  const char* key;    // the column compared with LIKE, upper-cased
  const char* order;  // the ORDER BY clause upper-cased, "" for none
  std::vector<Col> cols;
  std::vector<Head> heads;
};

const std::vector<ListRow>& table() {
  static const std::vector<ListRow> rows = {
      {"dl_dept",
       "\"DEPT\"",
       "\"DEPT\".\"CODE\"",
       "ORDER BY \"DEPT\".\"CODE\" ASC",
       {{"dept_code", "dept.code", "char(4)", 9, 306, ""},
        {"dept_name", "dept.name", "char(20)", 320, 741, ""}},
       {{"编码", 9, 306}, {"名称", 320, 741}}},
      {"dl_vendor",
       "\"VENDOR\"",
       "\"VENDOR\".\"CODE\"",
       "ORDER BY \"VENDOR\".\"CODE\" ASC",
       {{"code", "vendor.code", "char(6)", 9, 270, ""},
        {"name", "vendor.name", "char(40)", 283, 1211, ""}},
       {{"编码", 9, 270}, {"名称", 283, 1211}}},
      {"dl_emp",
       "\"EMP\"",
       "\"EMP\".\"CODE\"",
       "ORDER BY \"EMP\".\"CODE\" ASC",
       {{"emp_code", "EMP.CODE", "char(6)", 9, 329, ""},
        {"emp_name", "EMP.NAME", "char(10)", 343, 709, ""}},
       {{"编码", 9, 329}, {"名称", 343, 709}}},
      {"dl_shop",
       "\"SHOP\" LEFT OUTER JOIN \"DEPT\" ON \"SHOP\".\"CODE\" = \"DEPT\".\"CODE\"",
       "\"SHOP\".\"CODE\"",
       "ORDER BY \"SHOP\".\"CODE\" ASC",
       {{"shop_code", "shop.code", "char(6)", 9, 270, ""},
        {"shop_name", "shop.name", "char(30)", 283, 1211, ""},
        {"dept_name", "dept.name", "char(20)", 2647, 640, ""}},
       {{"编码", 9, 270}, {"名称", 283, 1211}}},
      {"dl_part",
       "\"PART\"",
       "\"PART\".\"SPNM\"",
       "ORDER BY \"PART\".\"SPNM\" ASC",
       {{"spnm", "part.spnm", "char(6)", 9, 251, ""},
        {"name", "part.name", "char(40)", 265, 727, ""},
        {"bzgg", "part.bzgg", "char(20)", -1, 0, ""},
        {"s_unit", "part.s_unit", "char(4)", 997, 160, ""},
        {"price", "part.price", "decimal(2)", 1161, 334, "0.00"}},
       {{"编码", 9, 251}, {"名称", 265, 727}, {"单位", 997, 160}, {"当前售价", 1161, 334}}},
      {"dl_contract",
       "\"CONTRACT\" LEFT OUTER JOIN \"DEPT\" ON \"CONTRACT\".\"D_CODE\" = \"DEPT\".\"CODE\" LEFT "
       "OUTER JOIN "
       "\"VENDOR\" ON \"CONTRACT\".\"V_CODE\" = \"VENDOR\".\"CODE\"",
       "\"CONTRACT\".\"NO\"",
       "ORDER BY \"CONTRACT\".\"NO\" ASC",
       {{"contract_no", "contract.no", "char(10)", 9, 402, ""},
        {"vendor_name", "vendor.name", "char(40)", 421, 896, ""},
        {"dept_name", "dept.name", "char(20)", 1326, 375, ""},
        {"contract_flag_jxdx", "contract.flag_jxdx", "char(1)", 1710, 165, ""}},
       {{"合同号", 9, 402},
        {"供应商名称", 421, 896},
        {"所属部门", 1326, 375},
        {"方式", 1710, 165}}},
      {"dl_nation",
       "\"NATION\"",
       "\"NATION\".\"CODE\"",
       "ORDER BY \"NATION\".\"CODE\" ASC",
       {{"code", "nation.code", "char(3)", 9, 306, ""},
        {"name", "nation.name", "char(30)", 320, 677, ""}},
       {{"编码", 9, 306}, {"名称", 320, 677}}},
      {"dl_class",
       "\"CLASS\"",
       "\"CLASS\".\"CODE\"",
       "",
       {{"code", "class.code", "char(4)", 9, 270, ""},
        {"name", "class.name", "char(20)", 283, 1211, ""}},
       {{"编码", 9, 270}, {"名称", 283, 1211}}},
      {"dl_brand",
       "\"BRAND\"",
       "\"BRAND\".\"CODE\"",
       "",
       {{"code", "brand.code", "char(4)", 9, 270, ""},
        {"name", "brand.name", "char(40)", 283, 1134, ""}},
       {{"编码", 9, 270}, {"名称", 283, 1134}}},
      {"dl_sales_promotion",
       "\"SALES_PROMOTION\"",
       "\"SALES_PROMOTION\".\"CODE\"",
       "",
       {{"code", "sales_promotion.code", "char(2)", 9, 270, ""},
        {"name", "sales_promotion.name", "char(20)", 283, 1134, ""}},
       {{"编码", 9, 270}, {"名称", 283, 1134}}},
      {"dl_adm_div",
       "\"ADM_DIV\"",
       "ADM_DIV.CODE",
       "",
       {{"code", "ADM_DIV.CODE", "char(8)", 9, 475, ""},
        {"name", "ADM_DIV.NAME", "char(30)", 494, 965, ""}},
       {{"Code", 9, 475}, {"Name", 494, 965}}},
      {"dl_dist_code",
       "\"DISTRICT\"",
       "DISTRICT.CODE",
       "",
       {{"code", "DISTRICT.CODE", "char(8)", 9, 439, ""},
        {"name", "DISTRICT.NAME", "char(30)", 457, 942, ""}},
       {{"代码", 9, 439}, {"名称", 457, 942}}},
      {"dl_duty_code",
       "\"DUTY\"",
       "DUTY.CODE",
       "",
       {{"code", "DUTY.CODE", "char(4)", 9, 439, ""},
        {"name", "DUTY.NAME", "char(30)", 457, 809, ""}},
       {{"代码", 9, 439}, {"名称", 457, 809}}},
  };
  return rows;
}

std::string type_text(const ColumnDef& c) {
  return (c.type == ColumnDef::Type::Char ? "char(" : "decimal(") + std::to_string(c.size) + ")";
}

// "SELECT a, b FROM t WHERE k LIKE :code ORDER BY ..." with the select list
// read back from the column sources.
std::string select_list(const std::vector<Col>& cols) {
  std::string out;
  for (const Col& c : cols) {
    std::string src = runtime::upper(c.source);
    auto dot = src.find('.');
    if (!out.empty()) out += ", ";
    out += "\"" + src.substr(0, dot) + "\".\"" + src.substr(dot + 1) + "\"";
  }
  return out;
}

class ListTable : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ListTable, DefinitionMatchesTheListTable) {
  load_lists();
  const ListRow& want = table()[GetParam()];
  const auto* def = runtime::ObjectLibrary::find(want.name);
  ASSERT_NE(def, nullptr) << want.name;
  EXPECT_EQ(def->name, want.name);
  EXPECT_EQ(def->argument, "code");
  EXPECT_EQ(def->argument_type, "string");

  ASSERT_EQ(def->columns.size(), want.cols.size()) << want.name;
  for (std::size_t i = 0; i < want.cols.size(); ++i) {
    const Col& w = want.cols[i];
    const ColumnDef& got = def->columns[i];
    SCOPED_TRACE(std::string(want.name) + " column " + w.name);
    EXPECT_EQ(got.name, w.name);
    EXPECT_EQ(got.source, w.source);
    EXPECT_EQ(type_text(got), w.type);
    EXPECT_EQ(got.visible, w.x >= 0);
    if (w.x >= 0) {
      EXPECT_EQ(got.x, w.x);
      EXPECT_EQ(got.width, w.width);
    }
    EXPECT_EQ(got.format, w.format);
  }
  ASSERT_EQ(def->headers.size(), want.heads.size()) << want.name;
  for (std::size_t i = 0; i < want.heads.size(); ++i) {
    EXPECT_EQ(def->headers[i].text, want.heads[i].text) << want.name;
    EXPECT_EQ(def->headers[i].x, want.heads[i].x) << want.name << " " << want.heads[i].text;
    EXPECT_EQ(def->headers[i].width, want.heads[i].width) << want.name << " " << want.heads[i].text;
  }

  // The statement, compared without letter case and with the optional
  // parentheses of the graphically built lists taken out.
  std::string sql = runtime::upper(def->select);
  for (const char* p : {"( ", " )"}) {
    for (auto at = sql.find(p); at != std::string::npos; at = sql.find(p)) sql.erase(at, 2);
  }
  std::string expect = "SELECT " + select_list(want.cols) + " FROM " + want.from + " WHERE " +
                       want.key + " LIKE :CODE" +
                       (*want.order ? std::string(" ") + want.order : std::string());
  EXPECT_EQ(sql, expect);
}

INSTANTIATE_TEST_SUITE_P(Thirteen, ListTable, ::testing::Range<std::size_t>(0, 13),
                         [](const auto& info) { return std::string(table()[info.param].name); });

TEST(ListTableCoverage, EveryEmbeddedListIsPinned) {
  EXPECT_EQ(table().size(), kEmbeddedListCount);
}

}  // namespace
}  // namespace picklist
