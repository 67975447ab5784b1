// Key tree against Boost.PropertyTree, side by side on the same keys and
// values in one run. Every operation runs once per library; the table at the
// end gives key tree time / property tree time (below 1.0: the key tree is
// faster), then binary file speed and memory per key.
#include <benchmark/benchmark.h>

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

// One data set: dotted paths and their string values, in a shuffled order so
// that neither side is built in its favourite order.
struct Shape {
    std::string name;
    std::vector<std::string> paths;
    std::vector<std::string> values;
};

Shape MakeDeep(size_t n)
{
    size_t fan = 1;
    while (fan * fan * fan * fan < n)
        ++fan;
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

Shape MakeFlat(size_t n)
{
    Shape s;
    s.name = "flat" + std::to_string(n / 1000) + "k";
    for (size_t i = 0; i < n; ++i) {
        s.paths.push_back("setting" + std::to_string(i));
        s.values.push_back("value" + std::to_string(i));
    }
    return s;
}

void Shuffle(Shape& s)
{
    std::mt19937 rng(20240611);
    std::vector<size_t> order(s.paths.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), rng);
    Shape out{s.name, {}, {}};
    for (size_t i : order) {
        out.paths.push_back(s.paths[i]);
        out.values.push_back(s.values[i]);
    }
    s = std::move(out);
}

std::vector<Shape>& Shapes()
{
    static std::vector<Shape> shapes = [] {
        std::vector<Shape> v{MakeDeep(1000), MakeDeep(100000), MakeFlat(10000)};
        for (auto& s : v)
            Shuffle(s);
        return v;
    }();
    return shapes;
}

CKeyTree* BuildKeyTree(const Shape& s)
{
    auto* t = new CKeyTree;
    for (size_t i = 0; i < s.paths.size(); ++i)
        t->AddKey(s.paths[i].c_str(), s.values[i].c_str());
    return t;
}

ptree* BuildPtree(const Shape& s)
{
    auto* p = new ptree;
    for (size_t i = 0; i < s.paths.size(); ++i)
        p->put(s.paths[i], s.values[i]);
    return p;
}

// Trees built once per shape for the operations that read them.
struct Built {
    std::unique_ptr<CKeyTree> kt;
    std::unique_ptr<ptree> pt;
    std::string ktText, ptText;
};

Built& BuiltFor(const Shape& s)
{
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

size_t VisitKeyTree(CKeyTreeIterator it)
{
    size_t n = 0;
    for (; it.isValid(); it++) {
        n += static_cast<size_t>(it.key().GetLength());
        if (!it.isLeaf())
            n += VisitKeyTree(it.nextLevel());
    }
    return n;
}

size_t VisitPtree(const ptree& p)
{
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

std::vector<Op> Ops()
{
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
        {"look up",
         [](benchmark::State& st, const Shape& s) {
             const CKeyTree& t = *BuiltFor(s).kt;
             for (auto _ : st) {
                 size_t n = 0;
                 for (const auto& path : s.paths)
                     n += std::strlen(StrOf(t.GetAt(path.c_str()), ""));
                 benchmark::DoNotOptimize(n);
             }
         },
         [](benchmark::State& st, const Shape& s) {
             const ptree& p = *BuiltFor(s).pt;
             for (auto _ : st) {
                 size_t n = 0;
                 for (const auto& path : s.paths)
                     n += p.get_child(path).data().size();
                 benchmark::DoNotOptimize(n);
             }
         }},
        {"iterate",
         [](benchmark::State& st, const Shape& s) {
             CKeyTree& t = *BuiltFor(s).kt;
             for (auto _ : st)
                 benchmark::DoNotOptimize(VisitKeyTree(CKeyTreeIterator(&t)));
         },
         [](benchmark::State& st, const Shape& s) {
             const ptree& p = *BuiltFor(s).pt;
             for (auto _ : st)
                 benchmark::DoNotOptimize(VisitPtree(p));
         }},
        {"write text",
         [](benchmark::State& st, const Shape& s) {
             const CKeyTree& t = *BuiltFor(s).kt;
             for (auto _ : st)
                 benchmark::DoNotOptimize(t.ToString().GetLength());
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
                 if (!t)
                     st.SkipWithError("parse failed");
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
             if (!c)
                 c.reset(new CKeyTree(t));
             for (auto _ : st)
                 benchmark::DoNotOptimize(t.IsEqual(*c));
         },
         [](benchmark::State& st, const Shape& s) {
             const ptree& p = *BuiltFor(s).pt;
             static std::map<std::string, std::unique_ptr<ptree>> copies;
             auto& c = copies[s.name];
             if (!c)
                 c.reset(new ptree(p));
             for (auto _ : st)
                 benchmark::DoNotOptimize(p == *c);
         }},
    };
}

// Keeps each run's time per iteration so that the pairs can be divided.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

size_t HeapInUse()
{
    malloc_trim(0);
    return mallinfo2().uordblks;
}

template <class T, class Build>
double BytesPerKey(const Shape& s, Build build)
{
    size_t before = HeapInUse();
    T* t = build(s);
    size_t after = HeapInUse();
    delete t;
    return double(after - before) / double(s.paths.size());
}

double Seconds(const std::function<void()>& fn, int repeat)
{
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeat; ++i)
        fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / repeat;
}

void ReportFiles(const Shape& s)
{
    std::string dir = "/tmp/bench_keytree_" + std::to_string(getpid());
    std::string treeFile = dir + ".kt", plainFile = dir + ".plain";
    std::unique_ptr<CKeyTree> t(BuildKeyTree(s));
    t->BinSave(treeFile.c_str(), 1);
    std::ifstream in(treeFile, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    double mb = double(bytes.size()) / 1e6;

    double save = Seconds([&] { t->BinSave(treeFile.c_str(), 1); }, 5);
    double load = Seconds([&] { CKeyTree u; u.BinLoad(treeFile.c_str()); }, 5);
    // The plain copy writes and reads the same bytes the same way (a new file
    // made durable and renamed into place, then read back whole).
    double plainSave = Seconds([&] {
        CFile f;
        f.Open(plainFile.c_str(), CFile::modeCreate | CFile::modeWrite);
        f.Write(bytes.data(), static_cast<unsigned>(bytes.size()));
        f.Close();
    }, 5);
    double plainLoad = Seconds([&] {
        CFile f;
        f.Open(plainFile.c_str(), CFile::modeRead);
        std::string back(bytes.size(), '\0');
        f.Read(back.data(), static_cast<unsigned>(back.size()));
    }, 5);
    std::remove(treeFile.c_str());
    std::remove(plainFile.c_str());

    std::printf("\nBinary file of the %s tree (%zu bytes)\n", s.name.c_str(), bytes.size());
    std::printf("  %-10s %12s %12s %8s\n", "", "key tree", "plain copy", "ratio");
    std::printf("  %-10s %9.1f MB/s %7.1f MB/s %8.2f\n", "save", mb / save, mb / plainSave, save / plainSave);
    std::printf("  %-10s %9.1f MB/s %7.1f MB/s %8.2f\n", "load", mb / load, mb / plainLoad, load / plainLoad);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::vector<Op> ops = Ops();
    for (const Op& op : ops)
        for (const Shape& s : Shapes()) {
            std::string base = std::string(op.name) + "/" + s.name;
            benchmark::RegisterBenchmark(("keytree/" + base).c_str(), op.kt, std::cref(s))
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("ptree/" + base).c_str(), op.pt, std::cref(s))
                ->Unit(benchmark::kMillisecond);
        }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nKey tree / property tree (time ratio, at or below 1.0 is the target)\n");
    std::printf("  %-12s", "");
    for (const Shape& s : Shapes())
        std::printf(" %10s", s.name.c_str());
    std::printf("\n");
    for (const Op& op : ops) {
        std::printf("  %-12s", op.name);
        for (const Shape& s : Shapes()) {
            std::string base = std::string(op.name) + "/" + s.name;
            auto kt = reporter.times.find("keytree/" + base), pt = reporter.times.find("ptree/" + base);
            if (kt == reporter.times.end() || pt == reporter.times.end() || pt->second <= 0)
                std::printf(" %10s", "-");
            else
                std::printf(" %10.2f", kt->second / pt->second);
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
