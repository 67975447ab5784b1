#include "platform/input.h"

#include "platform/ui_internal.h"

#include <array>

namespace platform::ui {
namespace {

struct Tracking {
  HWND hwnd = 0;
  DWORD flags = 0;
  DWORD hoverTime = 400;
};

struct InputState {
  HWND focus = 0;
  HWND capture = 0;
  HCURSOR cursor = 0;
  POINT cursorPos;
  HWND underMouse = 0;
  Tracking tracking;
  std::array<bool, 256> keys{};
};

InputState& Input() {
  static InputState state;
  return state;
}

constexpr HCURSOR kStockCursorBase = 0x7F000000u;
constexpr WORD kStockCursors[] = {32512, 32513, 32514, 32515, 32642, 32643,
                                  32644, 32645, 32646, 32648, 32649, 32650};

WPARAM KeyFlags() {
  const auto& k = Input().keys;
  WPARAM f = 0;
  if (k[VK_LBUTTON]) f |= MK_LBUTTON;
  if (k[VK_RBUTTON]) f |= MK_RBUTTON;
  if (k[VK_SHIFT]) f |= MK_SHIFT;
  if (k[VK_CONTROL]) f |= MK_CONTROL;
  return f;
}

LPARAM PointParam(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

struct Target {
  HWND hwnd = 0;
  POINT client;
};

// Where mouse input at a client point of root goes.
bool Resolve(HWND root, POINT clientPt, Target& t) {
  Window* r = FindWindowData(root);
  if (!r) return false;
  POINT origin = ScreenOrigin(r);
  POINT screen{clientPt.x + origin.x, clientPt.y + origin.y};
  Input().cursorPos = screen;
  HWND cap = Input().capture;
  if (Window* c = FindWindowData(cap)) {
    POINT o = ScreenOrigin(c);
    t.hwnd = cap;
    t.client = POINT{screen.x - o.x, screen.y - o.y};
    return true;
  }
  POINT p = clientPt;
  t.hwnd = HitTestFrom(root, p);
  t.client = p;
  return t.hwnd != 0;
}

void EndTracking() {
  auto& tr = Input().tracking;
  if (tr.hwnd) CancelClockEvents(tr.hwnd);
  tr = Tracking{};
}

void HoverFired(HWND hwnd) {
  auto& tr = Input().tracking;
  Window* w = FindWindowData(hwnd);
  if (tr.hwnd != hwnd || !(tr.flags & TME_HOVER) || !w) return;
  tr.flags &= ~TME_HOVER;
  if (!tr.flags) tr.hwnd = 0;
  POINT o = ScreenOrigin(w);
  POINT p{Input().cursorPos.x - o.x, Input().cursorPos.y - o.y};
  Deliver(hwnd, WM_MOUSEHOVER, KeyFlags(), PointParam(p));
}

// The pointer now rests over `now` (0: outside every window we know).
void PointerOver(HWND now) {
  auto& in = Input();
  auto& tr = in.tracking;
  if (tr.hwnd && tr.hwnd != now && !in.capture) {
    HWND left = tr.hwnd;
    bool leave = (tr.flags & TME_LEAVE) != 0;
    EndTracking();
    if (leave) PostMessageW(left, WM_MOUSELEAVE, 0, 0);
  } else if (tr.hwnd && tr.hwnd == now && (tr.flags & TME_HOVER)) {
    // Moving restarts the wait for a hover.
    CancelClockEvents(now);
    ScheduleClockEvent(now, Now() + tr.hoverTime, HoverFired);
  }
  in.underMouse = now;
}

void MoveTo(const Target& t) {
  PointerOver(t.hwnd);
  if (!Input().capture)
    Deliver(t.hwnd, WM_SETCURSOR, t.hwnd, MAKELPARAM(HTCLIENT, static_cast<WORD>(WM_MOUSEMOVE)));
  Deliver(t.hwnd, WM_MOUSEMOVE, KeyFlags(), PointParam(t.client));
}

// A press activates the pressed window's top-level window: it takes the
// focus unless the focus is already inside it.
void Activate(HWND target) {
  HWND root = GetAncestor(target, GA_ROOT);
  HWND f = Input().focus;
  if (root && f != root && !IsChild(root, f)) {
    SetForegroundWindow(root);
    SetFocus(root);
  }
}

char16_t CharFor(UINT vk) {
  const auto& k = Input().keys;
  if (vk >= 'A' && vk <= 'Z') {
    if (k[VK_CONTROL]) return static_cast<char16_t>(vk - 'A' + 1);
    return static_cast<char16_t>(k[VK_SHIFT] ? vk : vk - 'A' + 'a');
  }
  if (vk >= '0' && vk <= '9' && !k[VK_CONTROL]) return static_cast<char16_t>(vk);
  switch (vk) {
    case VK_SPACE: return u' ';
    case VK_RETURN: return u'\r';
    case VK_ESCAPE: return 0x1B;
    case VK_BACK: return 0x08;
    case VK_TAB: return u'\t';
    default: return 0;
  }
}

UINT VkFor(char16_t c) {
  if (c >= u'a' && c <= u'z') return c - u'a' + 'A';
  if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return c;
  switch (c) {
    case u' ': return VK_SPACE;
    case u'\r':
    case u'\n': return VK_RETURN;
    case u'\t': return VK_TAB;
    case 0x08: return VK_BACK;
    case 0x1B: return VK_ESCAPE;
    default: return VK_PACKET;
  }
}

}  // namespace

void ForgetInputStateOf(HWND hwnd) {
  auto& in = Input();
  if (in.focus == hwnd) in.focus = 0;
  if (in.capture == hwnd) in.capture = 0;
  if (in.underMouse == hwnd) in.underMouse = 0;
  if (in.tracking.hwnd == hwnd) EndTracking();
}

void ResetInput() {
  EndTracking();
  auto& in = Input();
  in.focus = 0;
  in.capture = 0;
  in.cursor = 0;
  in.underMouse = 0;
  in.cursorPos = POINT{};
  in.keys.fill(false);
}

}  // namespace platform::ui

using namespace platform::ui;

// ---- focus and capture ----------------------------------------------------------------

HWND SetFocus(HWND hwnd) {
  auto& in = Input();
  if (hwnd && (!IsWindow(hwnd) || !IsWindowEnabled(hwnd))) return 0;
  HWND old = in.focus;
  if (old == hwnd) return old;
  in.focus = hwnd;
  if (old && IsWindow(old)) Deliver(old, WM_KILLFOCUS, hwnd, 0);
  if (hwnd && in.focus == hwnd && IsWindow(hwnd)) Deliver(hwnd, WM_SETFOCUS, old, 0);
  return old;
}

HWND GetFocus() { return Input().focus; }

HWND SetCapture(HWND hwnd) {
  auto& in = Input();
  if (hwnd && !IsWindow(hwnd)) return 0;
  HWND old = in.capture;
  in.capture = hwnd;
  if (old && old != hwnd && IsWindow(old))
    Deliver(old, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  auto& in = Input();
  HWND old = in.capture;
  in.capture = 0;
  if (old && IsWindow(old)) Deliver(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return Input().capture; }

// ---- cursors -------------------------------------------------------------------------

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name) {
  if (!IS_INTRESOURCE(name)) return 0;
  auto id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
  for (WORD s : kStockCursors)
    if (s == id) return kStockCursorBase | id;
  return 0;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = Input().cursor;
  Input().cursor = cursor;
  return old;
}

HCURSOR GetCursor() { return Input().cursor; }

BOOL GetCursorPos(POINT* pt) {
  if (!pt) return FALSE;
  *pt = Input().cursorPos;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  Input().cursorPos = POINT{x, y};
  return TRUE;
}

// ---- tracking ------------------------------------------------------------------------

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme) return FALSE;
  auto& in = Input();
  if (tme->dwFlags & TME_CANCEL) {
    if (in.tracking.hwnd == tme->hwndTrack) {
      in.tracking.flags &= ~(tme->dwFlags & (TME_HOVER | TME_LEAVE));
      if (!(in.tracking.flags & TME_HOVER)) CancelClockEvents(tme->hwndTrack);
      if (!in.tracking.flags) in.tracking.hwnd = 0;
    }
    return TRUE;
  }
  if (!IsWindow(tme->hwndTrack)) return FALSE;
  if (in.tracking.hwnd && in.tracking.hwnd != tme->hwndTrack) EndTracking();
  if (in.underMouse != tme->hwndTrack) {
    // Asking for a leave notice while the pointer is elsewhere gets one at once.
    if (tme->dwFlags & TME_LEAVE) PostMessageW(tme->hwndTrack, WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  in.tracking.hwnd = tme->hwndTrack;
  in.tracking.flags |= tme->dwFlags & (TME_HOVER | TME_LEAVE);
  if (tme->dwFlags & TME_HOVER) {
    in.tracking.hoverTime = tme->dwHoverTime == HOVER_DEFAULT ? 400 : tme->dwHoverTime;
    CancelClockEvents(tme->hwndTrack);
    ScheduleClockEvent(tme->hwndTrack, Now() + in.tracking.hoverTime, HoverFired);
  }
  return TRUE;
}

short GetKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  return Input().keys[static_cast<std::size_t>(vk)] ? static_cast<short>(-32768) : 0;
}

short GetAsyncKeyState(int vk) { return GetKeyState(vk); }

// ---- injection -----------------------------------------------------------------------

HWND MouseMoveTo(HWND hwnd, POINT pt) {
  Target t;
  if (!Resolve(hwnd, pt, t)) {
    PointerOver(0);
    PumpMessages();
    return 0;
  }
  MoveTo(t);
  PumpMessages();
  return t.hwnd;
}

namespace {

HWND Button(HWND hwnd, POINT pt, bool right, bool down, bool doubleClick) {
  Target t;
  if (!Resolve(hwnd, pt, t)) return 0;
  UINT vk = right ? VK_RBUTTON : VK_LBUTTON;
  UINT msg;
  if (down) {
    bool dbl = doubleClick;
    if (dbl) {
      Window* w = FindWindowData(t.hwnd);
      dbl = w && (w->cls->style & CS_DBLCLKS);
    }
    msg = right ? (dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN)
                : (dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN);
    Input().keys[vk] = true;
    Activate(t.hwnd);
    if (!IsWindow(t.hwnd)) return 0;
  } else {
    msg = right ? WM_RBUTTONUP : WM_LBUTTONUP;
    Input().keys[vk] = false;
  }
  Deliver(t.hwnd, msg, KeyFlags(), PointParam(t.client));
  return t.hwnd;
}

HWND Press(HWND hwnd, POINT pt, bool right, bool doubleClick) {
  Target t;
  if (!Resolve(hwnd, pt, t)) return 0;
  MoveTo(t);
  HWND target = Button(hwnd, pt, right, true, doubleClick);
  Button(hwnd, pt, right, false, false);
  return target;
}

}  // namespace

HWND MouseDownAt(HWND hwnd, POINT pt, bool right) {
  Target t;
  if (!Resolve(hwnd, pt, t)) return 0;
  MoveTo(t);
  HWND target = Button(hwnd, pt, right, true, false);
  PumpMessages();
  return target;
}

HWND MouseUpAt(HWND hwnd, POINT pt, bool right) {
  Target t;
  if (!Resolve(hwnd, pt, t)) return 0;
  MoveTo(t);
  HWND target = Button(hwnd, pt, right, false, false);
  PumpMessages();
  return target;
}

HWND ClickAt(HWND hwnd, POINT pt) {
  HWND target = Press(hwnd, pt, false, false);
  PumpMessages();
  return target;
}

HWND RightClickAt(HWND hwnd, POINT pt) {
  HWND target = Press(hwnd, pt, true, false);
  PumpMessages();
  return target;
}

HWND DoubleClickAt(HWND hwnd, POINT pt) {
  HWND target = Press(hwnd, pt, false, false);
  PumpMessages();
  if (!target) return 0;
  HWND second = Press(hwnd, pt, false, true);
  PumpMessages();
  return second ? second : target;
}

HWND MouseWheelAt(HWND hwnd, POINT pt, int delta) {
  Target t;
  if (!Resolve(hwnd, pt, t)) return 0;
  MoveTo(t);
  // The wheel goes to the focus window, as on the original platform, with
  // screen co-ordinates.
  HWND to = Input().focus ? Input().focus : t.hwnd;
  Deliver(to, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(KeyFlags()), static_cast<WORD>(delta)),
          PointParam(Input().cursorPos));
  PumpMessages();
  return to;
}

HWND KeyDown(UINT vk) {
  auto& in = Input();
  if (vk < 256) in.keys[vk] = true;
  HWND target = in.focus;
  if (!target) return 0;
  Deliver(target, WM_KEYDOWN, vk, 1);
  if (char16_t ch = CharFor(vk); ch && IsWindow(in.focus)) Deliver(in.focus, WM_CHAR, ch, 1);
  PumpMessages();
  return target;
}

HWND KeyUp(UINT vk) {
  auto& in = Input();
  if (vk < 256) in.keys[vk] = false;
  HWND target = in.focus;
  if (!target) return 0;
  Deliver(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
  PumpMessages();
  return target;
}

HWND KeyPress(UINT vk) {
  HWND target = KeyDown(vk);
  KeyUp(vk);
  return target;
}

HWND TypeText(const std::u16string& text) {
  HWND last = 0;
  for (char16_t c : text) {
    HWND target = Input().focus;
    if (!target) break;
    UINT vk = VkFor(c);
    Deliver(target, WM_KEYDOWN, vk, 1);
    if (IsWindow(Input().focus)) Deliver(Input().focus, WM_CHAR, c, 1);
    if (IsWindow(Input().focus))
      Deliver(Input().focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
    last = target;
    PumpMessages();
  }
  return last;
}
