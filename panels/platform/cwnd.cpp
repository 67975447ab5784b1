#include "platform/cwnd.h"

#include "platform/cdc.h"
#include "platform/cwinapp.h"
#include "platform/gdi.h"

#include <memory>
#include <set>
#include <string>
#include <unordered_map>

namespace {

std::unordered_map<HWND, CWnd*>& Permanent() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

// The object whose Create is running: the next window made belongs to it.
CWnd*& Creating() {
  static CWnd* creating = nullptr;
  return creating;
}

std::u16string Hex(std::uintptr_t v) {
  static const char16_t digits[] = u"0123456789abcdef";
  std::u16string s;
  do {
    s.insert(s.begin(), digits[v & 0xF]);
    v >>= 4;
  } while (v);
  return s;
}

}  // namespace

// Non-owning wrappers for windows without an object of their own.
struct WndTemporaries {
  static std::unordered_map<HWND, std::unique_ptr<CWnd>>& Map() {
    static std::unordered_map<HWND, std::unique_ptr<CWnd>> map;
    return map;
  }
  static CWnd* Get(HWND hwnd) {
    auto& m = Map();
    auto it = m.find(hwnd);
    if (it != m.end()) return it->second.get();
    if (m.size() > 256) {  // handles are never reused; drop wrappers of dead windows
      for (auto i = m.begin(); i != m.end();) i = IsWindow(i->first) ? std::next(i) : m.erase(i);
    }
    auto w = std::unique_ptr<CWnd>(new CWnd(hwnd));
    w->temporary_ = true;
    CWnd* raw = w.get();
    m.emplace(hwnd, std::move(w));
    return raw;
  }
};

namespace {

void AttachDuringCreate(HWND hwnd) {
  CWnd* w = Creating();
  if (!w || w->m_hWnd) return;
  Creating() = nullptr;
  w->SubclassWindow(hwnd);
}

void EnsureHook() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  platform::SetCreateWindowHook(AttachDuringCreate);
}

}  // namespace

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

LRESULT FrameworkWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CWnd* w = CWnd::FromHandlePermanent(hwnd);
  if (!w) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return w->WindowProc(msg, wParam, lParam);
}

LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  static std::set<std::u16string> names;
  std::u16string name =
      u"Afx:" + Hex(classStyle) + u":" + Hex(cursor) + u":" + Hex(background) + u":" + Hex(icon);
  const std::u16string& kept = *names.insert(name).first;
  if (!GetClassInfoW(nullptr, kept.c_str(), nullptr)) {
    WNDCLASSW wc;
    wc.style = classStyle;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = kept.c_str();
    RegisterClassW(&wc);
  }
  return kept.c_str();
}

// ---- attachment ---------------------------------------------------------------------

CWnd::~CWnd() {
  AfxForgetMainWnd(this);
  if (temporary_ || !m_hWnd) return;
  HWND hwnd = m_hWnd;
  auto& m = Permanent();
  if (auto it = m.find(hwnd); it != m.end() && it->second == this) m.erase(it);
  m_hWnd = 0;
  if (IsWindow(hwnd)) {
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&FrameworkWndProc))
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(m_pfnSuper ? m_pfnSuper : &DefWindowProcW));
    ::DestroyWindow(hwnd);
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  auto& m = Permanent();
  auto it = m.find(hwnd);
  return it == m.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  if (CWnd* w = FromHandlePermanent(hwnd)) return w;
  return WndTemporaries::Get(hwnd);
}

BOOL CWnd::Attach(HWND hwnd) {
  if (m_hWnd || !IsWindow(hwnd) || FromHandlePermanent(hwnd)) return FALSE;
  m_hWnd = hwnd;
  Permanent()[hwnd] = this;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hwnd = m_hWnd;
  if (hwnd) {
    auto& m = Permanent();
    if (auto it = m.find(hwnd); it != m.end() && it->second == this) m.erase(it);
  }
  m_hWnd = 0;
  return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
  if (!Attach(hwnd)) return FALSE;
  PreSubclassWindow();
  auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (proc != &FrameworkWndProc) {
    m_pfnSuper = proc;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWndProc));
  }
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (!parent) return FALSE;
  HWND item = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
  return item ? SubclassWindow(item) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  if (!m_hWnd) return 0;
  if (m_pfnSuper) SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

// ---- creation -----------------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCTW& cs) {
  if (!cs.lpszClass)
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW));
  return TRUE;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU idOrMenu, LPVOID param) {
  if (m_hWnd) return FALSE;
  EnsureHook();
  CREATESTRUCTW cs;
  cs.dwExStyle = exStyle;
  cs.lpszClass = className;
  cs.lpszName = windowName;
  cs.style = static_cast<LONG>(style);
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.hwndParent = parent;
  cs.hMenu = idOrMenu;
  cs.lpCreateParams = param;
  if (!PreCreateWindow(cs)) return FALSE;
  AttachToNextWindow();
  HWND hwnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  CancelAttachToNextWindow();
  return hwnd != 0 && m_hWnd == hwnd;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, LPVOID param) {
  return CreateEx(exStyle, className, windowName, style, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, parent ? parent->m_hWnd : 0,
                  static_cast<HMENU>(id), param);
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, LPVOID param) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, param);
}

void CWnd::AttachToNextWindow() {
  EnsureHook();
  Creating() = this;
}

void CWnd::CancelAttachToNextWindow() {
  if (Creating() == this) Creating() = nullptr;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

// ---- dispatch -----------------------------------------------------------------------

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(msg, wParam, lParam, &result)) result = DefWindowProc(msg, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, msg, wParam, lParam);
  return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG& m = CurrentMessage();
  if (!m_hWnd || m.hwnd != m_hWnd) return 0;
  MSG copy = m;
  return DefWindowProc(copy.message, copy.wParam, copy.lParam);
}

BOOL CWnd::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  LRESULT r = 0;
  CPoint pt(lParam);
  UINT flags = static_cast<UINT>(wParam);
  switch (msg) {
    case WM_COMMAND:
      if (!OnCommand(wParam, lParam)) return FALSE;
      break;
    case WM_NOTIFY:
      if (!OnNotify(wParam, lParam, &r)) return FALSE;
      break;
    case WM_CREATE: r = OnCreate(reinterpret_cast<LPCREATESTRUCTW>(lParam)); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_NCDESTROY:
      OnNcDestroy();  // may delete this
      *result = 0;
      return TRUE;
    case WM_CLOSE: OnClose(); break;
    case WM_SIZE:
      OnSize(flags, LOWORD(static_cast<WPARAM>(lParam)), HIWORD(static_cast<WPARAM>(lParam)));
      break;
    case WM_MOVE: OnMove(pt.x, pt.y); break;
    case WM_SHOWWINDOW: OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); break;
    case WM_PAINT: OnPaint(); break;
    case WM_ERASEBKGND: {
      CDC dc;
      dc.Attach(static_cast<HDC>(wParam));
      r = OnEraseBkgnd(&dc);
      dc.Detach();
      break;
    }
    case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); break;
    case WM_MOUSEMOVE: OnMouseMove(flags, pt); break;
    case WM_LBUTTONDOWN: OnLButtonDown(flags, pt); break;
    case WM_LBUTTONUP: OnLButtonUp(flags, pt); break;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(flags, pt); break;
    case WM_RBUTTONDOWN: OnRButtonDown(flags, pt); break;
    case WM_RBUTTONUP: OnRButtonUp(flags, pt); break;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(flags, pt); break;
    case WM_MOUSEWHEEL:
      r = OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), pt);
      break;
    case WM_MOUSEHOVER: OnMouseHover(flags, pt); break;
    case WM_MOUSELEAVE: OnMouseLeave(); break;
    case WM_SETCURSOR:
      r = OnSetCursor(FromHandle(static_cast<HWND>(wParam)), LOWORD(static_cast<WPARAM>(lParam)),
                      HIWORD(static_cast<WPARAM>(lParam)));
      break;
    case WM_CONTEXTMENU: OnContextMenu(FromHandle(static_cast<HWND>(wParam)), pt); break;
    case WM_KEYDOWN:
      OnKeyDown(static_cast<UINT>(wParam), LOWORD(static_cast<WPARAM>(lParam)),
                HIWORD(static_cast<WPARAM>(lParam)));
      break;
    case WM_KEYUP:
      OnKeyUp(static_cast<UINT>(wParam), LOWORD(static_cast<WPARAM>(lParam)),
              HIWORD(static_cast<WPARAM>(lParam)));
      break;
    case WM_CHAR:
      OnChar(static_cast<UINT>(wParam), LOWORD(static_cast<WPARAM>(lParam)),
             HIWORD(static_cast<WPARAM>(lParam)));
      break;
    case WM_SETFOCUS: OnSetFocus(FromHandle(static_cast<HWND>(wParam))); break;
    case WM_KILLFOCUS: OnKillFocus(FromHandle(static_cast<HWND>(wParam))); break;
    case WM_CAPTURECHANGED: OnCaptureChanged(FromHandle(static_cast<HWND>(lParam))); break;
    case WM_ENABLE: OnEnable(static_cast<BOOL>(wParam)); break;
    case WM_HSCROLL:
      OnHScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(static_cast<HWND>(lParam)));
      break;
    case WM_VSCROLL:
      OnVScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(static_cast<HWND>(lParam)));
      break;
    case WM_GETDLGCODE: r = OnGetDlgCode(); break;
    default: return FALSE;
  }
  *result = r;
  return TRUE;
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) { return FALSE; }
int CWnd::OnCreate(LPCREATESTRUCTW) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() {
  Default();
  HWND hwnd = m_hWnd;
  Detach();
  m_pfnSuper = nullptr;
  (void)hwnd;
  PostNcDestroy();
}
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnMouseHover(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CWnd*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CWnd*) { Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }

// ---- member forms -------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageW(m_hWnd, msg, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageW(m_hWnd, msg, wParam, lParam);
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

CWnd* CWnd::SetParent(CWnd* newParent) {
  HWND old = ::SetParent(m_hWnd, newParent ? newParent->m_hWnd : 0);
  return old == GetDesktopWindow() ? nullptr : FromHandle(old);
}

CWnd* CWnd::GetOwner() const {
  HWND owner = GetWindow(m_hWnd, GW_OWNER);
  return FromHandle(owner ? owner : ::GetParent(m_hWnd));
}

CWnd* CWnd::GetTopLevelParent() const { return FromHandle(GetAncestor(m_hWnd, GA_ROOT)); }

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }

int CWnd::SetDlgCtrlID(int id) { return static_cast<int>(SetWindowLongPtrW(m_hWnd, GWLP_ID, id)); }

CWnd* CWnd::ChildWindowFromPoint(POINT pt) const {
  return FromHandle(::ChildWindowFromPoint(m_hWnd, pt));
}

void CWnd::ClientToScreen(RECT* rc) const {
  POINT o{0, 0};
  ::ClientToScreen(m_hWnd, &o);
  OffsetRect(rc, o.x, o.y);
}

void CWnd::ScreenToClient(RECT* rc) const {
  POINT o{0, 0};
  ::ScreenToClient(m_hWnd, &o);
  OffsetRect(rc, o.x, o.y);
}

void CWnd::MapWindowPoints(CWnd* to, RECT* rc) const {
  ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : 0, reinterpret_cast<POINT*>(rc), 2);
}

void CWnd::MoveWindow(const RECT* rc, BOOL repaint) {
  ::MoveWindow(m_hWnd, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
  return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : HWND_TOP, x, y, cx, cy, flags);
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
  DWORD style = GetStyle();
  DWORD next = (style & ~remove) | add;
  if (next == style) return FALSE;
  SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(next));
  if (swpFlags)
    ::SetWindowPos(m_hWnd, 0, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
  return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
  DWORD style = GetExStyle();
  DWORD next = (style & ~remove) | add;
  if (next == style) return FALSE;
  SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(next));
  if (swpFlags)
    ::SetWindowPos(m_hWnd, 0, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
  return TRUE;
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }

CDC* CWnd::GetDC() {
  HDC hdc = ::GetDC(m_hWnd);
  if (!hdc) return nullptr;
  auto* dc = new CDC;
  dc->Attach(hdc);
  return dc;
}

int CWnd::ReleaseDC(CDC* dc) {
  if (!dc) return 0;
  int r = ::ReleaseDC(m_hWnd, dc->Detach());
  delete dc;
  return r;
}
