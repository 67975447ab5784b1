#pragma once
// Shared by the pick-list tests: a sample database in a temporary folder, a
// caller grid that records what the window does to it, and a capture of the
// runtime's diagnostic lines.

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "picklist/picklist.h"
#include "runtime/object.h"

namespace picklist::testing {

// Every table the lists read. Codes are chosen so that patterns differ:
// "0001" is also a prefix of "00010", and "a001"/"A001" differ in case only.
inline const char* kSampleSql = R"sql(
PRAGMA journal_mode = MEMORY;
PRAGMA synchronous = OFF;
CREATE TABLE dept (code CHAR(4) PRIMARY KEY, name CHAR(20));
INSERT INTO dept VALUES ('0100','销售部'),('0001','总经办'),('0002','财务部'),('0010','采购部'),('A001','审计部'),('a001','小写部');
CREATE TABLE vendor (code CHAR(6) PRIMARY KEY, name CHAR(40));
INSERT INTO vendor VALUES ('000001','北京华联'),('000002','上海百货'),('000010','广州批发'),('100001','深圳电子');
CREATE TABLE "EMP" ("CODE" CHAR(6) PRIMARY KEY, "NAME" CHAR(10));
INSERT INTO "EMP" VALUES ('E00002','李四'),('E00001','张三'),('E00010','王五');
CREATE TABLE shop (code CHAR(6) PRIMARY KEY, name CHAR(30));
INSERT INTO shop VALUES ('0001','一号店'),('0002','二号店'),('9999','无部门店');
CREATE TABLE part (spnm CHAR(6) PRIMARY KEY, name CHAR(40), bzgg CHAR(20), s_unit CHAR(4), price DECIMAL(12,2));
INSERT INTO part VALUES ('100001','矿泉水','550ml','瓶',1.5),('100002','方便面','五连包','袋',12),('200001','毛巾',NULL,'条',NULL);
CREATE TABLE contract (no CHAR(10) PRIMARY KEY, v_code CHAR(6), d_code CHAR(4), flag_jxdx CHAR(1));
INSERT INTO contract VALUES ('HT0001','000001','0001','J'),('HT0002','999999','0002','D'),('HT0003','000002','9999','J');
CREATE TABLE nation (code CHAR(3) PRIMARY KEY, name CHAR(30));
INSERT INTO nation VALUES ('CHN','中国'),('JPN','日本');
CREATE TABLE class (code CHAR(4) PRIMARY KEY, name CHAR(20));
INSERT INTO class VALUES ('0101','饮料'),('0102','食品');
CREATE TABLE brand (code CHAR(4) PRIMARY KEY, name CHAR(40));
INSERT INTO brand VALUES ('B001','农夫山泉'),('B002','康师傅');
CREATE TABLE sales_promotion (code CHAR(2) PRIMARY KEY, name CHAR(20));
INSERT INTO sales_promotion VALUES ('01','买一送一'),('02','八折');
CREATE TABLE "ADM_DIV" ("CODE" CHAR(8) PRIMARY KEY, "NAME" CHAR(30));
INSERT INTO "ADM_DIV" VALUES ('110000','北京市'),('310000','上海市');
CREATE TABLE "DISTRICT" ("CODE" CHAR(8) PRIMARY KEY, "NAME" CHAR(30));
INSERT INTO "DISTRICT" VALUES ('110101','东城区'),('110102','西城区'),('310101','黄浦区');
CREATE TABLE "DUTY" ("CODE" CHAR(4) PRIMARY KEY, "NAME" CHAR(30));
INSERT INTO "DUTY" VALUES ('D001','教师'),('D002','医生');
)sql";

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "picklist-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp");
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void exec_sql(const std::string& db_path, const std::string& sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open(db_path.c_str(), &db) != SQLITE_OK) throw std::runtime_error("open " + db_path);
  char* err = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  std::string msg = err ? err : "";
  sqlite3_free(err);
  sqlite3_close(db);
  if (rc != SQLITE_OK) throw std::runtime_error("sql: " + msg);
}

inline std::string make_sample_db(const TempDir& dir) {
  std::string path = (dir.path() / "sample.db").string();
  exec_sql(path, kSampleSql);
  return path;
}

// A caller's grid that records every call in the tool's notation.
class RecordingGrid : public CallerGrid {
 public:
  std::vector<std::string> calls;
  std::function<void(int)> on_trigger;  // lets a test act from inside the caller
  bool throw_on_setitem = false;

  int setitem(long row, int column, const std::optional<std::string>& text) override {
    if (throw_on_setitem) throw std::runtime_error("grid refused");
    calls.push_back("setitem(" + std::to_string(row) + ", " + std::to_string(column) + ", " +
                    (text ? "\"" + *text + "\"" : std::string("null")) + ")");
    return 1;
  }
  int triggerevent(int code) override {
    calls.push_back("triggerevent(" + std::to_string(code) + ")");
    if (on_trigger) on_trigger(code);
    return 1;
  }
};

// Captures the runtime's diagnostic lines for the life of the object.
class DiagnosticCapture {
 public:
  DiagnosticCapture() {
    runtime::set_diagnostic_output([this](const std::string& line) { lines.push_back(line); });
  }
  ~DiagnosticCapture() { runtime::set_diagnostic_output(nullptr); }
  std::vector<std::string> lines;
};

}  // namespace picklist::testing
