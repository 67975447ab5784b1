// The push button that fills a button panel's window.
#pragma once

#include <string>

#include "platform/window.h"

// A visible push button filling parent's client area, with control id id.
HWND CreatePanelButton(HWND parent, const char16_t* text, UINT id);
