#include "platform/dialog.h"

#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/input.h"
#include "platform/ui_internal.h"

#include <map>
#include <string>

namespace platform::ui {
namespace {

std::map<std::pair<HINSTANCE, UINT>, DialogTemplate>& Templates() {
  static std::map<std::pair<HINSTANCE, UINT>, DialogTemplate> templates;
  return templates;
}

// Results of ended dialogs, kept past the window's destruction until the run returns.
std::unordered_map<HWND, INT_PTR>& EndResults() {
  static std::unordered_map<HWND, INT_PTR> results;
  return results;
}

bool ReturnsDirectly(UINT msg) {
  return msg == WM_INITDIALOG || (msg >= WM_CTLCOLOREDIT && msg <= WM_CTLCOLORSTATIC);
}

HWND FirstTabStop(HWND hdlg) {
  for (HWND c = GetWindow(hdlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    auto style = static_cast<DWORD>(GetWindowLongPtrW(c, GWL_STYLE));
    if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return c;
  }
  return 0;
}

HWND CreateDialogWindow(HINSTANCE module, const DialogTemplate* t, HWND owner, DLGPROC proc,
                        LPARAM param, UINT templateId, bool modal) {
  if (!t) return 0;
  const std::u16string cls = t->className.empty() ? std::u16string(u"#32770") : t->className;
  bool child = (t->style & WS_CHILD) != 0;
  RECT rc = t->rect;
  if (!child && owner) {
    POINT o{0, 0};
    ClientToScreen(owner, &o);
    OffsetRect(&rc, o.x, o.y);
  }
  HWND hdlg =
      CreateWindowExW(t->exStyle, cls.c_str(), t->caption.c_str(), t->style & ~WS_VISIBLE, rc.left,
                      rc.top, rc.right - rc.left, rc.bottom - rc.top, owner, 0, module, nullptr);
  Window* w = FindWindowData(hdlg);
  if (!w) return 0;
  w->isDialog = true;
  w->dlgProc = proc;
  w->modal = modal;
  (void)templateId;
  for (const auto& item : t->items) {
    HWND c = CreateWindowExW(item.exStyle, item.className.c_str(), item.text.c_str(),
                             item.style | WS_CHILD, item.rect.left, item.rect.top,
                             item.rect.right - item.rect.left, item.rect.bottom - item.rect.top,
                             hdlg, static_cast<HMENU>(item.id), module, nullptr);
    if (!c) {
      DestroyWindow(hdlg);
      return 0;
    }
  }
  HWND first = FirstTabStop(hdlg);
  if (SendMessageW(hdlg, WM_INITDIALOG, first, param) && IsWindow(hdlg))
    SetFocus(first ? first : hdlg);
  if (IsWindow(hdlg) && ((t->style & WS_VISIBLE) || modal)) ShowWindow(hdlg, SW_SHOW);
  return IsWindow(hdlg) ? hdlg : 0;
}

INT_PTR RunModal(HINSTANCE module, const DialogTemplate* t, HWND owner, DLGPROC proc, LPARAM param,
                 UINT templateId) {
  if (!t) return -1;
  if (owner == kDesktop) owner = 0;
  ModalScope scope(owner);
  HWND hdlg = CreateDialogWindow(module, t, owner, proc, param, templateId, true);
  if (!hdlg) return -1;
  if (ModalDriver* driver = GetModalDriver(); driver && !IsDialogEnded(hdlg)) {
    DialogView view;
    view.dialog = hdlg;
    view.owner = owner;
    view.templateId = templateId;
    view.caption = t->caption;
    driver->OnDialog(view);
  }
  PumpMessages();
  if (IsWindow(hdlg) && !IsDialogEnded(hdlg)) {
    // Left open: cancelled, as Escape would.
    SendMessageW(hdlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 static_cast<LPARAM>(GetDlgItem(hdlg, IDCANCEL)));
    PumpMessages();
  }
  INT_PTR result = IDCANCEL;
  if (auto it = EndResults().find(hdlg); it != EndResults().end()) {
    result = it->second;
    EndResults().erase(it);
  }
  if (IsWindow(hdlg)) DestroyWindow(hdlg);
  return result;
}

}  // namespace

}  // namespace platform::ui

using namespace platform::ui;

LRESULT DefDlgProcW(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = FindWindowData(hdlg);
  if (!w) return 0;
  if (w->isDialog && w->dlgProc) {
    DLGPROC proc = w->dlgProc;
    w->msgResult = 0;
    INT_PTR r = proc(hdlg, msg, wParam, lParam);
    if (r) {
      if (ReturnsDirectly(msg)) return r;
      w = FindWindowData(hdlg);
      return w ? w->msgResult : 0;
    }
    w = FindWindowData(hdlg);
    if (!w) return 0;
  }
  switch (msg) {
    case WM_INITDIALOG: return TRUE;  // default: give the focus to the first control
    case WM_CLOSE:
      SendMessageW(hdlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   static_cast<LPARAM>(GetDlgItem(hdlg, IDCANCEL)));
      return 0;
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hdlg, &rc);
      FillRect(static_cast<HDC>(wParam), &rc, GetSysColorBrush(COLOR_3DFACE));
      return 1;
    }
    default: return DefWindowProcW(hdlg, msg, wParam, lParam);
  }
}

void RegisterDialogTemplate(HINSTANCE module, UINT id, DialogTemplate dlgTemplate) {
  Templates()[{module, id}] = std::move(dlgTemplate);
}

const DialogTemplate* FindDialogTemplate(HINSTANCE module, LPCWSTR name) {
  if (!IS_INTRESOURCE(name)) return nullptr;
  auto id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name));
  auto& t = Templates();
  if (auto it = t.find({module, id}); it != t.end()) return &it->second;
  if (!module)
    for (auto& [key, value] : t)
      if (key.second == id) return &value;
  return nullptr;
}

INT_PTR DialogBoxIndirectParamW(HINSTANCE module, const DialogTemplate* t, HWND owner, DLGPROC proc,
                                LPARAM initParam) {
  return RunModal(module, t, owner, proc, initParam, 0);
}

INT_PTR DialogBoxParamW(HINSTANCE module, LPCWSTR name, HWND owner, DLGPROC proc,
                        LPARAM initParam) {
  const DialogTemplate* t = FindDialogTemplate(module, name);
  if (!t) return -1;
  DialogTemplate copy = *t;  // the registry may change while the dialog runs
  UINT id = IS_INTRESOURCE(name) ? static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name)) : 0;
  return RunModal(module, &copy, owner, proc, initParam, id);
}

HWND CreateDialogIndirectParamW(HINSTANCE module, const DialogTemplate* t, HWND owner, DLGPROC proc,
                                LPARAM initParam) {
  return CreateDialogWindow(module, t, owner, proc, initParam, 0, false);
}

HWND CreateDialogParamW(HINSTANCE module, LPCWSTR name, HWND owner, DLGPROC proc,
                        LPARAM initParam) {
  const DialogTemplate* t = FindDialogTemplate(module, name);
  if (!t) return 0;
  DialogTemplate copy = *t;
  UINT id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name));
  return CreateDialogWindow(module, &copy, owner, proc, initParam, id, false);
}

BOOL EndDialog(HWND hdlg, INT_PTR result) {
  Window* w = FindWindowData(hdlg);
  if (!w || !w->isDialog) return FALSE;
  w->ended = true;
  w->endResult = result;
  bool modal = w->modal;
  if (modal) EndResults()[hdlg] = result;
  else ShowWindow(hdlg, SW_HIDE);
  return TRUE;
}

bool IsDialogEnded(HWND hdlg, INT_PTR* result) {
  Window* w = FindWindowData(hdlg);
  if (!w || !w->ended) return false;
  if (result) *result = w->endResult;
  return true;
}

BOOL SetDlgItemTextW(HWND hdlg, int id, LPCWSTR text) {
  HWND c = GetDlgItem(hdlg, id);
  return c ? SetWindowTextW(c, text) : FALSE;
}

UINT GetDlgItemTextW(HWND hdlg, int id, LPWSTR buffer, int maxCount) {
  HWND c = GetDlgItem(hdlg, id);
  if (!c) {
    if (buffer && maxCount > 0) buffer[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextW(c, buffer, maxCount));
}

BOOL SetDlgItemInt(HWND hdlg, int id, UINT value, BOOL isSigned) {
  std::string digits = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
  std::u16string text(digits.begin(), digits.end());
  return SetDlgItemTextW(hdlg, id, text.c_str());
}

UINT GetDlgItemInt(HWND hdlg, int id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = FALSE;
  HWND c = GetDlgItem(hdlg, id);
  if (!c) return 0;
  std::u16string text = GetWindowTextString(c);
  std::size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (isSigned && i < text.size() && (text[i] == u'-' || text[i] == u'+'))
    negative = text[i++] == u'-';
  if (i >= text.size()) return 0;
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > 0xFFFFFFFFLL) return 0;
  }
  while (i < text.size() && text[i] == u' ') ++i;
  if (i != text.size()) return 0;
  if (isSigned && value > (negative ? 0x80000000LL : 0x7FFFFFFFLL)) return 0;
  if (translated) *translated = TRUE;
  return static_cast<UINT>(negative ? -value : value);
}

LRESULT SendDlgItemMessageW(HWND hdlg, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND c = GetDlgItem(hdlg, id);
  return c ? SendMessageW(c, msg, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND hdlg, int id, UINT check) {
  HWND c = GetDlgItem(hdlg, id);
  if (!c) return FALSE;
  SendMessageW(c, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND hdlg, int id) {
  return static_cast<UINT>(SendDlgItemMessageW(hdlg, id, BM_GETCHECK, 0, 0));
}
