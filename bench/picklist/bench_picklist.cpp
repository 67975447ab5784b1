// The pick-list windows over 100,000 parts and 1,000,000 vendors, each figure
// set against the database's own shell running the same final statement on
// the same data in the same run: the sqlite3 shell on the SQLite file, psql
// on a throwaway PostgreSQL cluster. The shell gets the pattern as a literal,
// its output is checked for the expected row count, and its figure is its run
// with the statement less its run without it, so process start-up is not
// counted against it. Every figure is the median of kRepetitions runs.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "picklist/picklist.h"

namespace {

const std::string kDb = PICKLIST_BENCH_DB;
const std::string kPgState = PICKLIST_BENCH_PG_STATE;
constexpr int kParts = 100000;
constexpr int kVendors = 1000000;
constexpr int kPrefixRepeats = 200;  // prefix queries per measured iteration
constexpr int kPrefixRows = 100;     // vendors whose code starts with "1234"
constexpr int kRepetitions = 10;

struct Target {
  std::string name;  // "sqlite" or "postgresql"
  std::string db;    // what connect takes
  std::string part_statement, vendor_statement;
};

long count_rows(sqlite3* db, const char* table) {
  sqlite3_stmt* stmt = nullptr;
  long n = -1;
  std::string sql = std::string("SELECT count(*) FROM ") + table;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
      sqlite3_step(stmt) == SQLITE_ROW)
    n = sqlite3_column_int64(stmt, 0);
  sqlite3_finalize(stmt);
  return n;
}

// Generated once into the bench build folder and reused while it holds the
// expected rows.
void ensure_sqlite_database() {
  sqlite3* db = nullptr;
  if (std::filesystem::exists(kDb) &&
      sqlite3_open_v2(kDb.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    bool ok = count_rows(db, "part") == kParts && count_rows(db, "vendor") == kVendors;
    sqlite3_close(db);
    if (ok) return;
  } else if (db) {
    sqlite3_close(db);
  }
  std::cout << "generating " << kDb << " ..." << std::endl;
  std::string tmp = kDb + ".tmp";
  std::filesystem::remove(tmp);
  if (sqlite3_open(tmp.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + tmp);
  const std::string sql =
      "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN;"
      "CREATE TABLE part (spnm CHAR(6) PRIMARY KEY, name CHAR(40), bzgg CHAR(20), s_unit CHAR(4), "
      "price DECIMAL(12,2));"
      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < " +
      std::to_string(kParts) +
      ") INSERT INTO part SELECT printf('%06d', i), '商品' || i, '规格' || (i % 50), '个', (i % "
      "1000) + 0.5 FROM n;"
      "CREATE TABLE vendor (code CHAR(6) PRIMARY KEY, name CHAR(40));"
      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < " +
      std::to_string(kVendors) +
      ") INSERT INTO vendor SELECT printf('%06d', i), '供应商' || i FROM n;"
      "COMMIT;";
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "?";
    sqlite3_free(err);
    sqlite3_close(db);
    throw std::runtime_error(msg);
  }
  sqlite3_close(db);
  std::filesystem::rename(tmp, kDb);
}

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string read_file(const std::string& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string s = ss.str();
  while (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

// The same tables on PostgreSQL, with pattern indexes on the keys. Empty
// when the server binaries are absent.
std::string start_postgresql() {
  std::string cmd = quote(PICKLIST_PG_CLUSTER) + " start " + quote(kPgState) + " >/dev/null";
  if (std::system(cmd.c_str()) != 0)
    throw std::runtime_error("the PostgreSQL cluster did not start");
  if (std::filesystem::exists(kPgState + "/skipped")) {
    std::cout << read_file(kPgState + "/skipped") << '\n';
    return "";
  }
  std::string conninfo = read_file(kPgState + "/conninfo");
  std::cout << "loading the PostgreSQL tables ..." << std::endl;
  std::string script = kPgState + "/load.sql";
  std::ofstream(script)
      << "CREATE TABLE part (spnm VARCHAR(6) PRIMARY KEY, name VARCHAR(40), bzgg VARCHAR(20), "
         "s_unit VARCHAR(4), "
         "price DECIMAL(12,2));\n"
         "INSERT INTO part SELECT lpad(i::text, 6, '0'), '商品' || i, '规格' || (i % 50), '个', (i "
         "% 1000) + 0.5 "
         "FROM generate_series(0, "
      << kParts - 1
      << ") i;\n"
         "CREATE TABLE vendor (code VARCHAR(6) PRIMARY KEY, name VARCHAR(40));\n"
         "INSERT INTO vendor SELECT lpad(i::text, 6, '0'), '供应商' || i FROM generate_series(0, "
      << kVendors - 1
      << ") i;\n"
         "CREATE INDEX part_key_pattern ON part (spnm varchar_pattern_ops);\n"
         "CREATE INDEX vendor_key_pattern ON vendor (code varchar_pattern_ops);\n"
         "VACUUM ANALYZE part; VACUUM ANALYZE vendor;\n";
  std::string load =
      "psql -X -q -v ON_ERROR_STOP=1 " + quote(conninfo) + " -f " + quote(script) + " >/dev/null";
  if (std::system(load.c_str()) != 0)
    throw std::runtime_error("loading the PostgreSQL tables failed");
  return conninfo;
}

void stop_postgresql() {
  std::string cmd = quote(PICKLIST_PG_CLUSTER) + " stop " + quote(kPgState);
  (void)!std::system(cmd.c_str());
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  std::size_t n = v.size();
  return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The window's statement as the shell runs it: the pattern as a literal in
// place of the argument, so the shell plans it for that pattern as the
// library's per-retrieve binding does.
// PostgreSQL gets it as the library sends it there, quoted names folded to
// lower case.
std::string literal_statement(const std::string& statement, const std::string& pattern,
                              bool postgresql) {
  std::string out = statement;
  if (postgresql) {
    bool quoted = false;
    for (char& c : out) {
      if (c == '"') quoted = !quoted;
      if (quoted && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
  }
  auto at = out.find(":CODE");
  if (at == std::string::npos) throw std::runtime_error("no :CODE in " + statement);
  out.replace(at, 5, "'" + pattern + "'");
  return out;
}

// Seconds for the shell to run a script, and the lines it printed.
double shell_seconds(const Target& t, const std::string& script, long* lines) {
  std::string path = kDb + ".script", out = kDb + ".out";
  std::ofstream(path) << script;
  std::string cmd = t.name == "sqlite" ? "sqlite3 -batch " + quote(t.db) + " < " + quote(path)
                                       : "psql -X -q -A -t " + quote(t.db) + " -f " + quote(path);
  cmd += " > " + quote(out);
  auto t0 = std::chrono::steady_clock::now();
  int rc = std::system(cmd.c_str());
  auto t1 = std::chrono::steady_clock::now();
  if (rc != 0) throw std::runtime_error("the shell failed: " + cmd);
  std::ifstream in(out);
  *lines = 0;
  for (std::string l; std::getline(in, l);) ++*lines;
  return std::chrono::duration<double>(t1 - t0).count();
}

// Median milliseconds per run of the statement in the shell.
double shell_ms(const Target& t, const std::string& statement, const std::string& pattern,
                int repeats, long rows) {
  // sqlite3 compares LIKE without letter case unless told; the library's
  // connection tells it too.
  std::string base =
      t.name == "sqlite" ? "PRAGMA case_sensitive_like = ON;\n" : "SET client_encoding = 'UTF8';\n";
  std::string full = base;
  for (int i = 0; i < repeats; ++i)
    full += literal_statement(statement, pattern, t.name != "sqlite") + ";\n";
  std::vector<double> runs;
  for (int r = 0; r < kRepetitions; ++r) {
    long with_lines = 0, without_lines = 0;
    double with = shell_seconds(t, full, &with_lines);
    double without = shell_seconds(t, base, &without_lines);
    if (with_lines - without_lines != rows * repeats)
      throw std::runtime_error(t.name + " shell printed " +
                               std::to_string(with_lines - without_lines) + " lines, expected " +
                               std::to_string(rows * repeats));
    runs.push_back(std::max(with - without, 1e-9) * 1000 / repeats);
  }
  return median(runs);
}

class NullGrid : public picklist::CallerGrid {
 public:
  int setitem(long, int, const std::optional<std::string>&) override { return 1; }
  int triggerevent(int) override { return 1; }
};

std::unique_ptr<picklist::PickWindow> open_list(const char* name, NullGrid& grid,
                                                picklist::trans_parm& parm) {
  parm = {&grid, name, 1, 1, std::nullopt};
  return picklist::open(picklist::WindowKind::f_list, &parm);
}

void BM_OpenPartList(benchmark::State& state) {
  NullGrid grid;
  picklist::trans_parm parm;
  for (auto _ : state) {
    auto w = open_list("dl_part", grid, parm);
    if (w->rowcount() != kParts) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(w);
  }
}

void BM_RetrieveAllParts(benchmark::State& state) {
  NullGrid grid;
  picklist::trans_parm parm;
  auto w = open_list("dl_part", grid, parm);
  w->set_query_text("%");
  for (auto _ : state) {
    w->click_query();
    if (w->rowcount() != kParts) state.SkipWithError("wrong row count");
  }
}

void BM_VendorPrefixQuery(benchmark::State& state) {
  NullGrid grid;
  picklist::trans_parm parm;
  auto w = open_list("dl_vendor", grid, parm);
  w->set_query_text("1234%");
  for (auto _ : state) {
    for (int i = 0; i < kPrefixRepeats; ++i) w->click_query();
    if (w->rowcount() != kPrefixRows) state.SkipWithError("wrong row count");
  }
}

// Keeps the median of each benchmark's repetitions, in milliseconds.
class Capture : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> ms;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
        ms[r.run_name.function_name] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

void run_target(Target& t) {
  std::string error;
  if (!picklist::connect(t.db, &error))
    throw std::runtime_error("cannot open " + t.db + ": " + error);
  NullGrid grid;
  picklist::trans_parm parm;
  t.part_statement = open_list("dl_part", grid, parm)->select_statement();
  auto vendor = open_list("dl_vendor", grid, parm);
  t.vendor_statement = vendor->select_statement();
  auto plan = vendor->query_plan("1234%");
  vendor.reset();

  std::cout << "\n== " << t.name << '\n';
  benchmark::ClearRegisteredBenchmarks();
  for (auto [name, fn] : {std::pair{"BM_OpenPartList", &BM_OpenPartList},
                          std::pair{"BM_RetrieveAllParts", &BM_RetrieveAllParts}})
    benchmark::RegisterBenchmark(name, fn)
        ->Iterations(3)
        ->Repetitions(kRepetitions)
        ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_VendorPrefixQuery", BM_VendorPrefixQuery)
      ->Iterations(2)
      ->Repetitions(kRepetitions)
      ->Unit(benchmark::kMillisecond);
  Capture capture;
  benchmark::RunSpecifiedBenchmarks(&capture);
  picklist::disconnect();

  double shell_all = shell_ms(t, t.part_statement, "%", 1, kParts);
  double shell_prefix = shell_ms(t, t.vendor_statement, "1234%", kPrefixRepeats, kPrefixRows);
  auto& ms = capture.ms;
  const char* shell = t.name == "sqlite" ? "sqlite3" : "psql";
  std::printf("statement (dl_part):   %s\n", t.part_statement.c_str());
  std::printf("statement (dl_vendor): %s\n", t.vendor_statement.c_str());
  std::printf("query plan of dl_vendor with \"1234%%\":\n");
  for (const auto& step : plan) std::printf("  %s\n", step.c_str());
  std::printf("\n%-42s %10s %10s %7s   (medians of %d)\n", "", "ours ms",
              (std::string(shell) + " ms").c_str(), "ratio", kRepetitions);
  auto line = [](const char* what, double ours, double theirs) {
    std::printf("%-42s %10.3f %10.3f %7.2f\n", what, ours, theirs,
                theirs > 0 ? ours / theirs : 0.0);
  };
  line("open step, every row of dl_part (100k)", ms["BM_OpenPartList"], shell_all);
  line("retrieve every row of dl_part (100k)", ms["BM_RetrieveAllParts"], shell_all);
  line("dl_vendor \"1234%\" of 1M (per query)", ms["BM_VendorPrefixQuery"] / kPrefixRepeats,
       shell_prefix);
}

}  // namespace

int main(int argc, char** argv) {
  picklist::set_diagnostic_output([](const std::string& line) { std::cerr << line << '\n'; });
  benchmark::Initialize(&argc, argv);
  try {
    ensure_sqlite_database();
    Target sqlite{"sqlite", kDb, "", ""};
    run_target(sqlite);
    std::string pg = start_postgresql();
    if (!pg.empty()) {
      Target postgresql{"postgresql", pg, "", ""};
      run_target(postgresql);
      stop_postgresql();
    }
  } catch (const std::exception& e) {
    std::cerr << "bench_picklist: " << e.what() << '\n';
    stop_postgresql();
    return 1;
  }
  std::printf("target: ratio at most 1.30\n");
  benchmark::Shutdown();
  return 0;
}
