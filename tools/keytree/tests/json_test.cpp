// The JSON form of key trees: every tree of the fuzz corpora comes back
// equal, and JSON outside the model is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "json.h"

namespace fs = std::filesystem;
using keytree_json::JsonError;
using keytree_json::ToJson;
using keytree_json::TreeFromJson;

namespace {

void ExpectRoundTrip(const CKeyTree& tree, const std::string& what) {
  std::string json = ToJson(&tree);
  std::unique_ptr<CKeyTree> back = TreeFromJson(json);
  EXPECT_TRUE(back->IsEqual(tree)) << what << "\n" << json;
}

TEST(KeyTreeJson, EveryCorpusTreeRoundTrips) {
  int trees = 0;
  for (const auto& dir : fs::directory_iterator(KEYTREE_CORPUS)) {
    for (const auto& file : fs::directory_iterator(dir.path())) {
      std::ifstream in(file.path(), std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), {});
      std::unique_ptr<CItem> item(
          CKeyTree::CreateFromString(bytes.c_str(), static_cast<int>(bytes.size())));
      if (!item) {
        const auto* record = reinterpret_cast<const unsigned char*>(bytes.data());
        item.reset(CItem::CreateFromBuf(record, bytes.size()));
      }
      if (!item || item->GetRuntimeClass() != RUNTIME_CLASS(CKeyTree)) continue;
      ExpectRoundTrip(static_cast<const CKeyTree&>(*item), file.path().string());
      ++trees;
    }
  }
  EXPECT_GE(trees, 4);
}

TEST(KeyTreeJson, EveryKindOfValue) {
  CKeyTree t;
  t.AddKey("int", -7);
  t.AddKey("real", 2.0);
  t.AddKey("tiny", 1e-300);
  t.AddKey("text", "数据库 \"q\"");
  t.AddKey("gbk", "\xc4\xe3\xba\xc3");  // not UTF-8
  t.AddKey("guid", GUID{0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 0xff}});
  t.AddKey("user", new CLuser("\x00\xab", 2));
  t.AddKey("none", nullptr);
  t.AddKey("empty.sub", nullptr);
  t.DeleteKey("empty.sub");
  t.AddKey("tree.a.b", 1);
  std::unique_ptr<CItem> list(CItem::CreateFromString("(1, \"x\", (), (.(.\"k\", 2)), 0.5)", -1));
  t.AddKey("list", list.release());
  t.AddKey("inf", new CLreal(HUGE_VAL));
  ExpectRoundTrip(t, "all kinds");

  std::string json = ToJson(&t);
  EXPECT_NE(json.find("\"int\": -7"), std::string::npos) << json;
  EXPECT_NE(json.find("\"real\": 2.0"), std::string::npos) << json;
  EXPECT_NE(json.find("\"$guid\": \"{01020304-0506-0708-090A-0B0C0D0E0FFF}\""), std::string::npos)
      << json;
  EXPECT_NE(json.find("\"$hex\": \"00ab\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"$bytes\": \"c4e3bac3\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"$novalue\": true"), std::string::npos) << json;

  // Levels JSON objects cannot hold exactly fall back to "$tree".
  std::unique_ptr<CItem> odd(
      CKeyTree::CreateFromString("(.(.\"b\", 1), (.\"a\", 2), 5, (.\"$hex\"))", -1));
  ExpectRoundTrip(static_cast<CKeyTree&>(*odd), "odd levels");
  CKeyTree lone;
  lone.AddKey("$hex", "x");
  ExpectRoundTrip(lone, "a lone key that reads as a form");
}

TEST(KeyTreeJson, ObjectsInAnyOrderMakeSortedLevels) {
  std::unique_ptr<CKeyTree> t = TreeFromJson(R"({"b": 1, "a": {"y": 2.5, "x": "s"}})");
  EXPECT_EQ(t->ToString(),
            CString("(.(.\"a\", (.(.\"x\", \"s\"), (.\"y\", 2.500000000000000))), (.\"b\", 1))"));
  EXPECT_EQ(RealOf(t->GetAt("a.y"), 0), 2.5);
}

TEST(KeyTreeJson, JsonOutsideTheModelIsRefused) {
  for (const char* bad :
       {"[1, 2]", "{\"a\": [1]}", "{\"a\": null}", "{\"a\": true}", "{\"a\": 1, \"a\": 2}",
        "{\"a\": {\"b\": 1, \"b\": 1}}", "{\"a\": 4294967296}", "{\"a\": {\"$hex\": \"abc\"}}",
        "{\"a\": {\"$guid\": \"nope\"}}", "{\"a\": {\"$list\": [{\"$novalue\": true}]}}",
        "{\"$guid\": \"{01020304-0506-0708-090A-0B0C0D0E0FFF}\"}", "{\"a\": ", "\"text\""})
    EXPECT_THROW(TreeFromJson(bad), JsonError) << bad;
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "{\"k\": ";
  deep += "1";
  for (int i = 0; i < 5000; ++i) deep += "}";
  EXPECT_THROW(TreeFromJson(deep), JsonError);
}

}  // namespace
