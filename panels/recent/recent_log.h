// Method names logged as the recent-contacts classes always did: every
// method that is entered writes its own name at level 101.
#pragma once

#include "host/basekit/log.h"

constexpr int RCLOG_METHOD_LEVEL = 101;
constexpr int RCLOG_INFO_LEVEL = 10;
constexpr int RCLOG_STATE_LEVEL = 102;

#define RCLOG(name) CGlobalLog::LogT(name, RCLOG_METHOD_LEVEL)
