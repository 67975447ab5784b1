// The debugger output channel. Text goes to standard error unless the program
// installs a sink of its own (a test, or a host that keeps a log).
#pragma once

#include "keytree_api.h"

using DebugOutputSink = void (*)(const char* text, void* context);

// Writes text as is (no line break added).
KEYTREE_API void OutputDebugString(const char* text);

// Installs sink (null restores standard error); returns the previous sink.
KEYTREE_API DebugOutputSink SetDebugOutputSink(DebugOutputSink sink, void* context);
