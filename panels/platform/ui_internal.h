// Shared state of the user-interface services (not for use outside
// platform/). Everything lives on the one UI thread; nothing is locked.
#pragma once

#include "platform/canvas.h"
#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/window.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::ui {

// Handles of every kind come from one counter and are never reused, so a
// stale handle never finds a newer object.
std::uint32_t NewHandle();

constexpr HWND kDesktop = 0x10;

struct WindowClass {
  std::u16string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HCURSOR cursor = 0;
  HBRUSH background = 0;
  int wndExtra = 0;
  bool builtin = false;
};

struct RegionShape;

struct Window {
  HWND hwnd = 0;
  std::shared_ptr<WindowClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = 0;             // WS_CHILD windows
  HWND owner = 0;              // pop-ups and other top-level windows
  std::vector<HWND> children;  // topmost first
  RECT rect;                   // parent client (children) or screen (top-level)
  std::u16string text;
  UINT_PTR id = 0;
  HINSTANCE instance = nullptr;
  LONG_PTR userData = 0;
  std::vector<unsigned char> extra;
  HFONT font = 0;
  std::shared_ptr<const RegionShape> region;
  std::shared_ptr<Canvas> canvas;
  bool invalid = false;
  bool erase = false;
  RECT invalidRect;
  bool destroying = false;
  struct ScrollBar {
    int min = 0, max = 0, pos = 0, trackPos = 0;
    UINT page = 0;
  };
  ScrollBar scroll[2];  // SB_HORZ, SB_VERT
  // Dialogs.
  bool isDialog = false;
  DLGPROC dlgProc = nullptr;
  LONG_PTR msgResult = 0;
  LONG_PTR dlgUser = 0;
  bool modal = false;
  bool ended = false;
  INT_PTR endResult = 0;

  int Width() const { return rect.right - rect.left; }
  int Height() const { return rect.bottom - rect.top; }
};

Window* FindWindowData(HWND hwnd);
// The window's top-left corner in screen co-ordinates.
POINT ScreenOrigin(const Window* w);
// Whether (x, y) in the window's own co-ordinates lies in its rectangle and region.
bool WindowContains(const Window* w, int x, int y);
// The window that mouse input at a client point of `root` goes to, with the
// point made relative to it. 0 when root cannot take input there.
HWND HitTestFrom(HWND root, POINT& clientPoint);
// Called by the window code when a window goes away, so that the other
// services forget it.
void ForgetTimersOf(HWND hwnd);
void ForgetInputStateOf(HWND hwnd);
void ForgetQueuedMessagesOf(HWND hwnd);
// Removes anything pending for timers, input, queue, menus, GDI, image lists, modal.
void ResetTimers();
void ResetInput();
void ResetQueue();
void ResetMenus();
void ResetGdi();
void ResetImageLists();
void ResetModal();
void ResetControls();
// Paints every invalid visible window once; returns how many.
std::size_t PaintPending(std::size_t limit);
bool AnyPaintPending();
// One-shot internal event on the virtual clock (hover notices).
using ClockCallback = void (*)(HWND);
void ScheduleClockEvent(HWND hwnd, std::uint64_t due, ClockCallback cb);
void CancelClockEvents(HWND hwnd);
std::uint64_t Now();
// Message delivery with the current-message record kept for Default().
LRESULT Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- GDI objects --------------------------------------------------------------

struct RegionShape {
  enum class Kind { Rect, RoundRect, Ellipse, Polygon, Combine, Empty };
  Kind kind = Kind::Empty;
  RECT rc;           // Rect, RoundRect, Ellipse
  int w = 0, h = 0;  // RoundRect corner ellipse
  std::vector<POINT> points;
  int fillMode = ALTERNATE_MODE;
  int op = 0;  // RGN_ mode for Combine
  std::shared_ptr<const RegionShape> a, b;
  RECT box;  // bounding box (may be larger than the shape)
  bool Contains(int x, int y) const;
  static constexpr int ALTERNATE_MODE = 1;
};
std::shared_ptr<const RegionShape> OffsetShape(const std::shared_ptr<const RegionShape>& s, int dx,
                                               int dy);

// Icons share the handle table but are no GDI object kind of their own:
// GetObjectType and DeleteObject do not know them.
constexpr DWORD kIconObject = 0x1C0;

struct GdiObject {
  DWORD type = 0;  // OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP, OBJ_REGION, kIconObject
  bool stock = false;
  LOGPEN pen;
  LOGBRUSH brush;
  LOGFONTW font;
  std::shared_ptr<Canvas> bitmap;
  std::shared_ptr<const RegionShape> region;
};
GdiObject* FindGdi(HGDIOBJ obj, DWORD type = 0);
HGDIOBJ AddGdi(GdiObject obj);
// Colour of a brush handle (a brush or COLOR_xxx + 1); false for a null brush
// or a bad handle.
bool BrushColour(HBRUSH brush, COLORREF* colour);

// While modal UI is up its owner's top-level window is disabled; afterwards
// it is enabled again and the focus returns where it was.
class ModalScope {
 public:
  explicit ModalScope(HWND owner);
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  HWND root_ = 0;
  HWND focus_ = 0;
  bool disabled_ = false;
};

// ---- device contexts --------------------------------------------------------------

struct DeviceContext {
  HWND hwnd = 0;                          // window DCs
  bool memory = false;                    // CreateCompatibleDC
  bool paint = false;                     // BeginPaint
  std::shared_ptr<Canvas> canvas;         // null: the screen DC
  std::shared_ptr<Canvas> defaultBitmap;  // memory DCs: their 1 x 1 bitmap
  HBITMAP bitmap = 0;
  HPEN pen = 0;
  HBRUSH brush = 0;
  HFONT font = 0;
  COLORREF textColour = 0;
  COLORREF bkColour = 0xFFFFFF;
  int bkMode = 2;  // OPAQUE
  UINT textAlign = 0;
  int stretchMode = 1;
  POINT pos;
  POINT org;  // viewport origin (added to logical co-ordinates)
  RECT clip;  // device co-ordinates
};
DeviceContext* FindDC(HDC hdc);
// Fills the part of a logical rectangle inside the clip.
void FillLogical(DeviceContext& dc, RECT rc, COLORREF colour);
void PlotLogical(DeviceContext& dc, int x, int y, COLORREF colour);
// Colour of the selected pen, false for a null pen.
bool PenColour(const DeviceContext& dc, COLORREF* colour, int* width = nullptr,
               int* style = nullptr);

}  // namespace platform::ui
