#include "platform/window.h"

#include "platform/barrier.h"
#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/input.h"
#include "platform/region.h"
#include "platform/ui_internal.h"

#include <algorithm>
#include <cstring>

namespace platform::ui {
namespace {

struct WindowState {
  std::map<std::u16string, std::shared_ptr<WindowClass>> classes;  // key: lower-case name
  std::unordered_map<HWND, std::unique_ptr<Window>> windows;
  std::vector<HWND> topLevel;  // topmost first
  CreateWindowHook hook;
  HWND active = 0;
  int screenWidth = 1280;
  int screenHeight = 1024;
};

WindowState& State() {
  static WindowState state;
  return state;
}

std::u16string ClassKey(LPCWSTR name) {
  std::u16string key;
  if (!name) return key;
  if (IS_INTRESOURCE(name)) {
    // Atoms are not kept; a numbered class name never matches.
    return u"#atom";
  }
  for (const char16_t* p = name; *p; ++p)
    key.push_back(*p >= u'A' && *p <= u'Z' ? static_cast<char16_t>(*p - u'A' + u'a') : *p);
  return key;
}

std::shared_ptr<WindowClass> FindClass(LPCWSTR name) {
  RegisterBuiltinControls();
  auto& classes = State().classes;
  auto it = classes.find(ClassKey(name));
  return it == classes.end() ? nullptr : it->second;
}

std::vector<HWND>& SiblingsOf(Window* w) {
  if (w->parent) {
    if (Window* p = FindWindowData(w->parent)) return p->children;
  }
  return State().topLevel;
}

void Unlink(Window* w) {
  auto& list = SiblingsOf(w);
  list.erase(std::remove(list.begin(), list.end(), w->hwnd), list.end());
}

bool TextMatches(LPCWSTR wanted, const std::u16string& actual) {
  return !wanted || actual == wanted;
}

bool ClassMatches(LPCWSTR wanted, const Window* w) {
  return !wanted || ClassKey(wanted) == ClassKey(w->cls->name.c_str());
}

void MarkDestroying(Window* w) {
  w->destroying = true;
  for (HWND c : w->children)
    if (Window* cw = FindWindowData(c)) MarkDestroying(cw);
}

void SendDestroy(HWND hwnd) {
  Deliver(hwnd, WM_DESTROY, 0, 0);
  Window* w = FindWindowData(hwnd);
  if (!w) return;
  std::vector<HWND> children = w->children;
  for (HWND c : children)
    if (FindWindowData(c)) SendDestroy(c);
}

void FreeWindow(HWND hwnd) {
  Window* w = FindWindowData(hwnd);
  if (!w) return;
  if (!w->destroying) {  // created while its parent was being destroyed
    MarkDestroying(w);
    SendDestroy(hwnd);
    w = FindWindowData(hwnd);
    if (!w) return;
  }
  while (!w->children.empty()) {
    FreeWindow(w->children.front());
    w = FindWindowData(hwnd);
    if (!w) return;
    // FreeWindow unlinks the child; guard against a child that survives.
    if (!w->children.empty() && !FindWindowData(w->children.front()))
      w->children.erase(w->children.begin());
  }
  Deliver(hwnd, WM_NCDESTROY, 0, 0);
  w = FindWindowData(hwnd);
  if (!w) return;
  Unlink(w);
  ForgetTimersOf(hwnd);
  ForgetInputStateOf(hwnd);
  ForgetQueuedMessagesOf(hwnd);
  if (State().active == hwnd) State().active = 0;
  State().windows.erase(hwnd);
}

bool InvalidateOne(Window* w, const RECT* rc, bool erase) {
  RECT client{0, 0, w->Width(), w->Height()};
  RECT r = client;
  if (rc && !IntersectRect(&r, rc, &client)) return true;
  if (IsRectEmpty(&r)) return true;
  if (w->invalid) UnionRect(&w->invalidRect, &w->invalidRect, &r);
  else w->invalidRect = r;
  w->invalid = true;
  w->erase = w->erase || erase;
  return true;
}

void CollectVisibleInvalid(HWND hwnd, std::vector<HWND>& out) {
  Window* w = FindWindowData(hwnd);
  if (!w || !(w->style & WS_VISIBLE)) return;
  if (w->invalid) out.push_back(hwnd);
  for (HWND c : w->children) CollectVisibleInvalid(c, out);
}

bool IsEnabledWindow(const Window* w) { return !(w->style & WS_DISABLED); }

}  // namespace

Window* FindWindowData(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto& windows = State().windows;
  auto it = windows.find(hwnd);
  return it == windows.end() ? nullptr : it->second.get();
}

POINT ScreenOrigin(const Window* w) {
  POINT p{w->rect.left, w->rect.top};
  if (w->parent) {
    if (const Window* parent = FindWindowData(w->parent)) {
      POINT o = ScreenOrigin(parent);
      p.x += o.x;
      p.y += o.y;
    }
  }
  return p;
}

bool WindowContains(const Window* w, int x, int y) {
  if (x < 0 || y < 0 || x >= w->Width() || y >= w->Height()) return false;
  return !w->region || w->region->Contains(x, y);
}

HWND HitTestFrom(HWND root, POINT& pt) {
  Window* w = FindWindowData(root);
  if (!w || !IsWindowVisible(root) || !IsEnabledWindow(w) || !WindowContains(w, pt.x, pt.y))
    return 0;
  for (;;) {
    Window* next = nullptr;
    for (HWND c : w->children) {
      Window* cw = FindWindowData(c);
      if (!cw || !(cw->style & WS_VISIBLE) || !IsEnabledWindow(cw)) continue;
      if (WindowContains(cw, pt.x - cw->rect.left, pt.y - cw->rect.top)) {
        next = cw;
        break;
      }
    }
    if (!next) return w->hwnd;
    pt.x -= next->rect.left;
    pt.y -= next->rect.top;
    w = next;
  }
}

std::size_t PaintPending(std::size_t limit) {
  std::vector<HWND> todo;
  std::vector<HWND> tops = State().topLevel;
  for (HWND t : tops) CollectVisibleInvalid(t, todo);
  std::size_t n = 0;
  for (HWND h : todo) {
    if (n >= limit) break;
    Window* w = FindWindowData(h);
    if (w && w->invalid && IsWindowVisible(h)) {
      UpdateWindow(h);
      ++n;
    }
  }
  return n;
}

bool AnyPaintPending() {
  std::vector<HWND> todo;
  for (HWND t : State().topLevel) CollectVisibleInvalid(t, todo);
  return !todo.empty();
}

}  // namespace platform::ui

using namespace platform::ui;

// ---- classes ---------------------------------------------------------------------

ATOM RegisterClassW(const WNDCLASSW* wc) {
  if (!wc || !wc->lpfnWndProc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) ||
      !*wc->lpszClassName)
    return 0;
  auto key = ClassKey(wc->lpszClassName);
  auto& classes = State().classes;
  if (classes.count(key)) return 0;
  auto cls = std::make_shared<WindowClass>();
  cls->name = wc->lpszClassName;
  cls->style = wc->style;
  cls->proc = wc->lpfnWndProc;
  cls->instance = wc->hInstance;
  cls->cursor = wc->hCursor;
  cls->background = wc->hbrBackground;
  cls->wndExtra = std::max(0, wc->cbWndExtra);
  classes[key] = cls;
  return static_cast<ATOM>(0xC000 + (classes.size() & 0x3FFF));
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
  auto& classes = State().classes;
  auto it = classes.find(ClassKey(className));
  if (it == classes.end() || it->second->builtin) return FALSE;
  for (auto& [h, w] : State().windows)
    if (w->cls == it->second) return FALSE;  // still in use
  classes.erase(it);
  return TRUE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, WNDCLASSW* wc) {
  auto cls = FindClass(className);
  if (!cls) return FALSE;
  if (wc) {
    *wc = WNDCLASSW{};
    wc->style = cls->style;
    wc->lpfnWndProc = cls->proc;
    wc->cbWndExtra = cls->wndExtra;
    wc->hInstance = cls->instance;
    wc->hCursor = cls->cursor;
    wc->hbrBackground = cls->background;
    wc->lpszClassName = cls->name.c_str();
  }
  return TRUE;
}

int GetClassNameW(HWND hwnd, LPWSTR buffer, int maxCount) {
  Window* w = FindWindowData(hwnd);
  if (!w || !buffer || maxCount <= 0) return 0;
  int n = std::min<int>(static_cast<int>(w->cls->name.size()), maxCount - 1);
  std::copy_n(w->cls->name.begin(), n, buffer);
  buffer[n] = 0;
  return n;
}

namespace platform {
void SetCreateWindowHook(CreateWindowHook hook) { State().hook = std::move(hook); }
}  // namespace platform

// ---- creation and destruction -------------------------------------------------------

HWND GetDesktopWindow() { return kDesktop; }

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
  auto cls = FindClass(className);
  if (!cls) return 0;
  if (parent == kDesktop) parent = 0;
  Window* parentData = FindWindowData(parent);
  if (parent && !parentData) return 0;
  if ((style & WS_CHILD) && !parentData) return 0;
  if (x == CW_USEDEFAULT) {
    x = 0;
    y = 0;
  }
  if (width == CW_USEDEFAULT) {
    width = 640;
    height = 480;
  }
  width = std::max(0, width);
  height = std::max(0, height);

  auto owned = std::make_unique<Window>();
  Window* w = owned.get();
  HWND hwnd = NewHandle();
  w->hwnd = hwnd;
  w->cls = cls;
  w->proc = cls->proc;
  w->style = style & ~WS_VISIBLE;
  w->exStyle = exStyle;
  w->rect = RECT{x, y, x + width, y + height};
  w->instance = instance;
  w->extra.assign(static_cast<std::size_t>(cls->wndExtra), 0);
  w->canvas = std::make_shared<Canvas>(width, height);
  w->invalid = true;
  w->erase = true;
  w->invalidRect = RECT{0, 0, width, height};
  if (style & WS_CHILD) {
    w->parent = parent;
    w->id = menu;
    parentData->children.push_back(hwnd);
  } else {
    if (parent) w->owner = GetAncestor(parent, GA_ROOT);
    State().topLevel.insert(State().topLevel.begin(), hwnd);
  }
  State().windows.emplace(hwnd, std::move(owned));

  if (State().hook) platform::GuardCall(u"create-window hook", [&] { State().hook(hwnd); });

  CREATESTRUCTW cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  if (!Deliver(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
      Deliver(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (!FindWindowData(hwnd)) return 0;
  Deliver(hwnd, WM_SIZE, SIZE_RESTORED,
          MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height)));
  Deliver(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  if ((style & WS_VISIBLE) && FindWindowData(hwnd)) ShowWindow(hwnd, SW_SHOW);
  return FindWindowData(hwnd) ? hwnd : 0;
}

BOOL DestroyWindow(HWND hwnd) {
  Window* w = FindWindowData(hwnd);
  if (!w || w->destroying) return FALSE;
  // Owned pop-ups go first.
  std::vector<HWND> owned;
  for (HWND t : State().topLevel)
    if (Window* tw = FindWindowData(t); tw && tw->owner == hwnd) owned.push_back(t);
  for (HWND o : owned) DestroyWindow(o);
  w = FindWindowData(hwnd);
  if (!w || w->destroying) return FALSE;
  // Focus and capture leave the dying windows quietly.
  if (HWND f = GetFocus(); f && (f == hwnd || IsChild(hwnd, f))) ForgetInputStateOf(f);
  if (HWND c = GetCapture(); c && (c == hwnd || IsChild(hwnd, c))) ForgetInputStateOf(c);
  MarkDestroying(w);
  SendDestroy(hwnd);
  FreeWindow(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return FindWindowData(hwnd) != nullptr; }

// ---- default processing -----------------------------------------------------------

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = FindWindowData(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_SETTEXT: w->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u""; return TRUE;
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<LPWSTR>(lParam);
      int max = static_cast<int>(wParam);
      if (!buffer || max <= 0) return 0;
      int n = std::min<int>(static_cast<int>(w->text.size()), max - 1);
      std::copy_n(w->text.begin(), n, buffer);
      buffer[n] = 0;
      return n;
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_SETFONT:
      w->font = static_cast<HFONT>(wParam);
      if (LOWORD(static_cast<WPARAM>(lParam))) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return w->font;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_ERASEBKGND: {
      HBRUSH bg = w->cls->background;
      if (!bg) return 0;
      RECT rc{0, 0, w->Width(), w->Height()};
      FillRect(static_cast<HDC>(wParam), &rc, bg);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETCURSOR: {
      if (w->parent && SendMessageW(w->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      w = FindWindowData(hwnd);
      if (w && LOWORD(static_cast<WPARAM>(lParam)) == HTCLIENT && w->cls->cursor) {
        SetCursor(w->cls->cursor);
        return TRUE;
      }
      return FALSE;
    }
    case WM_RBUTTONUP: {
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &pt);
      SendMessageW(hwnd, WM_CONTEXTMENU, hwnd,
                   MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
      return 0;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
      if (w->parent) return SendMessageW(w->parent, msg, wParam, lParam);
      return 0;
    case WM_NCHITTEST: return HTCLIENT;
    case WM_MOUSEACTIVATE: return 1;  // MA_ACTIVATE
    default: return 0;
  }
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
  Window* w = FindWindowData(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return static_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    case GWLP_ID: return static_cast<LONG_PTR>(w->id);
    case GWL_STYLE: return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    default: break;
  }
  if (w->isDialog) {
    if (index == DWLP_MSGRESULT) return w->msgResult;
    if (index == DWLP_DLGPROC) return reinterpret_cast<LONG_PTR>(w->dlgProc);
    if (index == DWLP_USER) return w->dlgUser;
  }
  if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
    LONG_PTR v;
    std::memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
  }
  return 0;
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  Window* w = FindWindowData(hwnd);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtrW(hwnd, index);
  switch (index) {
    case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); return old;
    case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); return old;
    case GWLP_ID: w->id = static_cast<UINT_PTR>(value); return old;
    case GWL_STYLE: w->style = static_cast<DWORD>(value); return old;
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); return old;
    case GWLP_USERDATA: w->userData = value; return old;
    case GWLP_HWNDPARENT: return 0;
    default: break;
  }
  if (w->isDialog) {
    if (index == DWLP_MSGRESULT) {
      w->msgResult = value;
      return old;
    }
    if (index == DWLP_DLGPROC) {
      w->dlgProc = reinterpret_cast<DLGPROC>(value);
      return old;
    }
    if (index == DWLP_USER) {
      w->dlgUser = value;
      return old;
    }
  }
  if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
  }
  return 0;
}

// ---- tree ---------------------------------------------------------------------------

HWND GetParent(HWND hwnd) {
  Window* w = FindWindowData(hwnd);
  if (!w) return 0;
  if (w->parent) return w->parent;
  return (w->style & WS_POPUP) ? w->owner : 0;
}

HWND SetParent(HWND hwnd, HWND newParent) {
  Window* w = FindWindowData(hwnd);
  if (!w) return 0;
  if (newParent == kDesktop) newParent = 0;
  if (newParent && (!FindWindowData(newParent) || newParent == hwnd || IsChild(hwnd, newParent)))
    return 0;
  HWND old = w->parent ? w->parent : kDesktop;
  Unlink(w);
  w->parent = newParent;
  if (newParent) {
    auto& list = FindWindowData(newParent)->children;
    list.insert(list.begin(), hwnd);
  } else {
    State().topLevel.insert(State().topLevel.begin(), hwnd);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  return old;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  Window* w = FindWindowData(hwnd);
  if (!w) return 0;
  switch (flags) {
    case GA_PARENT: return w->parent ? w->parent : kDesktop;
    case GA_ROOT:
      while (w->parent) w = FindWindowData(w->parent);
      return w->hwnd;
    case GA_ROOTOWNER: {
      HWND h = GetAncestor(hwnd, GA_ROOT);
      for (Window* r = FindWindowData(h); r && r->owner; r = FindWindowData(r->owner)) h = r->owner;
      return h;
    }
    default: return 0;
  }
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  Window* w = FindWindowData(hwnd);
  if (!w) return 0;
  if (cmd == GW_CHILD) return w->children.empty() ? 0 : w->children.front();
  if (cmd == GW_OWNER) return w->owner;
  auto& list = SiblingsOf(w);
  auto it = std::find(list.begin(), list.end(), hwnd);
  if (it == list.end()) return 0;
  switch (cmd) {
    case GW_HWNDFIRST: return list.front();
    case GW_HWNDLAST: return list.back();
    case GW_HWNDNEXT: return std::next(it) == list.end() ? 0 : *std::next(it);
    case GW_HWNDPREV: return it == list.begin() ? 0 : *std::prev(it);
    default: return 0;
  }
}

HWND GetTopWindow(HWND hwnd) {
  if (!hwnd || hwnd == kDesktop) return State().topLevel.empty() ? 0 : State().topLevel.front();
  return GetWindow(hwnd, GW_CHILD);
}

BOOL IsChild(HWND parent, HWND hwnd) {
  Window* w = FindWindowData(hwnd);
  while (w && w->parent) {
    if (w->parent == parent) return TRUE;
    w = FindWindowData(w->parent);
  }
  return FALSE;
}

namespace {
void CollectDescendants(HWND hwnd, std::vector<HWND>& out) {
  Window* w = FindWindowData(hwnd);
  if (!w) return;
  for (HWND c : w->children) {
    out.push_back(c);
    CollectDescendants(c, out);
  }
}
}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  if (!proc) return FALSE;
  std::vector<HWND> all;
  if (!parent || parent == kDesktop) {
    for (HWND t : State().topLevel) {
      all.push_back(t);
      CollectDescendants(t, all);
    }
  } else {
    CollectDescendants(parent, all);
  }
  for (HWND h : all)
    if (IsWindow(h) && !proc(h, lParam)) break;
  return TRUE;
}

HWND FindWindowExW(HWND parent, HWND childAfter, LPCWSTR className, LPCWSTR windowName) {
  std::vector<HWND> list;
  if (!parent || parent == kDesktop) list = State().topLevel;
  else if (Window* p = FindWindowData(parent)) list = p->children;
  else return 0;
  auto it = list.begin();
  if (childAfter) {
    it = std::find(list.begin(), list.end(), childAfter);
    if (it == list.end()) return 0;
    ++it;
  }
  for (; it != list.end(); ++it) {
    Window* w = FindWindowData(*it);
    if (w && ClassMatches(className, w) && TextMatches(windowName, w->text)) return *it;
  }
  return 0;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
  return FindWindowExW(0, 0, className, windowName);
}

// ---- geometry -----------------------------------------------------------------------

BOOL GetWindowRect(HWND hwnd, RECT* rc) {
  if (!rc) return FALSE;
  if (hwnd == kDesktop) {
    *rc = RECT{0, 0, State().screenWidth, State().screenHeight};
    return TRUE;
  }
  Window* w = FindWindowData(hwnd);
  if (!w) return FALSE;
  POINT o = ScreenOrigin(w);
  *rc = RECT{o.x, o.y, o.x + w->Width(), o.y + w->Height()};
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rc) {
  if (!rc) return FALSE;
  if (hwnd == kDesktop) return GetWindowRect(hwnd, rc);
  Window* w = FindWindowData(hwnd);
  if (!w) return FALSE;
  *rc = RECT{0, 0, w->Width(), w->Height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
  Window* w = FindWindowData(hwnd);
  if (!w || !pt) return FALSE;
  POINT o = ScreenOrigin(w);
  pt->x += o.x;
  pt->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
  Window* w = FindWindowData(hwnd);
  if (!w || !pt) return FALSE;
  POINT o = ScreenOrigin(w);
  pt->x -= o.x;
  pt->y -= o.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  POINT a{0, 0}, b{0, 0};
  if (from && from != kDesktop) {
    Window* w = FindWindowData(from);
    if (!w) return 0;
    a = ScreenOrigin(w);
  }
  if (to && to != kDesktop) {
    Window* w = FindWindowData(to);
    if (!w) return 0;
    b = ScreenOrigin(w);
  }
  int dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return static_cast<int>(MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy)));
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Window* w = FindWindowData(hwnd);
  if (!w) return FALSE;
  RECT old = w->rect;
  RECT r = old;
  if (!(flags & SWP_NOMOVE)) OffsetRect(&r, x - r.left, y - r.top);
  if (!(flags & SWP_NOSIZE)) {
    r.right = r.left + std::max(0, cx);
    r.bottom = r.top + std::max(0, cy);
  }
  if (!(flags & SWP_NOZORDER)) {
    auto& list = SiblingsOf(w);
    if (insertAfter == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
    if (insertAfter == HWND_NOTOPMOST) w->exStyle &= ~WS_EX_TOPMOST;
    auto after = std::find(list.begin(), list.end(), insertAfter);
    bool valid = insertAfter == HWND_TOP || insertAfter == HWND_BOTTOM ||
                 insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST ||
                 (after != list.end() && insertAfter != hwnd);
    if (valid) {
      list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
      if (insertAfter == HWND_BOTTOM) {
        list.push_back(hwnd);
      } else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST ||
                 insertAfter == HWND_NOTOPMOST) {
        list.insert(list.begin(), hwnd);
      } else {
        auto pos = std::find(list.begin(), list.end(), insertAfter);
        list.insert(std::next(pos), hwnd);
      }
    }
  }
  bool moved = r.left != old.left || r.top != old.top;
  bool sized =
      (r.right - r.left) != (old.right - old.left) || (r.bottom - r.top) != (old.bottom - old.top);
  w->rect = r;
  if (sized) {
    w->canvas->Resize(r.right - r.left, r.bottom - r.top);
    if (!(flags & SWP_NOREDRAW)) InvalidateRect(hwnd, nullptr, TRUE);
  }
  if (flags & SWP_SHOWWINDOW) {
    if (!(w->style & WS_VISIBLE)) {
      w->style |= WS_VISIBLE;
      InvalidateRect(hwnd, nullptr, TRUE);
    }
  } else if (flags & SWP_HIDEWINDOW) {
    if (w->style & WS_VISIBLE) {
      w->style &= ~WS_VISIBLE;
      HWND f = GetFocus();
      if (f && (f == hwnd || IsChild(hwnd, f))) SetFocus(w->parent);
    }
  }
  if (moved && IsWindow(hwnd))
    Deliver(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(r.left), static_cast<WORD>(r.top)));
  if (sized && IsWindow(hwnd))
    Deliver(hwnd, WM_SIZE, SIZE_RESTORED,
            MAKELPARAM(static_cast<WORD>(r.right - r.left), static_cast<WORD>(r.bottom - r.top)));
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, 0, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// ---- state --------------------------------------------------------------------------

BOOL ShowWindow(HWND hwnd, int cmd) {
  Window* w = FindWindowData(hwnd);
  if (!w) return FALSE;
  bool was = (w->style & WS_VISIBLE) != 0;
  bool show = cmd != SW_HIDE;
  if (was == show) return was;
  Deliver(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  w = FindWindowData(hwnd);
  if (!w) return was;
  if (show) {
    w->style |= WS_VISIBLE;
    InvalidateRect(hwnd, nullptr, TRUE);
    if (!w->parent && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE &&
        !(w->exStyle & WS_EX_NOACTIVATE))
      State().active = hwnd;
  } else {
    w->style &= ~WS_VISIBLE;
    HWND f = GetFocus();
    if (f && (f == hwnd || IsChild(hwnd, f))) SetFocus(w->parent);
  }
  return was;
}

BOOL IsWindowVisible(HWND hwnd) {
  Window* w = FindWindowData(hwnd);
  while (w) {
    if (!(w->style & WS_VISIBLE)) return FALSE;
    if (!w->parent) return TRUE;
    w = FindWindowData(w->parent);
  }
  return FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = FindWindowData(hwnd);
  if (!w) return FALSE;
  bool wasDisabled = (w->style & WS_DISABLED) != 0;
  if (wasDisabled == !enable) return wasDisabled;
  if (enable) {
    w->style &= ~WS_DISABLED;
  } else {
    w->style |= WS_DISABLED;
    HWND f = GetFocus();
    if (f && (f == hwnd || IsChild(hwnd, f))) SetFocus(0);
    if (GetCapture() == hwnd) ReleaseCapture();
  }
  if (IsWindow(hwnd)) Deliver(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* w = FindWindowData(hwnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
  if (!IsWindow(hwnd)) return FALSE;
  return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) ? TRUE
                                                                                        : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR buffer, int maxCount) {
  if (!buffer || maxCount <= 0) return 0;
  buffer[0] = 0;
  if (!IsWindow(hwnd)) return 0;
  return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                       reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND hwnd) {
  return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

std::u16string GetWindowTextString(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  if (n <= 0) return {};
  std::u16string text(static_cast<std::size_t>(n) + 1, u'\0');
  int got = GetWindowTextW(hwnd, text.data(), n + 1);
  text.resize(static_cast<std::size_t>(std::max(0, got)));
  return text;
}

int GetDlgCtrlID(HWND hwnd) {
  Window* w = FindWindowData(hwnd);
  return w && w->parent ? static_cast<int>(w->id) : 0;
}

HWND GetDlgItem(HWND parent, int id) {
  Window* p = FindWindowData(parent);
  if (!p) return 0;
  for (HWND c : p->children)
    if (Window* cw = FindWindowData(c); cw && static_cast<int>(cw->id) == id) return c;
  return 0;
}

BOOL SetForegroundWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return FALSE;
  State().active = GetAncestor(hwnd, GA_ROOT);
  return TRUE;
}
HWND GetForegroundWindow() { return State().active; }
HWND GetActiveWindow() { return State().active; }

// ---- hit-testing --------------------------------------------------------------------

HWND WindowFromPoint(POINT screenPoint) {
  std::vector<HWND> tops = State().topLevel;
  for (HWND t : tops) {
    Window* w = FindWindowData(t);
    if (!w || !(w->style & WS_VISIBLE)) continue;
    POINT local{screenPoint.x - w->rect.left, screenPoint.y - w->rect.top};
    if (!WindowContains(w, local.x, local.y)) continue;
    if (!IsEnabledWindow(w)) return t;
    return HitTestFrom(t, local);
  }
  return 0;
}

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags) {
  Window* p = FindWindowData(parent);
  if (!p || !WindowContains(p, pt.x, pt.y)) return 0;
  for (HWND c : p->children) {
    Window* cw = FindWindowData(c);
    if (!cw) continue;
    if ((flags & CWP_SKIPINVISIBLE) && !(cw->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (cw->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (cw->exStyle & WS_EX_TRANSPARENT)) continue;
    if (WindowContains(cw, pt.x - cw->rect.left, pt.y - cw->rect.top)) return c;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) {
  return ChildWindowFromPointEx(parent, pt, CWP_ALL);
}

// ---- painting -----------------------------------------------------------------------

BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase) {
  if (!hwnd) {
    for (auto& [h, w] : State().windows) InvalidateOne(w.get(), nullptr, erase != FALSE);
    return TRUE;
  }
  Window* w = FindWindowData(hwnd);
  if (!w) return FALSE;
  return InvalidateOne(w, rc, erase != FALSE) ? TRUE : FALSE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rc) {
  Window* w = FindWindowData(hwnd);
  if (!w) return FALSE;
  if (!w->invalid) return TRUE;
  RECT both;
  if (!rc || (IntersectRect(&both, rc, &w->invalidRect) && EqualRect(&both, &w->invalidRect))) {
    w->invalid = false;
    w->erase = false;
    w->invalidRect = RECT{};
  }
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  Window* w = FindWindowData(hwnd);
  if (!w) return FALSE;
  if (!w->invalid || !IsWindowVisible(hwnd)) return TRUE;
  Deliver(hwnd, WM_PAINT, 0, 0);
  ValidateRect(hwnd, nullptr);  // a handler that did not validate must not loop forever
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rc, BOOL) {
  Window* w = FindWindowData(hwnd);
  if (!w) return FALSE;
  if (rc) *rc = w->invalid ? w->invalidRect : RECT{};
  return w->invalid ? TRUE : FALSE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rc, HRGN rgn, UINT flags) {
  if (!hwnd) hwnd = 0;
  RECT box;
  if (rgn && GetRgnBox(rgn, &box)) rc = &box;
  std::vector<HWND> targets{hwnd};
  if (flags & RDW_ALLCHILDREN) CollectDescendants(hwnd, targets);
  for (HWND h : targets) {
    if (flags & RDW_INVALIDATE)
      InvalidateRect(h, h == hwnd ? rc : nullptr, (flags & RDW_ERASE) ? TRUE : FALSE);
    if (flags & RDW_VALIDATE) ValidateRect(h, h == hwnd ? rc : nullptr);
  }
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
    for (HWND h : targets) UpdateWindow(h);
  return TRUE;
}

// ---- metrics, reset ------------------------------------------------------------------

int GetSystemMetrics(int index) {
  const auto& s = State();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN: return s.screenWidth;
    case SM_CYSCREEN: return s.screenHeight;
    case SM_CYFULLSCREEN: return s.screenHeight - 20;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL: return 16;
    case SM_CYCAPTION: return 20;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    default: return 0;
  }
}

void SetScreenSize(int width, int height) {
  State().screenWidth = std::max(1, width);
  State().screenHeight = std::max(1, height);
}

BOOL SystemParametersInfoW(UINT action, UINT, void* value, UINT) {
  if (action == SPI_GETWORKAREA && value) {
    *static_cast<RECT*>(value) = RECT{0, 0, State().screenWidth, State().screenHeight};
    return TRUE;
  }
  return FALSE;
}

void ResetUserInterface() {
  // Destroy from the top of every tree until nothing is left (handlers may
  // create windows while others go).
  for (int round = 0; round < 8 && !State().topLevel.empty(); ++round) {
    std::vector<HWND> tops = State().topLevel;
    for (HWND t : tops) DestroyWindow(t);
  }
  State().windows.clear();
  State().topLevel.clear();
  State().active = 0;
  ResetModal();
  ResetTimers();
  ResetQueue();
  ResetInput();
  ResetMenus();
  ResetImageLists();
  ResetGdi();
  ResetControls();
}
