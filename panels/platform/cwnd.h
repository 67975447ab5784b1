// CWnd: the class framework's window object.
//
// A CWnd is attached to one window. Create/CreateEx make the window and
// attach the object before the window's first message (WM_NCCREATE), for a
// class of our own as for a registered class of someone else (the window's
// procedure is then called for what the object leaves, as a subclassed
// window's). SubclassWindow attaches an object to an existing window.
//
// Message handling without message maps: every message of an attached
// window goes to the virtual WindowProc, whose default calls OnWndMsg; that
// decodes the common messages into calls of the virtual OnXxx handlers
// below (MFC's names and arguments). A derived class overrides the handlers
// it needs, or WindowProc itself for anything else. The default handlers do
// what the window would have done without the object (Default(), which is
// DefWindowProc for the message being handled), so an override calls its
// base class's handler to chain. After WM_NCDESTROY the object is detached
// and PostNcDestroy is called (a self-deleting window deletes itself there).
#pragma once

#include "platform/afxtypes.h"
#include "platform/input.h"
#include "platform/region.h"
#include "platform/scrollbar.h"
#include "platform/timer.h"
#include "platform/window.h"

#include <string>

class CDC;
class CMenu;

class CWnd {
 public:
  CWnd() = default;
  // Destroys a window it still has (the derived part is gone by then, so
  // its messages go to the window's own procedure).
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = 0;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // The attached object of a window, or a framework-owned wrapper for a
  // window without one (valid while that window lives); null for 0.
  static CWnd* FromHandle(HWND hwnd);
  static CWnd* FromHandlePermanent(HWND hwnd);
  BOOL Attach(HWND hwnd);
  HWND Detach();
  BOOL SubclassWindow(HWND hwnd);  // calls PreSubclassWindow
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();

  // className null: the framework's own class (CS_DBLCLKS, arrow cursor,
  // no background brush).
  virtual BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                      CWnd* parent, UINT id, LPVOID param = nullptr);
  virtual BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                        const RECT& rect, CWnd* parent, UINT id, LPVOID param = nullptr);
  BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                int width, int height, HWND parent, HMENU idOrMenu, LPVOID param = nullptr);
  virtual BOOL DestroyWindow();

  // Hooks.
  virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
  virtual void PreSubclassWindow();
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void PostNcDestroy();
  // DefWindowProc for the message being handled now.
  LRESULT Default();

  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;

  // Tree.
  CWnd* GetParent() const;
  CWnd* SetParent(CWnd* newParent);
  CWnd* GetOwner() const;
  CWnd* GetTopLevelParent() const;
  CWnd* GetDlgItem(int id) const;
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  int SetDlgCtrlID(int id);
  BOOL IsChild(const CWnd* wnd) const { return wnd && ::IsChild(m_hWnd, wnd->m_hWnd); }
  CWnd* ChildWindowFromPoint(POINT pt) const;

  // Geometry.
  void GetWindowRect(RECT* rc) const { ::GetWindowRect(m_hWnd, rc); }
  void GetClientRect(RECT* rc) const { ::GetClientRect(m_hWnd, rc); }
  void ClientToScreen(POINT* pt) const { ::ClientToScreen(m_hWnd, pt); }
  void ClientToScreen(RECT* rc) const;
  void ScreenToClient(POINT* pt) const { ::ScreenToClient(m_hWnd, pt); }
  void ScreenToClient(RECT* rc) const;
  // to null: the screen.
  void MapWindowPoints(CWnd* to, POINT* pts, UINT count) const {
    ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : 0, pts, count);
  }
  void MapWindowPoints(CWnd* to, RECT* rc) const;
  void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, w, h, repaint);
  }
  void MoveWindow(const RECT* rc, BOOL repaint = TRUE);
  BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
  void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
  int SetWindowRgn(HRGN rgn, BOOL redraw) { return ::SetWindowRgn(m_hWnd, rgn, redraw); }

  // State.
  BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
  void SetWindowText(const std::u16string& text) { ::SetWindowTextW(m_hWnd, text.c_str()); }
  int GetWindowText(LPWSTR buffer, int maxCount) const {
    return ::GetWindowTextW(m_hWnd, buffer, maxCount);
  }
  void GetWindowText(std::u16string& text) const { text = ::GetWindowTextString(m_hWnd); }
  std::u16string GetWindowText() const { return ::GetWindowTextString(m_hWnd); }
  int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
  void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, font, redraw); }
  HFONT GetFont() const { return static_cast<HFONT>(SendMessage(WM_GETFONT)); }

  // Focus, capture.
  CWnd* SetFocus();
  static CWnd* GetFocus();
  CWnd* SetCapture();
  static CWnd* GetCapture();

  // Timers, painting.
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) {
    return ::SetTimer(m_hWnd, id, elapse, proc);
  }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void InvalidateRect(const RECT* rc, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rc, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL RedrawWindow(const RECT* rc = nullptr, HRGN rgn = 0,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, rc, rgn, flags);
  }
  int SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw = TRUE) {
    return ::SetScrollInfo(m_hWnd, bar, info, redraw);
  }
  BOOL GetScrollInfo(int bar, SCROLLINFO* info, UINT mask = SIF_ALL) const {
    if (info) info->fMask = mask;
    return ::GetScrollInfo(m_hWnd, bar, info);
  }
  int SetScrollPos(int bar, int pos, BOOL redraw = TRUE) {
    return ::SetScrollPos(m_hWnd, bar, pos, redraw);
  }
  int GetScrollPos(int bar) const { return ::GetScrollPos(m_hWnd, bar); }
  void SetScrollRange(int bar, int min, int max, BOOL redraw = TRUE) {
    ::SetScrollRange(m_hWnd, bar, min, max, redraw);
  }
  void ShowScrollBar(UINT bar, BOOL show = TRUE) {
    ::ShowScrollBar(m_hWnd, static_cast<int>(bar), show);
  }
  CDC* GetDC();
  int ReleaseDC(CDC* dc);

  // Message handlers (see the top of the file).
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual int OnCreate(LPCREATESTRUCTW cs);
  virtual void OnDestroy();
  virtual void OnNcDestroy();
  virtual void OnClose();
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnMove(int x, int y);
  virtual void OnShowWindow(BOOL show, UINT status);
  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(CDC* dc);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnMouseMove(UINT flags, CPoint point);
  virtual void OnLButtonDown(UINT flags, CPoint point);
  virtual void OnLButtonUp(UINT flags, CPoint point);
  virtual void OnLButtonDblClk(UINT flags, CPoint point);
  virtual void OnRButtonDown(UINT flags, CPoint point);
  virtual void OnRButtonUp(UINT flags, CPoint point);
  virtual void OnRButtonDblClk(UINT flags, CPoint point);
  virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  virtual void OnMouseHover(UINT flags, CPoint point);
  virtual void OnMouseLeave();
  virtual BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  virtual void OnContextMenu(CWnd* wnd, CPoint screenPoint);
  virtual void OnKeyDown(UINT vk, UINT repeat, UINT flags);
  virtual void OnKeyUp(UINT vk, UINT repeat, UINT flags);
  virtual void OnChar(UINT ch, UINT repeat, UINT flags);
  virtual void OnSetFocus(CWnd* oldWnd);
  virtual void OnKillFocus(CWnd* newWnd);
  virtual void OnCaptureChanged(CWnd* wnd);
  virtual void OnEnable(BOOL enable);
  virtual void OnHScroll(UINT code, UINT pos, CWnd* scrollBar);
  virtual void OnVScroll(UINT code, UINT pos, CWnd* scrollBar);
  virtual UINT OnGetDlgCode();

  // Positions for SetWindowPos.
  static const CWnd wndTop;
  static const CWnd wndBottom;
  static const CWnd wndTopMost;
  static const CWnd wndNoTopMost;

 protected:
  // Decodes msg into an OnXxx call; returns FALSE for messages it does not
  // decode (WindowProc then calls DefWindowProc).
  virtual BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
  WNDPROC m_pfnSuper = nullptr;  // the window's own procedure, for DefWindowProc
  // The next window created (by any means) is attached to this object; for
  // windows that other services create, such as dialogs.
  void AttachToNextWindow();
  void CancelAttachToNextWindow();

 private:
  explicit CWnd(HWND special) : m_hWnd(special) {}
  friend LRESULT FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
  friend struct WndTemporaries;
  bool temporary_ = false;
};

// The procedure every attached window runs.
LRESULT FrameworkWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Registers (once) and returns a class name for the given attributes, as the
// framework's helper of that name does.
LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = 0, HBRUSH background = 0,
                            HICON icon = 0);
