// skinctl: the skinned message box.
#pragma once

#include "platform/framework.h"

// Shows a message box through the platform's modal driver and returns the
// button pressed (IDOK, IDYES...). The caption defaults to string 60574 of
// the resource module; the owner defaults to the active window.
int MessageBoxExExDLL(LPCWSTR text, UINT flags, LPCWSTR caption = nullptr, HWND owner = 0);
