// Window scroll bars (WS_VSCROLL, WS_HSCROLL): their range, page and
// position. They take no room and draw nothing here; a window learns of
// scrolling through WM_VSCROLL/WM_HSCROLL, which ScrollBy sends as a person
// using the bar would.
#pragma once

#include "platform/window.h"

constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;

// WM_VSCROLL / WM_HSCROLL codes.
constexpr WORD SB_LINEUP = 0;
constexpr WORD SB_LINELEFT = 0;
constexpr WORD SB_LINEDOWN = 1;
constexpr WORD SB_LINERIGHT = 1;
constexpr WORD SB_PAGEUP = 2;
constexpr WORD SB_PAGELEFT = 2;
constexpr WORD SB_PAGEDOWN = 3;
constexpr WORD SB_PAGERIGHT = 3;
constexpr WORD SB_THUMBPOSITION = 4;
constexpr WORD SB_THUMBTRACK = 5;
constexpr WORD SB_TOP = 6;
constexpr WORD SB_LEFT = 6;
constexpr WORD SB_BOTTOM = 7;
constexpr WORD SB_RIGHT = 7;
constexpr WORD SB_ENDSCROLL = 8;

constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// The position is kept within [nMin, nMax - max(nPage - 1, 0)], as on the
// original platform. SetScrollInfo returns the new position.
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);  // returns the old position
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
// Shows or hides the bar (the WS_VSCROLL / WS_HSCROLL style).
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);

// Input: sends WM_VSCROLL (bar SB_VERT) or WM_HSCROLL with the code, and
// for SB_THUMBTRACK/SB_THUMBPOSITION the position (also as the track
// position), followed by SB_ENDSCROLL; then pumps. FALSE for an unknown window.
BOOL ScrollBy(HWND hwnd, int bar, WORD code, int pos = 0);
