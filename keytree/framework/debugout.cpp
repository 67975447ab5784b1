#include "debugout.h"

#include <cstdio>

namespace {
DebugOutputSink g_sink = nullptr;
void* g_context = nullptr;
}  // namespace

void OutputDebugString(const char* text) {
  if (!text) return;
  if (g_sink) {
    g_sink(text, g_context);
  } else {
    std::fputs(text, stderr);
    std::fflush(stderr);
  }
}

DebugOutputSink SetDebugOutputSink(DebugOutputSink sink, void* context) {
  DebugOutputSink previous = g_sink;
  g_sink = sink;
  g_context = context;
  return previous;
}
