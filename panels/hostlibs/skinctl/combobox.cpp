// The "ComboBox" window class: an edit part, a list, and a drop-down that
// opens as a pop-up menu (so the modal driver chooses, as a person would).
#include "host/skinctl/coolcontrols.h"

#include "platform/text.h"

#include <algorithm>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kArrowWidth = 18;
constexpr int kEditId = 1001;

struct ComboState {
  HWND edit = 0;
  std::vector<std::u16string> items;
  std::vector<LPARAM> data;
  int cursel = -1;
  bool settingText = false;  // edit changes made by the combo itself are not typing
  bool dropList = false;
};

ComboState* StateOf(HWND hwnd) {
  return reinterpret_cast<ComboState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Notify(HWND hwnd, WORD code) {
  HWND parent = GetParent(hwnd);
  if (parent)
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), code),
                 static_cast<LPARAM>(hwnd));
}

void SetEditText(HWND hwnd, ComboState* s, const std::u16string& text) {
  s->settingText = true;
  if (s->edit) SetWindowTextW(s->edit, text.c_str());
  s->settingText = false;
  InvalidateRect(hwnd, nullptr, FALSE);
}

std::u16string CurrentText(ComboState* s) {
  if (s->edit) return GetWindowTextString(s->edit);
  return s->cursel >= 0 ? s->items[static_cast<std::size_t>(s->cursel)] : std::u16string();
}

int DropDown(HWND hwnd, ComboState* s) {
  Notify(hwnd, CBN_DROPDOWN);
  if (s->items.empty()) return -1;
  HMENU menu = CreatePopupMenu();
  for (std::size_t i = 0; i < s->items.size(); ++i)
    AppendMenuW(menu, MF_STRING | (static_cast<int>(i) == s->cursel ? MF_CHECKED : 0), i + 1,
                s->items[i].c_str());
  RECT rc{};
  GetWindowRect(hwnd, &rc);
  UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN, rc.left, rc.bottom, 0, hwnd, nullptr));
  DestroyMenu(menu);
  if (!IsWindow(hwnd) || chosen == 0 || chosen > s->items.size()) return -1;
  s->cursel = static_cast<int>(chosen) - 1;
  SetEditText(hwnd, s, s->items[static_cast<std::size_t>(s->cursel)]);
  Notify(hwnd, CBN_SELCHANGE);
  return s->cursel;
}

LRESULT CALLBACK_ComboProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ComboState* s = StateOf(hwnd);
  switch (msg) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
      auto* st = new ComboState;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(st));
      st->dropList = (cs->style & CBS_DROPDOWNLIST) == CBS_DROPDOWNLIST;
      if (!st->dropList)
        st->edit = CreateWindowExW(0, u"Edit", cs->lpszName ? cs->lpszName : u"",
                                   WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0,
                                   std::max(0, cs->cx - kArrowWidth), cs->cy, hwnd,
                                   static_cast<HMENU>(kEditId), nullptr, nullptr);
      return 0;
    }
    case WM_NCDESTROY:
      delete s;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    default: break;
  }
  if (!s) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_SIZE:
      if (s->edit)
        MoveWindow(s->edit, 0, 0, std::max(0, LOWORD(lParam) - kArrowWidth), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETTEXT:
      SetEditText(hwnd, s,
                  reinterpret_cast<LPCWSTR>(lParam) ? reinterpret_cast<LPCWSTR>(lParam) : u"");
      return TRUE;
    case WM_GETTEXT: {
      std::u16string t = CurrentText(s);
      auto* buf = reinterpret_cast<LPWSTR>(lParam);
      if (!buf || wParam == 0) return 0;
      std::size_t n = std::min<std::size_t>(t.size(), wParam - 1);
      t.copy(buf, n);
      buf[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(CurrentText(s).size());
    case WM_SETFONT:
      if (s->edit) SendMessageW(s->edit, WM_SETFONT, wParam, lParam);
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_SETFOCUS:
      if (s->edit) SetFocus(s->edit);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE && !s->settingText) {
        s->cursel = -1;
        Notify(hwnd, CBN_EDITCHANGE);
      }
      return 0;
    case WM_LBUTTONDOWN: {
      RECT rc{};
      GetClientRect(hwnd, &rc);
      if (s->dropList || GET_X_LPARAM(lParam) >= rc.right - kArrowWidth) DropDown(hwnd, s);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc{};
      GetClientRect(hwnd, &rc);
      HBRUSH frame = CreateSolidBrush(RGB(120, 150, 180));
      RECT arrow{rc.right - kArrowWidth, 0, rc.right, rc.bottom};
      HBRUSH face = CreateSolidBrush(RGB(225, 235, 245));
      FillRect(dc, &arrow, face);
      FrameRect(dc, &rc, frame);
      if (s->dropList && s->cursel >= 0) {
        RECT text{3, 0, rc.right - kArrowWidth, rc.bottom};
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, s->items[static_cast<std::size_t>(s->cursel)].c_str(), -1, &text,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
      }
      DeleteObject(face);
      DeleteObject(frame);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case CB_ADDSTRING:
    case CB_INSERTSTRING: {
      auto* text = reinterpret_cast<LPCWSTR>(lParam);
      std::size_t at =
          msg == CB_ADDSTRING || static_cast<int>(wParam) < 0 || wParam > s->items.size()
              ? s->items.size()
              : wParam;
      s->items.insert(s->items.begin() + static_cast<std::ptrdiff_t>(at), text ? text : u"");
      s->data.insert(s->data.begin() + static_cast<std::ptrdiff_t>(at), 0);
      if (s->cursel >= static_cast<int>(at)) ++s->cursel;
      return static_cast<LRESULT>(at);
    }
    case CB_DELETESTRING: {
      if (wParam >= s->items.size()) return CB_ERR;
      s->items.erase(s->items.begin() + static_cast<std::ptrdiff_t>(wParam));
      s->data.erase(s->data.begin() + static_cast<std::ptrdiff_t>(wParam));
      if (s->cursel == static_cast<int>(wParam)) s->cursel = -1;
      else if (s->cursel > static_cast<int>(wParam)) --s->cursel;
      return static_cast<LRESULT>(s->items.size());
    }
    case CB_RESETCONTENT:
      s->items.clear();
      s->data.clear();
      s->cursel = -1;
      SetEditText(hwnd, s, u"");
      return 0;
    case CB_GETCOUNT: return static_cast<LRESULT>(s->items.size());
    case CB_GETCURSEL: return s->cursel;
    case CB_SETCURSEL: {
      int index = static_cast<int>(static_cast<std::intptr_t>(wParam));
      if (index < 0 || index >= static_cast<int>(s->items.size())) {
        s->cursel = -1;
        SetEditText(hwnd, s, u"");
        return CB_ERR;
      }
      s->cursel = index;
      SetEditText(hwnd, s, s->items[static_cast<std::size_t>(index)]);
      return index;
    }
    case CB_GETLBTEXTLEN:
      return wParam < s->items.size() ? static_cast<LRESULT>(s->items[wParam].size()) : CB_ERR;
    case CB_GETLBTEXT: {
      if (wParam >= s->items.size() || !lParam) return CB_ERR;
      const std::u16string& t = s->items[wParam];
      auto* buf = reinterpret_cast<LPWSTR>(lParam);
      t.copy(buf, t.size());
      buf[t.size()] = 0;
      return static_cast<LRESULT>(t.size());
    }
    case CB_FINDSTRINGEXACT: {
      auto* text = reinterpret_cast<LPCWSTR>(lParam);
      std::size_t n = s->items.size();
      for (std::size_t k = 0; k < n; ++k) {
        std::size_t i = (static_cast<std::size_t>(static_cast<int>(wParam) + 1) + k) % n;
        if (lstrcmpiW(s->items[i].c_str(), text) == 0) return static_cast<LRESULT>(i);
      }
      return CB_ERR;
    }
    case CB_GETITEMDATA: return wParam < s->data.size() ? s->data[wParam] : CB_ERR;
    case CB_SETITEMDATA:
      if (wParam >= s->data.size()) return CB_ERR;
      s->data[wParam] = lParam;
      return TRUE;
    case CB_LIMITTEXT:
      if (s->edit) SendMessageW(s->edit, EM_LIMITTEXT, wParam, 0);
      return TRUE;
    case CB_SHOWDROPDOWN:
      if (wParam) return DropDown(hwnd, s);
      return TRUE;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterComboBoxClass() {
  WNDCLASSW wc;
  if (GetClassInfoW(nullptr, u"ComboBox", &wc)) return;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = CALLBACK_ComboProc;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = u"ComboBox";
  RegisterClassW(&wc);
}

BOOL CCoolComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  RegisterComboBoxClass();
  return CWnd::Create(u"ComboBox", u"", style | WS_CHILD, rect, parent, id);
}

int CCoolComboBox::AddString(LPCWSTR text) {
  return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}
int CCoolComboBox::InsertString(int index, LPCWSTR text) {
  return static_cast<int>(
      SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}
int CCoolComboBox::DeleteString(int index) {
  return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(index)));
}
void CCoolComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }
int CCoolComboBox::GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
int CCoolComboBox::GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
int CCoolComboBox::SetCurSel(int index) {
  return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}
std::u16string CCoolComboBox::GetLBText(int index) const {
  int len = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
  if (len < 0) return {};
  std::u16string t(static_cast<std::size_t>(len) + 1, u'\0');
  SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(t.data()));
  t.resize(static_cast<std::size_t>(len));
  return t;
}
int CCoolComboBox::FindStringExact(int start, LPCWSTR text) const {
  return static_cast<int>(
      SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text)));
}
void CCoolComboBox::LimitText(int max) { SendMessage(CB_LIMITTEXT, static_cast<WPARAM>(max)); }
int CCoolComboBox::ShowDropDown() { return static_cast<int>(SendMessage(CB_SHOWDROPDOWN, TRUE)); }
