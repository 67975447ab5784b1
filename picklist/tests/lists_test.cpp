// The thirteen lists: their definitions as embedded, and what each returns
// from a real database.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fixture.h"
#include "runtime/datagrid.h"
#include "runtime/text.h"
#include "runtime/transaction.h"
#include "src/embedded_lists.h"

namespace picklist {
namespace {

using runtime::ColumnDef;
using runtime::DataGrid;
using runtime::ObjectLibrary;
using ::testing::ElementsAre;

const char* const kAllLists[] = {"dl_dept",     "dl_vendor",          "dl_emp",     "dl_shop",
                                 "dl_part",     "dl_contract",        "dl_nation",  "dl_class",
                                 "dl_brand",    "dl_sales_promotion", "dl_adm_div", "dl_dist_code",
                                 "dl_duty_code"};

TEST(ListDefinitions, AllThirteenParseWithOneStringArgument) {
  EXPECT_EQ(kEmbeddedListCount, 13u);
  for (std::size_t i = 0; i < kEmbeddedListCount; ++i) {
    std::string error;
    EXPECT_TRUE(runtime::parse_dataobject(kEmbeddedLists[i].text, &error))
        << kEmbeddedLists[i].file << error;
  }
  load_lists();
  for (const char* name : kAllLists) {
    const auto* def = ObjectLibrary::find(name);
    ASSERT_NE(def, nullptr) << name;
    EXPECT_EQ(def->argument, "code") << name;
    EXPECT_EQ(def->argument_type, "string") << name;
    // Every statement has a WHERE clause comparing the key with the argument.
    std::string upper = runtime::upper(def->select);
    EXPECT_NE(upper.find(" WHERE "), std::string::npos) << name;
    EXPECT_NE(upper.find(" LIKE :CODE"), std::string::npos) << name;
  }
  EXPECT_EQ(list_names().size(), 13u);
}

TEST(ListDefinitions, LookupIgnoresCaseAndBlanks) {
  load_lists();
  EXPECT_EQ(ObjectLibrary::find("DL_DEPT"), ObjectLibrary::find(" dl_dept "));
  EXPECT_EQ(ObjectLibrary::find("dl_dep"), nullptr);
}

TEST(ListDefinitions, SqlTextListsReportTheirOwnSpelling) {
  load_lists();
  EXPECT_EQ(ObjectLibrary::find("dl_emp")->select,
            "SELECT \"EMP\".\"CODE\", \"EMP\".\"NAME\" FROM \"EMP\" WHERE \"EMP\".\"CODE\" LIKE "
            ":code ORDER BY "
            "\"EMP\".\"CODE\" ASC");
  EXPECT_EQ(ObjectLibrary::find("dl_adm_div")->select,
            "SELECT \"ADM_DIV\".\"CODE\", \"ADM_DIV\".\"NAME\" FROM \"ADM_DIV\" WHERE ADM_DIV.CODE "
            "LIKE :code");
  EXPECT_NE(ObjectLibrary::find("dl_dist_code")->select.find(" where district.code like :code"),
            std::string::npos);
  EXPECT_NE(ObjectLibrary::find("dl_duty_code")->select.find(" where duty.code like :code"),
            std::string::npos);
}

TEST(ListDefinitions, HiddenAndOffscreenColumns) {
  load_lists();
  const auto* part = ObjectLibrary::find("dl_part");
  ASSERT_EQ(part->columns.size(), 5u);
  EXPECT_EQ(part->columns[2].name, "bzgg");
  EXPECT_FALSE(part->columns[2].visible);
  EXPECT_EQ(part->columns[4].type, ColumnDef::Type::Decimal);
  EXPECT_EQ(part->columns[4].format, "0.00");
  EXPECT_EQ(part->headers.size(), 4u);
  EXPECT_EQ(part->headers[3].text, "当前售价");

  const auto* shop = ObjectLibrary::find("dl_shop");
  ASSERT_EQ(shop->columns.size(), 3u);
  EXPECT_TRUE(shop->columns[2].visible);
  EXPECT_EQ(shop->columns[2].x, 2647);
  EXPECT_EQ(shop->columns[2].width, 640);
  EXPECT_GT(shop->columns[2].x, 1600);  // beyond the grid's width
  EXPECT_EQ(shop->headers.size(), 2u);  // and without a caption

  const auto* contract = ObjectLibrary::find("dl_contract");
  std::vector<std::string> captions;
  for (const auto& h : contract->headers) captions.push_back(h.text);
  EXPECT_THAT(captions, ElementsAre("合同号", "供应商名称", "所属部门", "方式"));
  // Every detail cell sits under its caption.
  for (const char* name : kAllLists) {
    const auto* def = ObjectLibrary::find(name);
    std::size_t h = 0;
    for (const auto& col : def->columns) {
      if (!col.visible || h >= def->headers.size()) continue;
      EXPECT_EQ(col.x, def->headers[h].x) << name << " " << col.name;
      EXPECT_EQ(col.width, def->headers[h].width) << name << " " << col.name;
      ++h;
    }
    EXPECT_EQ(h, def->headers.size()) << name;
  }
}

TEST(ListDefinitions, ParserNamesTheBadLine) {
  std::string error;
  EXPECT_FALSE(runtime::parse_dataobject(
      "name: x\nselect: SELECT 1\ncolumn: a | t.a | text(3) | 1 | 2\n", &error));
  EXPECT_EQ(error, "line 3: bad column 'a | t.a | text(3) | 1 | 2'");
  EXPECT_FALSE(runtime::parse_dataobject("name: x\ncolumn: a | t.a | char(3) | 1 | 2\n", &error));
  EXPECT_EQ(error, "line 3: no select");
  EXPECT_FALSE(runtime::parse_dataobject("name: x\nbogus\n", &error));
  EXPECT_EQ(error, "line 2: expected 'key: value'");
}

class ListRetrieval : public ::testing::Test {
 protected:
  void SetUp() override {
    load_lists();
    ASSERT_TRUE(runtime::sqlca.connect(testing::make_sample_db(dir)));
  }
  void TearDown() override { runtime::sqlca.disconnect(); }

  // Every row of a list retrieved with a pattern, cells joined with "|".
  std::vector<std::string> rows(const char* list, const std::string& pattern) {
    DataGrid grid("dw_1", nullptr);
    grid.set_dataobject(list);
    grid.settransobject(runtime::sqlca);
    std::vector<std::string> out;
    if (grid.retrieve(pattern) < 0) {
      out.push_back("error: " + grid.sqlerrtext());
      return out;
    }
    for (long r = 1; r <= grid.rowcount(); ++r) {
      std::string line;
      for (int c = 1; c <= grid.columncount(); ++c) {
        if (c > 1) line += '|';
        line += grid.getitemstring(r, c).value_or("");
      }
      out.push_back(line);
    }
    return out;
  }

  testing::TempDir dir;
};

TEST_F(ListRetrieval, PercentReturnsEveryRowOfEveryList) {
  const std::pair<const char*, std::size_t> counts[] = {
      {"dl_dept", 6},     {"dl_vendor", 4},          {"dl_emp", 3},     {"dl_shop", 3},
      {"dl_part", 3},     {"dl_contract", 3},        {"dl_nation", 2},  {"dl_class", 2},
      {"dl_brand", 2},    {"dl_sales_promotion", 2}, {"dl_adm_div", 2}, {"dl_dist_code", 3},
      {"dl_duty_code", 2}};
  for (auto [list, n] : counts) EXPECT_EQ(rows(list, "%").size(), n) << list;
}

TEST_F(ListRetrieval, OuterJoinsKeepRowsWithoutPartner) {
  EXPECT_THAT(rows("dl_shop", "%"),
              ElementsAre("0001|一号店|总经办", "0002|二号店|财务部", "9999|无部门店|"));
  EXPECT_THAT(rows("dl_contract", "%"),
              ElementsAre("HT0001|北京华联|总经办|J", "HT0002||财务部|D", "HT0003|上海百货||J"));
}

TEST_F(ListRetrieval, PartReturnsTheHiddenSpecAndPricesWithTwoPlaces) {
  EXPECT_THAT(rows("dl_part", "%"),
              ElementsAre("100001|矿泉水|550ml|瓶|1.50", "100002|方便面|五连包|袋|12.00",
                          "200001|毛巾||条|"));
}

TEST_F(ListRetrieval, HugeAndNonNumericPricesShowInFull) {
  testing::exec_sql((dir.path() / "sample.db").string(),
                    "INSERT INTO part VALUES "
                    "('300001','巨价',NULL,'个',1e300),('300002','待定',NULL,'个','面议'),"
                    "('300003','负价',NULL,'个',-0.125)");
  auto got = rows("dl_part", "3%");
  ASSERT_EQ(got.size(), 3u);
  std::string huge = got[0].substr(got[0].rfind('|') + 1);
  EXPECT_EQ(huge.size(), 304u) << huge;  // 301 digits, the point and two places
  EXPECT_EQ(huge.substr(0, 10), "1000000000");
  EXPECT_EQ(huge.find_first_not_of("0123456789"), 301u);
  EXPECT_EQ(huge.substr(301), ".00");
  EXPECT_EQ(got[1], "300002|待定||个|面议");  // as stored, not "0.00"
  EXPECT_EQ(got[2], "300003|负价||个|-0.12");
}

TEST_F(ListRetrieval, PatternWithoutWildcardsFindsOnlyTheEqualKey) {
  EXPECT_THAT(rows("dl_vendor", "000001"), ElementsAre("000001|北京华联"));
  EXPECT_THAT(rows("dl_dept", "A001"), ElementsAre("A001|审计部"));
  EXPECT_THAT(rows("dl_nation", "chn"), ElementsAre());
  EXPECT_THAT(rows("dl_vendor", "00000"), ElementsAre());
}

TEST_F(ListRetrieval, OrderedListsComeSortedByKey) {
  EXPECT_THAT(rows("dl_emp", "E%"), ElementsAre("E00001|张三", "E00002|李四", "E00010|王五"));
}

}  // namespace
}  // namespace picklist
