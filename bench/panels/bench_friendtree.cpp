// Friend tree at 1,000 and 10,000 friends in 100 groups: a full load with
// every group opened, then one status change (1365) per friend, with the
// only-online filter off and on, each with the method log written at its
// normal level and with logging off. Half the friends of every group are
// online, so that under the filter each change finds its place among hidden
// siblings. Each figure is the median of 20 repetitions. With logging off,
// ten times the friends must cost at most twelve times as much in every
// phase.
//
// The friend data here is a lean data object whose walks and counts cost
// constant time, as a host's would, so that the figures are the panel's own.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "friendtree/ftree_ctrl.h"
#include "host/basekit/commfunc.h"
#include "host/basekit/log.h"
#include "hostsim/host_data.h"
#include "hostsim/host_requests.h"
#include "platform/message.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "platform/timer.h"

namespace {

constexpr int kGroups = 100;
const std::u16string kAccount = u"ftbench";

// ---- a friend data object with constant-time walks -------------------------------

class BenchData : public CQWData {
 public:
  BenchData() { m_nodes.emplace_back(); }  // position 0 is "none"

  QWPOS Add(QWPOS parent, CHostRecord rec) {
    const QWPOS pos = m_nodes.size();
    m_nodes.emplace_back();
    Node& n = m_nodes[pos];
    n.rec = std::move(rec);
    n.parent = parent;
    QWPOS& first = parent ? m_nodes[parent].first : m_first;
    QWPOS& last = parent ? m_nodes[parent].last : m_last;
    n.prev = last;
    if (last) m_nodes[last].next = pos;
    else first = pos;
    last = pos;
    if (parent) {
      ++m_nodes[parent].members;
      if (m_nodes[pos].rec.status != QWSTATUS_OFFLINE) ++m_nodes[parent].online;
    } else {
      ++m_top;
    }
    return pos;
  }

  void SetStatus(QWPOS pos, int status) {
    Node& n = m_nodes[pos];
    const bool was = n.rec.status != QWSTATUS_OFFLINE, now = status != QWSTATUS_OFFLINE;
    n.rec.status = status;
    if (n.parent && was != now) m_nodes[n.parent].online += now ? 1 : -1;
  }
  int Status(QWPOS pos) const { return m_nodes[pos].rec.status; }

  const char16_t* GetDataName() const override { return u"MurFriendData"; }
  void Lock() override {}
  void Unlock() override {}
  QWPOS GetFirstPosition() const override { return m_first; }
  QWPOS GetNextPosition(QWPOS pos) const override { return Valid(pos) ? m_nodes[pos].next : 0; }
  QWPOS GetPrevPosition(QWPOS pos) const override { return Valid(pos) ? m_nodes[pos].prev : 0; }
  QWPOS GetParentPosition(QWPOS pos) const override { return Valid(pos) ? m_nodes[pos].parent : 0; }
  QWPOS GetFirstChildPosition(QWPOS pos) const override {
    return Valid(pos) ? m_nodes[pos].first : 0;
  }
  int GetTopCount() const override { return m_top; }
  QWPOS GetHeadPosition() const override { return m_first; }
  std::unique_ptr<CQWDataItem> GetNextItem(QWPOS& pos) const override {
    auto item = GetItem(pos);
    pos = GetNextPosition(pos);
    return item;
  }
  std::unique_ptr<CQWDataItem> GetItem(QWPOS pos) const override {
    if (!Valid(pos)) return nullptr;
    const Node& n = m_nodes[pos];
    return std::make_unique<CHostDataItem>(n.rec, n.members, n.online);
  }
  bool SetItem(QWPOS, const CQWDataItem&) override { return false; }
  std::unique_ptr<CQWDataID> CreateID(const std::u16string& id) const override {
    return std::make_unique<CHostDataID>(id, QWKIND_OWN);
  }
  QWPOS FindPosition(const CQWDataID&) const override { return 0; }
  QWPOS FindPosition(const CQWDataSearch&) const override { return 0; }
  std::unique_ptr<CQWDataItem> NewItem() const override {
    return std::make_unique<CHostDataItem>();
  }
  std::unique_ptr<CQWDataItem> NewGroupItem(const std::u16string&) const override {
    return std::make_unique<CHostDataItem>();
  }
  QWPOS InsertItem(QWPOS, QWPOS, const CQWDataItem&) override { return 0; }
  void Reset() override {}
  int GetRole(const std::u16string&, const std::u16string&) const override { return 0; }
  bool CanBroadcast() const override { return false; }
  QWPOS GetCurrentPosition() const override { return 0; }
  bool GetSwitch() const override { return false; }
  void SetSwitch(bool) override {}

 private:
  struct Node {
    QWPOS parent = 0, first = 0, last = 0, prev = 0, next = 0;
    int members = 0, online = 0;
    CHostRecord rec;
  };
  bool Valid(QWPOS pos) const { return pos && pos < m_nodes.size(); }
  std::vector<Node> m_nodes;
  QWPOS m_first = 0, m_last = 0;
  int m_top = 0;
};

class BenchDataManager : public CQWDataManager {
 public:
  explicit BenchDataManager(CQWData* data) : m_data(data) {}
  CQWData* GetData(const char16_t* key) override {
    return key && std::u16string(key) == u"MurFriendData" ? m_data : nullptr;
  }

 private:
  CQWData* m_data;
};

// ---- one panel over one network ---------------------------------------------------

struct Network {
  BenchData data;
  std::vector<QWPOS> friends;

  explicit Network(int count) {
    std::vector<QWPOS> groups;
    for (int g = 0; g < kGroups; ++g) {
      CHostRecord rec;
      rec.isGroup = true;
      rec.name = rec.id =
          g == 0 ? std::u16string(u"聊天好友") : u"分组" + FromUtf8(std::to_string(g));
      groups.push_back(data.Add(0, rec));
    }
    for (int i = 0; i < count; ++i) {
      CHostRecord rec;
      rec.id = u"user" + FromUtf8(std::to_string(i)) + u"@zq.com";
      rec.name = u"好友" + FromUtf8(std::to_string(i));
      // Every other friend online, so both filters have work.
      rec.status = i % 2 ? QWSTATUS_OFFLINE : QWSTATUS_ONLINE;
      rec.hasDetail = true;
      rec.detail.email = i % 3 == 0 ? u"mail@x.cn" : u"";
      rec.detail.video = i % 5 == 0;
      friends.push_back(data.Add(groups[static_cast<std::size_t>(i % kGroups)], rec));
    }
  }
};

struct Panel {
  CWnd host;
  std::unique_ptr<CQWFriendTreeCtrl> tree;
  BenchDataManager manager;
  CHostRequests requests;
  std::vector<BYTE> owner;

  explicit Panel(BenchData& data) : manager(&data) {
    host.CreateEx(0, nullptr, u"bench", WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 320, 720}, nullptr,
                  0);
    tree = std::make_unique<CQWFriendTreeCtrl>();
    tree->Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 320, 700}, &host, 100);
    tree->Init();
    tree->SetDataManager(&manager);
    tree->SetDataProcessMgr(&requests);
    owner.assign(QW_OWNINFO_SIZE, 0);
    HostPutText(owner, qwownfield::kUserId, kAccount + u"@zq.com", 64);
    tree->OnNotify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  }
  ~Panel() {
    tree.reset();
    host.DestroyWindow();
    PumpMessages();
  }

  // The host says the data is ready; the load runs on the timer; every
  // group is opened as a click would.
  void LoadAndOpenAll() {
    tree->OnNotify(1405, 0, 0);
    AdvanceClock(CQWFriendTreeCtrl::kLoadDelayMs);
    for (HTREEITEM g = tree->GetRootItem(); g; g = tree->GetNextSiblingItem(g)) {
      if (!tree->GetChildItem(g)) tree->OpenGroup(g, false);
      else tree->Expand(g, TVE_EXPAND);
    }
  }

  void ChangeEveryStatus(Network& net) {
    for (QWPOS pos : net.friends) {
      net.data.SetStatus(
          pos, net.data.Status(pos) == QWSTATUS_OFFLINE ? QWSTATUS_ONLINE : QWSTATUS_OFFLINE);
      tree->OnNotify(1365, pos, 0);
    }
  }
};

void SetOnlyOnline(bool on) {
  const std::filesystem::path dir =
      std::filesystem::path(ToUtf8(CCommFunction::GetModuleDirectory())) / ToUtf8(kAccount);
  std::filesystem::create_directories(dir);
  const std::u16string file = FromUtf8((dir / "mycfg.ini").string());
  WritePrivateProfileStringW(u"GGPCW", u"VIEWFRIENDALL", on ? u"0" : u"1", file.c_str());
}

// Logging at its normal level writes every method's name; off writes nothing.
void SetLogging(bool on) { CGlobalLog::SetLogLevel(on ? 0 : INT_MAX); }

void BM_FullLoad(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  SetOnlyOnline(state.range(1) != 0);
  SetLogging(state.range(2) != 0);
  Network net(count);
  for (auto _ : state) {
    state.PauseTiming();
    auto panel = std::make_unique<Panel>(net.data);
    state.ResumeTiming();
    panel->LoadAndOpenAll();
    state.PauseTiming();
    benchmark::DoNotOptimize(panel->tree->GetPosMapSize());
    panel.reset();
    state.ResumeTiming();
  }
  state.counters["per_friend"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void BM_StatusChange(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  SetOnlyOnline(state.range(1) != 0);
  SetLogging(state.range(2) != 0);
  Network net(count);
  Panel panel(net.data);
  panel.LoadAndOpenAll();
  for (auto _ : state) {
    // Every friend flips: half go offline, half come back, in data order.
    panel.ChangeEveryStatus(net);
  }
  state.counters["per_friend"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int logging : {1, 0}) {
    for (int filter : {0, 1}) {
      for (int count : {1000, 10000}) b->Args({count, filter, logging});
    }
  }
  b->ArgNames({"friends", "onlyonline", "logging"})->Unit(benchmark::kMillisecond);
  b->Repetitions(20)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_FullLoad)->Apply(Sizes)->Iterations(1);
// An even count: every friend ends where it started.
BENCHMARK(BM_StatusChange)->Apply(Sizes)->Iterations(2);

// Keeps each benchmark's median per-friend figure for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.aggregate_name != "median") continue;
      auto it = run.counters.find("per_friend");
      if (it == run.counters.end()) continue;
      std::string key = run.benchmark_name();
      key = key.substr(0, key.find("/iterations:"));
      perFriend[key] = it->second.value;
    }
  }
  std::map<std::string, double> perFriend;  // seconds per friend
};

// Heap bytes in use per friend once the whole tree is built and open.
double HeapPerFriend(int count) {
  Network net(count);
  Panel panel(net.data);
  const std::size_t before = mallinfo2().uordblks;
  panel.LoadAndOpenAll();
  const std::size_t after = mallinfo2().uordblks;
  return static_cast<double>(after - before) / count;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf(
      "\nfriend tree: median cost per friend and the ratio of 10,000 to 1,000 friends\n"
      "(target with logging off: ratio <= 12)\n");
  bool ok = true;
  for (int logging : {1, 0}) {
    std::printf(" logging %s:\n", logging ? "at its normal level" : "off");
    for (const char* phase : {"BM_FullLoad", "BM_StatusChange"}) {
      for (int filter : {0, 1}) {
        auto name = [&](int n) {
          return std::string(phase) + "/friends:" + std::to_string(n) +
                 "/onlyonline:" + std::to_string(filter) + "/logging:" + std::to_string(logging);
        };
        const double small = reporter.perFriend[name(1000)],
                     large = reporter.perFriend[name(10000)];
        if (small <= 0) continue;
        const double ratio = large * 10000 / (small * 1000);
        if (!logging) ok = ok && ratio <= 12;
        std::printf(
            "  %-16s onlyonline=%d  1,000: %7.2f us/friend  10,000: %7.2f us/friend  ratio %5.2f "
            "%s\n",
            phase, filter, small * 1e6, large * 1e6, ratio,
            logging       ? ""
            : ratio <= 12 ? "ok"
                          : "OVER");
      }
    }
  }
  SetLogging(false);
  for (int count : {1000, 10000})
    std::printf("  heap after full load: %d friends: %.0f bytes/friend\n", count,
                HeapPerFriend(count));
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf(
      "  peak resident set of the run: %ld KiB (%.0f bytes per friend of the largest network)\n",
      usage.ru_maxrss, usage.ru_maxrss * 1024.0 / 10000);
  std::printf("%s\n", ok ? "every phase within the target" : "a phase is over the target");
  return 0;
}
