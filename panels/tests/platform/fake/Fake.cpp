// A module for the loader tests, built as "Fake.dll".
namespace {
int g_loads = 0;
struct Counter {
  Counter() { ++g_loads; }
} g_counter;
}  // namespace

extern "C" __attribute__((visibility("default"))) int FakeAdd(int a, int b) { return a + b; }
extern "C" __attribute__((visibility("default"))) int FakeLoadCount() { return g_loads; }
