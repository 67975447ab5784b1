// Hover tracking shared by the skinned buttons.
#pragma once

#include "platform/framework.h"

namespace skinctl {

// Marks the control hovered, asks for its leave notice and repaints it; does
// nothing when it is hovered already.
inline void BeginHover(CWnd& wnd, bool& hover) {
  if (hover) return;
  hover = true;
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = wnd.GetSafeHwnd();
  TrackMouseEvent(&tme);
  wnd.Invalidate(FALSE);
}

inline void EndHover(CWnd& wnd, bool& hover) {
  hover = false;
  wnd.Invalidate(FALSE);
}

}  // namespace skinctl
