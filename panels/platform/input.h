// Keyboard focus, mouse capture, cursors, mouse tracking, and input given as
// a person gives it.
//
// Mouse injection (ClickAt and the others) takes a point in the client
// co-ordinates of `hwnd` and delivers to the window under it: the deepest
// visible, enabled descendant of hwnd (or hwnd itself) whose rectangle and
// region contain the point; a disabled child's area belongs to its parent.
// While a window has the capture, everything goes to it instead. lParam
// carries the target's client co-ordinates, wParam the MK_ flags. Before a
// button press the pointer moves there (WM_SETCURSOR, WM_MOUSEMOVE). Each
// call pumps the posted messages afterwards and returns the window that got
// the input (0 when the point is outside hwnd or hwnd is hidden or disabled).
//
// Focus on click: the pressed window's top-level window takes the focus if
// the focus is elsewhere (activation); beyond that, as on the original
// platform, a control takes the focus itself in its button-down handler (the
// built-in Button and Edit controls do; other windows call SetFocus).
#pragma once

#include "platform/window.h"

// Virtual keys.
constexpr UINT VK_LBUTTON = 0x01;
constexpr UINT VK_RBUTTON = 0x02;
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F2 = 0x71;
constexpr UINT VK_PACKET = 0xE7;

// Focus and capture.
HWND SetFocus(HWND hwnd);  // WM_KILLFOCUS to the old, WM_SETFOCUS to the new; returns the old
HWND GetFocus();
HWND SetCapture(HWND hwnd);  // WM_CAPTURECHANGED to the window losing it; returns the old
BOOL ReleaseCapture();
HWND GetCapture();

// Cursors: the standard ones exist without loading; SetCursor just records.
#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define IDC_IBEAM MAKEINTRESOURCEW(32513)
#define IDC_WAIT MAKEINTRESOURCEW(32514)
#define IDC_CROSS MAKEINTRESOURCEW(32515)
#define IDC_SIZEALL MAKEINTRESOURCEW(32646)
#define IDC_SIZENWSE MAKEINTRESOURCEW(32642)
#define IDC_SIZEWE MAKEINTRESOURCEW(32644)
#define IDC_SIZENS MAKEINTRESOURCEW(32645)
#define IDC_NO MAKEINTRESOURCEW(32648)
#define IDC_HAND MAKEINTRESOURCEW(32649)
// Standard cursors for any instance; 0 for names that are not standard.
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
inline HCURSOR LoadCursor(HINSTANCE instance, LPCWSTR name) { return LoadCursorW(instance, name); }
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
BOOL GetCursorPos(POINT* pt);  // where the injected pointer last was (screen)
BOOL SetCursorPos(int x, int y);

// Hover and leave notices. TME_HOVER: WM_MOUSEHOVER once the pointer has
// rested hoverTime ms of virtual clock on the window (HOVER_DEFAULT = 400);
// TME_LEAVE: WM_MOUSELEAVE (posted) when it leaves. Each notice ends that
// tracking, as on the original platform.
constexpr DWORD TME_HOVER = 0x00000001;
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = 0;
  DWORD dwHoverTime = HOVER_DEFAULT;
};
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);

// Keys held down: GetKeyState's high bit (value < 0) means down.
short GetKeyState(int vk);
short GetAsyncKeyState(int vk);

// Input as a person gives it.
HWND MouseMoveTo(HWND hwnd, POINT clientPoint);
HWND ClickAt(HWND hwnd, POINT clientPoint);        // down + up
HWND DoubleClickAt(HWND hwnd, POINT clientPoint);  // down, up, dblclk (CS_DBLCLKS) or down, up
HWND RightClickAt(HWND hwnd, POINT clientPoint);   // down + up (WM_CONTEXTMENU follows by default)
HWND MouseDownAt(HWND hwnd, POINT clientPoint, bool right = false);
HWND MouseUpAt(HWND hwnd, POINT clientPoint, bool right = false);
HWND MouseWheelAt(HWND hwnd, POINT clientPoint, int delta);
// Keys go to the focus window: WM_KEYDOWN, WM_CHAR when the key types a
// character (letters lower case unless Shift is held, digits, space, Enter
// '\r', Escape, Backspace, Tab), WM_KEYUP. Return the window that got them.
HWND KeyPress(UINT vk);
HWND KeyDown(UINT vk);  // holds a key (Shift, Control) until KeyUp
HWND KeyUp(UINT vk);
// One WM_KEYDOWN / WM_CHAR / WM_KEYUP per character (VK_PACKET for
// characters without a key of their own).
HWND TypeText(const std::u16string& text);
