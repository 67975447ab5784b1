// Method names logged as the friend tree's classes always did: every method
// that is entered writes its own name at level 100.
#pragma once

#include "host/basekit/log.h"

constexpr int FTLOG_METHOD_LEVEL = 100;
constexpr int FTLOG_TIMER_LEVEL = 10;

#define FTLOG(name) CGlobalLog::LogT(name, FTLOG_METHOD_LEVEL)
