#pragma once
// Shared by the pick-list tests: a sample database in a temporary folder, a
// caller grid that records what the window does to it, and a capture of the
// runtime's diagnostic lines.

#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
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

// --- PostgreSQL -------------------------------------------------------------

// The sample tables for PostgreSQL: the same rows, names in lower case (the
// lists' quoted names are folded to it) and VARCHAR, which keeps no padding.
inline std::string sample_sql_for_postgresql() {
  std::string out;
  std::istringstream in(kSampleSql);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("PRAGMA", 0) == 0) continue;
    bool quoted = false, literal = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      char& c = line[i];
      if (c == '\'' && !quoted) literal = !literal;
      if (c == '"' && !literal) quoted = !quoted;
      if (quoted && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (!literal && !quoted && line.compare(i, 5, "CHAR(") == 0) {
        line.insert(i, "VAR");
        i += 3;
      }
    }
    out += line + "\n";
  }
  return out;
}

inline std::string slurp_file(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string s = ss.str();
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

// The cluster the tests run against: the one CTest started for the run
// (PICKLIST_PG_STATE names its state folder), else one started for this
// process and stopped at its exit. Nullopt with the reason when the server
// binaries are absent; a cluster that should start but does not throws.
inline std::optional<std::string> postgresql_cluster(std::string* skip_reason) {
  static std::string conninfo, skipped, failed;
  static bool tried = false;
  if (!tried) {
    tried = true;
    std::filesystem::path state;
    if (const char* env = std::getenv("PICKLIST_PG_STATE"); env && *env) {
      state = env;
    } else {
      static TempDir own;
      state = own.path() / "pg";
      std::string cmd =
          std::string("'") + PICKLIST_PG_CLUSTER + "' start '" + state.string() + "' >/dev/null";
      if (std::system(cmd.c_str()) != 0) failed = "the PostgreSQL cluster did not start";
      static std::string stop_cmd =
          std::string("'") + PICKLIST_PG_CLUSTER + "' stop '" + state.string() + "'";
      std::atexit([] { (void)!std::system(stop_cmd.c_str()); });
    }
    if (std::filesystem::exists(state / "conninfo")) conninfo = slurp_file(state / "conninfo");
    else if (std::filesystem::exists(state / "skipped")) skipped = slurp_file(state / "skipped");
    else if (failed.empty()) failed = "no PostgreSQL cluster in " + state.string();
  }
  if (!failed.empty()) throw std::runtime_error(failed);
  if (!skipped.empty()) {
    *skip_reason = skipped;
    return std::nullopt;
  }
  return conninfo;
}

inline void pg_exec(PGconn* conn, const std::string& sql) {
  PGresult* r = PQexec(conn, sql.c_str());
  bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
  std::string msg = PQresultErrorMessage(r);
  PQclear(r);
  if (!ok) throw std::runtime_error("postgresql: " + msg);
}

// A schema of its own in the shared cluster, holding the sample tables, for
// the life of the object. conninfo() reaches it as the default search path.
class PgSample {
 public:
  explicit PgSample(const std::string& cluster) : cluster_(cluster) {
    static int counter = 0;
    schema_ = "t" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    with_admin([&](PGconn* c) {
      pg_exec(c, "SET client_min_messages = warning; DROP SCHEMA IF EXISTS " + schema_ +
                     " CASCADE; CREATE SCHEMA " + schema_ + "; SET search_path = " + schema_ + ";" +
                     sample_sql_for_postgresql());
    });
  }
  ~PgSample() {
    try {
      with_admin([&](PGconn* c) {
        pg_exec(c,
                "SET client_min_messages = warning; DROP SCHEMA IF EXISTS " + schema_ + " CASCADE");
      });
    } catch (...) {}
  }
  std::string conninfo() const { return cluster_ + " options='-c search_path=" + schema_ + "'"; }
  void exec(const std::string& sql) const {
    with_admin([&](PGconn* c) { pg_exec(c, "SET search_path = " + schema_ + ";" + sql); });
  }

 private:
  template <class F>
  void with_admin(F&& f) const {
    PGconn* c = PQconnectdb(cluster_.c_str());
    if (PQstatus(c) != CONNECTION_OK) {
      std::string msg = PQerrorMessage(c);
      PQfinish(c);
      throw std::runtime_error("postgresql: " + msg);
    }
    try {
      f(c);
    } catch (...) {
      PQfinish(c);
      throw;
    }
    PQfinish(c);
  }

  std::string cluster_;
  std::string schema_;
};

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
