#include "platform/scrollbar.h"

#include "platform/ui_internal.h"

#include <algorithm>

using namespace platform::ui;

namespace {

Window::ScrollBar* BarOf(HWND hwnd, int bar) {
  Window* w = FindWindowData(hwnd);
  if (!w || (bar != SB_HORZ && bar != SB_VERT)) return nullptr;
  return &w->scroll[bar];
}

int Clamp(const Window::ScrollBar& b, int pos) {
  int top = b.max - std::max(static_cast<int>(b.page) - 1, 0);
  return std::max(b.min, std::min(pos, std::max(b.min, top)));
}

}  // namespace

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL) {
  Window::ScrollBar* b = BarOf(hwnd, bar);
  if (!b || !info) return 0;
  if (info->fMask & SIF_RANGE) {
    b->min = info->nMin;
    b->max = std::max(info->nMin, info->nMax);
  }
  if (info->fMask & SIF_PAGE)
    b->page = std::min<UINT>(info->nPage, static_cast<UINT>(b->max - b->min + 1));
  if (info->fMask & SIF_POS) b->pos = info->nPos;
  b->pos = Clamp(*b, b->pos);
  return b->pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
  Window::ScrollBar* b = BarOf(hwnd, bar);
  if (!b || !info) return FALSE;
  if (info->fMask & SIF_RANGE) {
    info->nMin = b->min;
    info->nMax = b->max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = b->page;
  if (info->fMask & SIF_POS) info->nPos = b->pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = b->trackPos;
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL) {
  Window::ScrollBar* b = BarOf(hwnd, bar);
  if (!b) return 0;
  int old = b->pos;
  b->pos = Clamp(*b, pos);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  Window::ScrollBar* b = BarOf(hwnd, bar);
  return b ? b->pos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = min;
  si.nMax = max;
  if (!BarOf(hwnd, bar)) return FALSE;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
  Window::ScrollBar* b = BarOf(hwnd, bar);
  if (!b || !min || !max) return FALSE;
  *min = b->min;
  *max = b->max;
  return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  Window* w = FindWindowData(hwnd);
  if (!w) return FALSE;
  DWORD bits = bar == SB_VERT   ? WS_VSCROLL
               : bar == SB_HORZ ? WS_HSCROLL
               : bar == SB_BOTH ? (WS_VSCROLL | WS_HSCROLL)
                                : 0;
  if (!bits) return FALSE;
  w->style = show ? (w->style | bits) : (w->style & ~bits);
  return TRUE;
}

BOOL ScrollBy(HWND hwnd, int bar, WORD code, int pos) {
  Window::ScrollBar* b = BarOf(hwnd, bar);
  if (!b) return FALSE;
  UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) b->trackPos = Clamp(*b, pos);
  WORD thumb =
      static_cast<WORD>(code == SB_THUMBTRACK || code == SB_THUMBPOSITION ? b->trackPos : 0);
  SendMessageW(hwnd, msg, MAKEWPARAM(code, thumb), 0);
  if (code != SB_ENDSCROLL && IsWindow(hwnd))
    SendMessageW(hwnd, msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
  PumpMessages();
  return TRUE;
}
