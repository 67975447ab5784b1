// Regions: shapes for window outlines and hit-testing (SetWindowRgn in
// window.h takes one). A pixel (x, y) belongs to a region when its centre
// (x + 0.5, y + 0.5) lies inside the shape, so a rectangle region covers
// [left, right) x [top, bottom), as on the original platform.
#pragma once

#include "platform/windef.h"

constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rc);
// Corners are quarter ellipses of width w and height h.
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
// dst must be an existing region; it receives a combination of src1 and src2
// (src2 unused for RGN_COPY). Returns the kind of the result or ERROR.
int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
int GetRgnBox(HRGN rgn, RECT* rc);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL EqualRgn(HRGN a, HRGN b);

// The window takes the region over: the caller must not use or delete it
// afterwards (a later SetWindowRgn or the window's destruction deletes it).
// 0 removes the region. Co-ordinates are the window's own.
int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw);
// Copies the window's region into rgn; ERROR when it has none.
int GetWindowRgn(HWND hwnd, HRGN rgn);
