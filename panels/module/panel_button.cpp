#include "module/panel_button.h"

#include "platform/controls.h"

HWND CreatePanelButton(HWND parent, const char16_t* text, UINT id) {
  RECT rc;
  GetClientRect(parent, &rc);
  return CreateWindowExW(0, u"Button", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, rc.right,
                         rc.bottom, parent, static_cast<HMENU>(id), nullptr, nullptr);
}
