// The pick-list windows over 100,000 parts and 1,000,000 vendors, each figure
// set against the sqlite3 shell running the same final statement on the same
// file in the same run. The shell's figure is its run with the statement less
// its run without it, so process start-up is not counted against it.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>

#include "picklist/picklist.h"
#include "src/list_window.h"

namespace {

const std::string kDb = PICKLIST_BENCH_DB;
constexpr int kParts = 100000;
constexpr int kVendors = 1000000;
constexpr int kPrefixRepeats = 200;  // prefix queries per measured iteration

std::string g_part_statement;
std::string g_vendor_statement;

long count_rows(sqlite3* db, const char* table) {
  sqlite3_stmt* stmt = nullptr;
  long n = -1;
  std::string sql = std::string("SELECT count(*) FROM ") + table;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
    n = sqlite3_column_int64(stmt, 0);
  sqlite3_finalize(stmt);
  return n;
}

// Generated once into the bench build folder and reused while it holds the
// expected rows.
void ensure_database() {
  sqlite3* db = nullptr;
  if (std::filesystem::exists(kDb) && sqlite3_open_v2(kDb.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
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
      ") INSERT INTO part SELECT printf('%06d', i), '商品' || i, '规格' || (i % 50), '个', (i % 1000) + 0.5 FROM n;"
      "CREATE TABLE vendor (code CHAR(6) PRIMARY KEY, name CHAR(40));"
      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < " +
      std::to_string(kVendors) + ") INSERT INTO vendor SELECT printf('%06d', i), '供应商' || i FROM n;"
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

class NullGrid : public picklist::CallerGrid {
 public:
  int setitem(long, int, const std::optional<std::string>&) override { return 1; }
  int triggerevent(int) override { return 1; }
};

std::unique_ptr<picklist::PickWindow> open_list(const char* name, NullGrid& grid, picklist::trans_parm& parm) {
  parm = {&grid, name, 1, 1, std::nullopt};
  return picklist::open(picklist::WindowKind::f_list, &parm);
}

// Seconds the shell takes for a script read from a file, output discarded.
double shell_seconds(const std::string& script) {
  std::string path = kDb + ".script";
  std::ofstream(path) << script;
  std::string cmd = "sqlite3 -batch '" + kDb + "' < '" + path + "' > /dev/null";
  auto t0 = std::chrono::steady_clock::now();
  int rc = std::system(cmd.c_str());
  auto t1 = std::chrono::steady_clock::now();
  if (rc != 0) throw std::runtime_error("sqlite3 shell failed");
  return std::chrono::duration<double>(t1 - t0).count();
}

std::string shell_prologue(const std::string& pattern) {
  return "PRAGMA case_sensitive_like = ON;\n.param set :CODE '" + pattern + "'\n";
}

// The shell's time for `repeats` runs of the statement, per run.
void shell_statement(benchmark::State& state, const std::string& statement, const std::string& pattern,
                     int repeats) {
  std::string base = shell_prologue(pattern);
  std::string full = base;
  for (int i = 0; i < repeats; ++i) full += statement + ";\n";
  for (auto _ : state) {
    double with = shell_seconds(full);
    double without = shell_seconds(base);
    state.SetIterationTime(std::max(with - without, 1e-9) / repeats);
  }
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

void BM_ShellAllParts(benchmark::State& state) { shell_statement(state, g_part_statement, "%", 1); }

void BM_VendorPrefixQuery(benchmark::State& state) {
  NullGrid grid;
  picklist::trans_parm parm;
  auto w = open_list("dl_vendor", grid, parm);
  w->set_query_text("1234%");
  for (auto _ : state) {
    for (int i = 0; i < kPrefixRepeats; ++i) w->click_query();
    if (w->rowcount() != 100) state.SkipWithError("wrong row count");
  }
  state.SetIterationTime(0);  // unused: real time is what is compared
}

void BM_ShellVendorPrefix(benchmark::State& state) {
  shell_statement(state, g_vendor_statement, "1234%", kPrefixRepeats);
}

// Keeps each run's time per iteration, in milliseconds.
class Capture : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> ms;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) ms[r.run_name.function_name] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  ensure_database();
  std::string error;
  if (!picklist::connect(kDb, &error)) {
    std::cerr << "cannot open " << kDb << ": " << error << '\n';
    return 1;
  }
  picklist::set_diagnostic_output([](const std::string& line) { std::cerr << line << '\n'; });
  NullGrid grid;
  picklist::trans_parm parm;
  auto part = open_list("dl_part", grid, parm);
  g_part_statement = part->select_statement();
  auto vendor = open_list("dl_vendor", grid, parm);
  g_vendor_statement = vendor->select_statement();
  auto plan = vendor->query_plan("1234%");
  vendor.reset();
  part.reset();

  benchmark::RegisterBenchmark("BM_OpenPartList", BM_OpenPartList)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_RetrieveAllParts", BM_RetrieveAllParts)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_ShellAllParts", BM_ShellAllParts)
      ->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_VendorPrefixQuery", BM_VendorPrefixQuery)
      ->Iterations(20)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_ShellVendorPrefix", BM_ShellVendorPrefix)
      ->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);

  benchmark::Initialize(&argc, argv);
  Capture capture;
  benchmark::RunSpecifiedBenchmarks(&capture);
  benchmark::Shutdown();

  auto& ms = capture.ms;
  double prefix_ours = ms["BM_VendorPrefixQuery"] / kPrefixRepeats;
  std::printf("\nstatement (dl_part):   %s\n", g_part_statement.c_str());
  std::printf("statement (dl_vendor): %s\n", g_vendor_statement.c_str());
  std::printf("query plan of dl_vendor with \"1234%%\":\n");
  for (const auto& step : plan) std::printf("  %s\n", step.c_str());
  std::printf("\n%-42s %10s %10s %7s\n", "", "ours ms", "shell ms", "ratio");
  auto line = [](const char* what, double ours, double shell) {
    std::printf("%-42s %10.3f %10.3f %7.2f\n", what, ours, shell, shell > 0 ? ours / shell : 0.0);
  };
  line("open step, every row of dl_part (100k)", ms["BM_OpenPartList"], ms["BM_ShellAllParts"]);
  line("retrieve every row of dl_part (100k)", ms["BM_RetrieveAllParts"], ms["BM_ShellAllParts"]);
  line("dl_vendor \"1234%\" of 1M (per query)", prefix_ours, ms["BM_ShellVendorPrefix"]);
  std::printf("target: ratio at most 1.30\n");
  picklist::disconnect();
  return 0;
}
