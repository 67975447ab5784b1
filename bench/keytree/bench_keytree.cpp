// Key tree against Boost.PropertyTree, side by side on the same keys and
// values in one run. Every operation runs the same way for both libraries
// (what is built is freed outside the timing, every result is kept alive),
// repeated KEYTREE_BENCH_REPS times (default 10); the table at the end gives
// the median key tree time / median property tree time (at or below 0.8 is
// the target), then memory per key and binary file speed.
#include <benchmark/benchmark.h>

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "keytree/keytree.h"

using boost::property_tree::ptree;

namespace {

// One data set: dotted paths and their string values. The paths are in key
// order, the order in which a tree read from a file is built (and so laid
// out in memory); the "build shuffled" row inserts them in a random order.
struct Shape {
  std::string name;
  std::vector<std::string> paths;
  std::vector<std::string> values;
  std::vector<std::string> shuffledPaths, shuffledValues;
};

Shape MakeDeep(size_t n) {
  size_t fan = 1;
  while (fan * fan * fan * fan < n) ++fan;
  Shape s;
  s.name = "deep" + std::to_string(n / 1000) + "k";
  char buf[64];
  for (size_t i = 0; i < n; ++i) {
    size_t a = i / (fan * fan * fan), b = i / (fan * fan) % fan, c = i / fan % fan, d = i % fan;
    std::snprintf(buf, sizeof buf, "sect%zu.group%zu.item%zu.key%zu", a, b, c, d);
    s.paths.push_back(buf);
    s.values.push_back("value" + std::to_string(i));
  }
  return s;
}

Shape MakeFlat(size_t n) {
  Shape s;
  s.name = "flat" + std::to_string(n / 1000) + "k";
  for (size_t i = 0; i < n; ++i) {
    s.paths.push_back("setting" + std::to_string(i));
    s.values.push_back("value" + std::to_string(i));
  }
  return s;
}

void Order(Shape& s) {
  std::vector<size_t> order(s.paths.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return s.paths[a] < s.paths[b]; });
  std::vector<std::string> paths, values;
  for (size_t i : order) {
    paths.push_back(s.paths[i]);
    values.push_back(s.values[i]);
  }
  s.paths = std::move(paths);
  s.values = std::move(values);
  std::mt19937 rng(20240611);
  std::shuffle(order.begin(), order.end(), rng);
  for (size_t i : order) {
    s.shuffledPaths.push_back(s.paths[i]);
    s.shuffledValues.push_back(s.values[i]);
  }
}

std::vector<Shape>& Shapes() {
  static std::vector<Shape> shapes = [] {
    std::vector<Shape> v{MakeDeep(1000), MakeDeep(100000), MakeFlat(10000)};
    for (auto& s : v) Order(s);
    return v;
  }();
  return shapes;
}

CKeyTree* BuildKeyTree(const std::vector<std::string>& paths,
                       const std::vector<std::string>& values) {
  auto* t = new CKeyTree;
  for (size_t i = 0; i < paths.size(); ++i) t->AddKey(paths[i].c_str(), values[i].c_str());
  return t;
}

ptree* BuildPtree(const std::vector<std::string>& paths, const std::vector<std::string>& values) {
  auto* p = new ptree;
  for (size_t i = 0; i < paths.size(); ++i) p->put(paths[i], values[i]);
  return p;
}

CKeyTree* BuildKeyTree(const Shape& s) { return BuildKeyTree(s.paths, s.values); }
ptree* BuildPtree(const Shape& s) { return BuildPtree(s.paths, s.values); }

// Trees built once per shape for the operations that read them.
struct Built {
  std::unique_ptr<CKeyTree> kt;
  std::unique_ptr<ptree> pt;
  std::string ktText, ptText;
};

Built& BuiltFor(const Shape& s) {
  static std::map<std::string, Built> built;
  Built& b = built[s.name];
  if (!b.kt) {
    b.kt.reset(BuildKeyTree(s));
    b.pt.reset(BuildPtree(s));
    b.ktText = b.kt->ToString().GetString();
    std::ostringstream os;
    boost::property_tree::write_info(os, *b.pt);
    b.ptText = os.str();
  }
  return b;
}

size_t VisitKeyTree(CKeyTreeIterator it) {
  size_t n = 0;
  for (; it.isValid(); it++) {
    n += std::strlen(it.keyText());
    if (!it.isLeaf()) n += VisitKeyTree(it.nextLevel());
  }
  return n;
}

size_t VisitPtree(const ptree& p) {
  size_t n = 0;
  for (const auto& kv : p) {
    n += kv.first.size();
    n += VisitPtree(kv.second);
  }
  return n;
}

// The operations, each as a pair: key tree first, property tree second.
struct Op {
  const char* name;
  std::function<void(benchmark::State&, const Shape&)> kt, pt;
};

std::vector<Op> Ops() {
  return {
      {"build",
       [](benchmark::State& st, const Shape& s) {
         for (auto _ : st) {
           CKeyTree* t = BuildKeyTree(s);
           st.PauseTiming();
           delete t;
           st.ResumeTiming();
         }
       },
       [](benchmark::State& st, const Shape& s) {
         for (auto _ : st) {
           ptree* p = BuildPtree(s);
           st.PauseTiming();
           delete p;
           st.ResumeTiming();
         }
       }},
      {"build shuffled",
       [](benchmark::State& st, const Shape& s) {
         for (auto _ : st) {
           CKeyTree* t = BuildKeyTree(s.shuffledPaths, s.shuffledValues);
           st.PauseTiming();
           delete t;
           st.ResumeTiming();
         }
       },
       [](benchmark::State& st, const Shape& s) {
         for (auto _ : st) {
           ptree* p = BuildPtree(s.shuffledPaths, s.shuffledValues);
           st.PauseTiming();
           delete p;
           st.ResumeTiming();
         }
       }},
      {"look up",
       [](benchmark::State& st, const Shape& s) {
         const CKeyTree& t = *BuiltFor(s).kt;
         for (auto _ : st) {
           size_t n = 0;
           for (const auto& path : s.paths) n += std::strlen(StrOf(t.GetAt(path.c_str()), ""));
           benchmark::DoNotOptimize(n);
         }
       },
       [](benchmark::State& st, const Shape& s) {
         const ptree& p = *BuiltFor(s).pt;
         for (auto _ : st) {
           size_t n = 0;
           for (const auto& path : s.paths) n += p.get_child(path).data().size();
           benchmark::DoNotOptimize(n);
         }
       }},
      {"iterate",
       [](benchmark::State& st, const Shape& s) {
         CKeyTree& t = *BuiltFor(s).kt;
         for (auto _ : st) benchmark::DoNotOptimize(VisitKeyTree(CKeyTreeIterator(&t)));
       },
       [](benchmark::State& st, const Shape& s) {
         const ptree& p = *BuiltFor(s).pt;
         for (auto _ : st) benchmark::DoNotOptimize(VisitPtree(p));
       }},
      {"write text",
       [](benchmark::State& st, const Shape& s) {
         const CKeyTree& t = *BuiltFor(s).kt;
         for (auto _ : st) benchmark::DoNotOptimize(t.ToString().GetLength());
       },
       [](benchmark::State& st, const Shape& s) {
         const ptree& p = *BuiltFor(s).pt;
         for (auto _ : st) {
           std::ostringstream os;
           boost::property_tree::write_info(os, p);
           benchmark::DoNotOptimize(os.str().size());
         }
       }},
      {"parse text",
       [](benchmark::State& st, const Shape& s) {
         const std::string& text = BuiltFor(s).ktText;
         for (auto _ : st) {
           CItem* t = CKeyTree::CreateFromString(text.c_str(), static_cast<int>(text.size()));
           st.PauseTiming();
           if (!t) st.SkipWithError("parse failed");
           delete t;
           st.ResumeTiming();
         }
       },
       [](benchmark::State& st, const Shape& s) {
         const std::string& text = BuiltFor(s).ptText;
         for (auto _ : st) {
           std::istringstream is(text);
           auto* p = new ptree;
           boost::property_tree::read_info(is, *p);
           st.PauseTiming();
           delete p;
           st.ResumeTiming();
         }
       }},
      {"deep copy",
       [](benchmark::State& st, const Shape& s) {
         const CKeyTree& t = *BuiltFor(s).kt;
         for (auto _ : st) {
           auto* c = new CKeyTree(t);
           st.PauseTiming();
           delete c;
           st.ResumeTiming();
         }
       },
       [](benchmark::State& st, const Shape& s) {
         const ptree& p = *BuiltFor(s).pt;
         for (auto _ : st) {
           auto* c = new ptree(p);
           st.PauseTiming();
           delete c;
           st.ResumeTiming();
         }
       }},
      {"compare",
       [](benchmark::State& st, const Shape& s) {
         const CKeyTree& t = *BuiltFor(s).kt;
         static std::map<std::string, std::unique_ptr<CKeyTree>> copies;
         auto& c = copies[s.name];
         if (!c) c.reset(new CKeyTree(t));
         for (auto _ : st) benchmark::DoNotOptimize(t.IsEqual(*c));
       },
       [](benchmark::State& st, const Shape& s) {
         const ptree& p = *BuiltFor(s).pt;
         static std::map<std::string, std::unique_ptr<ptree>> copies;
         auto& c = copies[s.name];
         if (!c) c.reset(new ptree(p));
         for (auto _ : st) benchmark::DoNotOptimize(p == *c);
       }},
  };
}

// Keeps each run's time per iteration so that the pairs can be divided.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    // The median of the repetitions; a single run stands for itself.
    for (const Run& r : runs)
      if (!r.error_occurred && ((r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") ||
                                (r.run_type == Run::RT_Iteration && r.repetitions <= 1)))
        times[r.run_name.function_name] = r.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

size_t HeapInUse() {
  malloc_trim(0);
  return mallinfo2().uordblks;
}

template <class T>
double BytesPerKey(const Shape& s, T* (*build)(const Shape&)) {
  size_t before = HeapInUse();
  T* t = build(s);
  size_t after = HeapInUse();
  delete t;
  return double(after - before) / double(s.paths.size());
}

double Seconds(const std::function<void()>& fn, int repeat) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repeat; ++i) fn();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / repeat;
}

void ReportFiles(const Shape& s) {
  std::string dir = "/tmp/bench_keytree_" + std::to_string(getpid());
  std::string treeFile = dir + ".kt", plainFile = dir + ".plain";
  std::unique_ptr<CKeyTree> t(BuildKeyTree(s));
  t->BinSave(treeFile.c_str(), 1);
  std::ifstream in(treeFile, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  double mb = double(bytes.size()) / 1e6;

  double save = Seconds([&] { t->BinSave(treeFile.c_str(), 1); }, 5);
  // Loads into trees made beforehand and freed afterwards, so that only the
  // load is timed.
  std::vector<CKeyTree> targets(5);
  size_t next = 0;
  double load = Seconds([&] { targets[next++].BinLoad(treeFile.c_str()); }, 5);
  // The plain copy writes and reads the same bytes the same way (a new file
  // made durable and renamed into place, then read back whole).
  double plainSave = Seconds(
      [&] {
        CFile f;
        f.Open(plainFile.c_str(), CFile::modeCreate | CFile::modeWrite);
        f.Write(bytes.data(), static_cast<unsigned>(bytes.size()));
        f.Close();
      },
      5);
  double plainLoad = Seconds(
      [&] {
        CFile f;
        f.Open(plainFile.c_str(), CFile::modeRead);
        std::string back(bytes.size(), '\0');
        f.Read(back.data(), static_cast<unsigned>(back.size()));
      },
      5);
  std::remove(treeFile.c_str());
  std::remove(plainFile.c_str());

  std::printf("\nBinary file of the %s tree (%zu bytes)\n", s.name.c_str(), bytes.size());
  std::printf("  %-10s %12s %12s %8s\n", "", "key tree", "plain copy", "ratio");
  std::printf("  %-10s %9.1f MB/s %7.1f MB/s %8.2f\n", "save", mb / save, mb / plainSave,
              save / plainSave);
  std::printf("  %-10s %9.1f MB/s %7.1f MB/s %8.2f\n", "load", mb / load, mb / plainLoad,
              load / plainLoad);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::vector<Op> ops = Ops();
  const char* repsText = std::getenv("KEYTREE_BENCH_REPS");
  int reps = repsText ? std::max(1, std::atoi(repsText)) : 10;
  for (const Op& op : ops)
    for (const Shape& s : Shapes()) {
      std::string base = std::string(op.name) + "/" + s.name;
      // The two sides of a row run one after the other, alike.
      for (const char* side : {"keytree/", "ptree/"})
        benchmark::RegisterBenchmark((side + base).c_str(), side[0] == 'k' ? op.kt : op.pt,
                                     std::cref(s))
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.05)
            ->Repetitions(reps)
            ->ReportAggregatesOnly(true);
    }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf(
      "\nKey tree / property tree (median CPU time ratio of %d runs, at or below 0.8 is the "
      "target)\n",
      reps);
  std::printf("  %-15s", "");
  for (const Shape& s : Shapes()) std::printf(" %10s", s.name.c_str());
  std::printf("\n");
  for (const Op& op : ops) {
    std::printf("  %-15s", op.name);
    for (const Shape& s : Shapes()) {
      std::string base = std::string(op.name) + "/" + s.name;
      auto kt = reporter.times.find("keytree/" + base), pt = reporter.times.find("ptree/" + base);
      if (kt == reporter.times.end() || pt == reporter.times.end() || pt->second <= 0)
        std::printf(" %10s", "-");
      else std::printf(" %10.2f", kt->second / pt->second);
    }
    std::printf("\n");
  }

  std::printf("\nMemory per key (heap bytes in use / keys)\n");
  std::printf("  %-12s %10s %10s %8s\n", "", "key tree", "ptree", "ratio");
  for (const Shape& s : Shapes()) {
    double kt = BytesPerKey<CKeyTree>(s, BuildKeyTree);
    double pt = BytesPerKey<ptree>(s, BuildPtree);
    std::printf("  %-12s %10.1f %10.1f %8.2f\n", s.name.c_str(), kt, pt, kt / pt);
  }

  ReportFiles(Shapes()[1]);
  benchmark::Shutdown();
  return 0;
}
