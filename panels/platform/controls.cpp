#include "platform/controls.h"

#include "platform/dialog.h"
#include "platform/drawtext.h"
#include "platform/input.h"
#include "platform/tooltip.h"
#include "platform/ui_internal.h"

#include <algorithm>

namespace platform::ui {
namespace {

struct ControlState {
  // Buttons.
  UINT check = BST_UNCHECKED;
  bool pushed = false;
  // Edits.
  std::size_t selStart = 0;
  std::size_t selEnd = 0;
  std::size_t limit = 30000;
  char16_t passwordChar = u'*';
};

std::unordered_map<HWND, ControlState>& States() {
  static std::unordered_map<HWND, ControlState> states;
  return states;
}

ControlState& StateOf(HWND hwnd) { return States()[hwnd]; }

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)); }

void Notify(HWND hwnd, WORD code) {
  HWND parent = GetParent(hwnd);
  if (parent)
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), code),
                 static_cast<LPARAM>(hwnd));
}

// The background brush the parent asks for (WM_CTLCOLORxxx), or the default.
HBRUSH BackgroundBrush(HWND hwnd, HDC hdc, UINT ctlColourMsg, int defaultColour) {
  HWND parent = GetParent(hwnd);
  if (parent) {
    auto br =
        static_cast<HBRUSH>(SendMessageW(parent, ctlColourMsg, hdc, static_cast<LPARAM>(hwnd)));
    if (br) return br;
  }
  return GetSysColorBrush(defaultColour);
}

// Selects the font the control was given with WM_SETFONT, if any, so that
// text is measured and drawn in it.
void SelectControlFont(HWND hwnd, HDC hdc) {
  auto font = static_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  if (font) SelectObject(hdc, font);
}

// ---- Button -------------------------------------------------------------------------

void ButtonClicked(HWND hwnd) {
  DWORD type = StyleOf(hwnd) & BS_TYPEMASK;
  if (type == BS_AUTOCHECKBOX) {
    auto& s = StateOf(hwnd);
    s.check = s.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    InvalidateRect(hwnd, nullptr, TRUE);
  } else if (type == BS_AUTORADIOBUTTON) {
    HWND parent = GetParent(hwnd);
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (c != hwnd && (StyleOf(c) & BS_TYPEMASK) == BS_AUTORADIOBUTTON && States().count(c)) {
        StateOf(c).check = BST_UNCHECKED;
        InvalidateRect(c, nullptr, TRUE);
      }
    StateOf(hwnd).check = BST_CHECKED;
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  Notify(hwnd, BN_CLICKED);
}

void PaintButton(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  DWORD type = StyleOf(hwnd) & BS_TYPEMASK;
  const ControlState& s = StateOf(hwnd);
  std::u16string text = GetWindowTextString(hwnd);
  SelectControlFont(hwnd, hdc);
  FillRect(hdc, &rc, BackgroundBrush(hwnd, hdc, WM_CTLCOLORBTN, COLOR_BTNFACE));
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc,
               IsWindowEnabled(hwnd) ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
  if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
      type == BS_AUTORADIOBUTTON) {
    int top = (rc.bottom - 13) / 2;
    RECT box{0, top, 13, top + 13};
    FillRect(hdc, &box, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(hdc, &box, GetSysColorBrush(COLOR_WINDOWTEXT));
    if (s.check == BST_CHECKED) {
      RECT mark{3, top + 3, 10, top + 10};
      FillRect(hdc, &mark, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
    RECT textRc{17, 0, rc.right, rc.bottom};
    DrawTextW(hdc, text.c_str(), -1, &textRc, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  } else if (type != BS_OWNERDRAW) {
    FrameRect(hdc, &rc, GetSysColorBrush(s.pushed ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW));
    DrawTextW(hdc, text.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK_Button(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: StateOf(hwnd); break;
    case WM_NCDESTROY: States().erase(hwnd); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(hwnd);
      StateOf(hwnd).pushed = true;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP: {
      bool was = StateOf(hwnd).pushed;
      StateOf(hwnd).pushed = false;
      if (GetCapture() == hwnd) ReleaseCapture();
      RECT rc;
      GetClientRect(hwnd, &rc);
      InvalidateRect(hwnd, nullptr, TRUE);
      if (was && PtInRect(&rc, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
        ButtonClicked(hwnd);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (States().count(hwnd)) StateOf(hwnd).pushed = false;
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE) ButtonClicked(hwnd);
      return 0;
    case BM_CLICK: ButtonClicked(hwnd); return 0;
    case BM_GETCHECK: return StateOf(hwnd).check;
    case BM_SETCHECK:
      StateOf(hwnd).check = static_cast<UINT>(wParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case BM_GETSTATE: return StateOf(hwnd).check | (StateOf(hwnd).pushed ? BST_PUSHED : 0);
    case BM_SETSTATE:
      StateOf(hwnd).pushed = wParam != 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETTEXT:
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintButton(hwnd); return 0;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// ---- Edit ---------------------------------------------------------------------------

void SetEditText(HWND hwnd, const std::u16string& text) {
  Window* w = FindWindowData(hwnd);
  if (w) w->text = text;
}

std::pair<std::size_t, std::size_t> Selection(HWND hwnd, std::size_t length) {
  auto& s = StateOf(hwnd);
  std::size_t a = std::min(std::min(s.selStart, s.selEnd), length);
  std::size_t b = std::min(std::max(s.selStart, s.selEnd), length);
  return {a, b};
}

// Replaces the selection with `insert`, cut to the limit. Returns whether
// the text changed; `refused` tells a cut was needed.
bool ReplaceSelection(HWND hwnd, std::u16string insert, bool* refused = nullptr) {
  std::u16string text = GetWindowTextString(hwnd);
  auto [a, b] = Selection(hwnd, text.size());
  auto& s = StateOf(hwnd);
  std::size_t room = s.limit > text.size() - (b - a) ? s.limit - (text.size() - (b - a)) : 0;
  if (insert.size() > room) {
    insert.resize(room);
    if (refused) *refused = true;
  }
  if (insert.empty() && a == b) return false;
  text.replace(a, b - a, insert);
  SetEditText(hwnd, text);
  s.selStart = s.selEnd = a + insert.size();
  InvalidateRect(hwnd, nullptr, TRUE);
  return true;
}

void Changed(HWND hwnd) {
  Notify(hwnd, EN_UPDATE);
  if (IsWindow(hwnd)) Notify(hwnd, EN_CHANGE);
}

// The caret position nearest to client x, measured in the edit's font.
std::size_t CaretFromX(HWND hwnd, const std::u16string& text, int x) {
  HDC hdc = GetDC(hwnd);
  SelectControlFont(hwnd, hdc);
  std::size_t caret = TextPositionFromX(hdc, text, x - 2);
  ReleaseDC(hwnd, hdc);
  return caret;
}

void PaintEdit(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  DWORD style = StyleOf(hwnd);
  SelectControlFont(hwnd, hdc);
  // The parent may set the text colour while it picks the brush (grey
  // prompts), so the defaults go first and stay unless it does.
  SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(hdc, GetSysColor(COLOR_WINDOW));
  FillRect(hdc, &rc, BackgroundBrush(hwnd, hdc, WM_CTLCOLOREDIT, COLOR_WINDOW));
  if (style & WS_BORDER) FrameRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
  std::u16string text = GetWindowTextString(hwnd);
  if (style & ES_PASSWORD) text.assign(text.size(), StateOf(hwnd).passwordChar);
  SetBkMode(hdc, TRANSPARENT);
  RECT textRc{2, 0, rc.right - 2, rc.bottom};
  UINT align = (style & ES_CENTER) ? DT_CENTER : (style & ES_RIGHT) ? DT_RIGHT : DT_LEFT;
  DrawTextW(
      hdc, text.c_str(), -1, &textRc,
      align | DT_NOPREFIX | ((style & ES_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER));
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK_Edit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: StateOf(hwnd); break;
    case WM_NCDESTROY: States().erase(hwnd); break;
    case WM_SETTEXT: {
      DefWindowProcW(hwnd, msg, wParam, lParam);
      auto& s = StateOf(hwnd);
      s.selStart = s.selEnd = 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      Changed(hwnd);
      return TRUE;
    }
    case WM_CHAR: {
      DWORD style = StyleOf(hwnd);
      if (style & ES_READONLY) return 0;
      auto ch = static_cast<char16_t>(wParam);
      if (ch == 0x08) {
        std::u16string text = GetWindowTextString(hwnd);
        auto [a, b] = Selection(hwnd, text.size());
        if (a == b) {
          if (a == 0) return 0;
          StateOf(hwnd).selStart = a - 1;
          StateOf(hwnd).selEnd = a;
        }
        if (ReplaceSelection(hwnd, u"")) Changed(hwnd);
        return 0;
      }
      std::u16string insert;
      if (ch == u'\r' && (style & ES_MULTILINE)) insert = u"\r\n";
      else if (ch < 0x20) return 0;
      else if ((style & ES_NUMBER) && (ch < u'0' || ch > u'9')) return 0;
      else insert.assign(1, ch);
      bool refused = false;
      bool changed = ReplaceSelection(hwnd, insert, &refused);
      if (refused) Notify(hwnd, EN_MAXTEXT);
      if (changed && IsWindow(hwnd)) Changed(hwnd);
      return 0;
    }
    case WM_KEYDOWN: {
      std::u16string text = GetWindowTextString(hwnd);
      auto [a, b] = Selection(hwnd, text.size());
      auto& s = StateOf(hwnd);
      switch (wParam) {
        case VK_LEFT: s.selStart = s.selEnd = a == b && a > 0 ? a - 1 : a; break;
        case VK_RIGHT: s.selStart = s.selEnd = a == b && b < text.size() ? b + 1 : b; break;
        case VK_HOME: s.selStart = s.selEnd = 0; break;
        case VK_END: s.selStart = s.selEnd = text.size(); break;
        case VK_DELETE:
          if (StyleOf(hwnd) & ES_READONLY) break;
          if (a == b) {
            if (b >= text.size()) break;
            s.selEnd = b + 1;
          }
          if (ReplaceSelection(hwnd, u"")) Changed(hwnd);
          break;
        default: break;
      }
      return 0;
    }
    case EM_SETSEL: {
      std::size_t len = static_cast<std::size_t>(GetWindowTextLengthW(hwnd));
      auto& s = StateOf(hwnd);
      auto start = static_cast<long long>(static_cast<int>(wParam));
      auto end = static_cast<long long>(static_cast<int>(lParam));
      if (start < 0) {
        s.selStart = s.selEnd = std::max(s.selStart, s.selEnd);
        return 0;
      }
      if (end < 0) end = static_cast<long long>(len);
      s.selStart = std::min<std::size_t>(static_cast<std::size_t>(start), len);
      s.selEnd = std::min<std::size_t>(static_cast<std::size_t>(end), len);
      return 0;
    }
    case EM_GETSEL: {
      auto [a, b] = Selection(hwnd, static_cast<std::size_t>(GetWindowTextLengthW(hwnd)));
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(a);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(b);
      return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(a), static_cast<WORD>(b)));
    }
    case EM_REPLACESEL: {
      auto* text = reinterpret_cast<LPCWSTR>(lParam);
      if (ReplaceSelection(hwnd, text ? text : u"")) Changed(hwnd);
      return 0;
    }
    case EM_LIMITTEXT:
      StateOf(hwnd).limit = wParam ? static_cast<std::size_t>(wParam) : 0x7FFFFFFE;
      return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(StateOf(hwnd).limit);
    case EM_SETREADONLY: {
      DWORD style = StyleOf(hwnd);
      SetWindowLongPtrW(hwnd, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
      return TRUE;
    }
    case EM_SETPASSWORDCHAR:
      StateOf(hwnd).passwordChar = wParam ? static_cast<char16_t>(wParam) : u'*';
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(hwnd);
      std::u16string text = GetWindowTextString(hwnd);
      auto& s = StateOf(hwnd);
      if (msg == WM_LBUTTONDBLCLK) {
        s.selStart = 0;
        s.selEnd = text.size();
      } else {
        if (StyleOf(hwnd) & ES_PASSWORD) text.assign(text.size(), s.passwordChar);
        s.selStart = s.selEnd = CaretFromX(hwnd, text, GET_X_LPARAM(lParam));
      }
      return 0;
    }
    case WM_SETFOCUS: Notify(hwnd, EN_SETFOCUS); return 0;
    case WM_KILLFOCUS: Notify(hwnd, EN_KILLFOCUS); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintEdit(hwnd); return 0;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// ---- Static -------------------------------------------------------------------------

LRESULT CALLBACK_Static(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETTEXT:
      DefWindowProcW(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case WM_LBUTTONUP:
      if (StyleOf(hwnd) & SS_NOTIFY) Notify(hwnd, STN_CLICKED);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      SelectControlFont(hwnd, hdc);
      FillRect(hdc, &rc, BackgroundBrush(hwnd, hdc, WM_CTLCOLORSTATIC, COLOR_3DFACE));
      DWORD style = StyleOf(hwnd);
      UINT align = (style & 3) == SS_CENTER  ? DT_CENTER
                   : (style & 3) == SS_RIGHT ? DT_RIGHT
                                             : DT_LEFT;
      SetBkMode(hdc, TRANSPARENT);
      std::u16string text = GetWindowTextString(hwnd);
      DrawTextW(hdc, text.c_str(), -1, &rc, align | DT_WORDBREAK);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void ResetControls() { States().clear(); }

}  // namespace platform::ui

namespace platform {

void RegisterBuiltinControls() {
  static bool done = false;
  if (done) return;
  done = true;
  using namespace platform::ui;
  struct Builtin {
    const char16_t* name;
    WNDPROC proc;
    UINT style;
    LPCWSTR cursor;
  };
  const Builtin builtins[] = {
      {u"Button", CALLBACK_Button, CS_DBLCLKS, IDC_ARROW},
      {u"Edit", CALLBACK_Edit, CS_DBLCLKS, IDC_IBEAM},
      {u"Static", CALLBACK_Static, 0, IDC_ARROW},
      {u"#32770", DefDlgProcW, CS_DBLCLKS | CS_SAVEBITS, IDC_ARROW},
      {TOOLTIPS_CLASSW, TooltipWndProc, CS_SAVEBITS, IDC_ARROW},
  };
  for (const auto& b : builtins) {
    WNDCLASSW wc;
    wc.style = b.style;
    wc.lpfnWndProc = b.proc;
    wc.hCursor = LoadCursorW(nullptr, b.cursor);
    wc.lpszClassName = b.name;
    RegisterClassW(&wc);
  }
}

}  // namespace platform
