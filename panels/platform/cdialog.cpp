#include "platform/cdialog.h"

#include "platform/cwinapp.h"

namespace {

// The dialog procedure of framework dialogs: the object, attached when the
// dialog window is created, handles everything.
INT_PTR FrameworkDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::CDialog(const DialogTemplate& dlgTemplate, CWnd* parent)
    : m_pParentWnd(parent), hasTemplate_(true), template_(dlgTemplate) {}

const DialogTemplate* CDialog::ResolveTemplate() const {
  if (hasTemplate_) return &template_;
  return FindDialogTemplate(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate));
}

INT_PTR CDialog::DoModal() {
  if (m_hWnd) return -1;
  HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : 0;
  INT_PTR r;
  AttachToNextWindow();
  if (hasTemplate_) {
    DialogTemplate copy = template_;
    r = DialogBoxIndirectParamW(AfxGetResourceHandle(), &copy, owner, FrameworkDlgProc, 0);
  } else {
    HINSTANCE module = AfxGetResourceHandle();
    if (!FindDialogTemplate(module, MAKEINTRESOURCEW(m_nIDTemplate))) module = nullptr;
    r = DialogBoxParamW(module, MAKEINTRESOURCEW(m_nIDTemplate), owner, FrameworkDlgProc, 0);
  }
  CancelAttachToNextWindow();
  return r;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  m_nIDTemplate = templateId;
  hasTemplate_ = false;
  m_pParentWnd = parent;
  const DialogTemplate* t = ResolveTemplate();
  if (!t) t = FindDialogTemplate(nullptr, MAKEINTRESOURCEW(templateId));
  if (!t || m_hWnd) return FALSE;
  DialogTemplate copy = *t;
  AttachToNextWindow();
  HWND hdlg = CreateDialogIndirectParamW(AfxGetResourceHandle(), &copy, parent ? parent->m_hWnd : 0,
                                         FrameworkDlgProc, 0);
  CancelAttachToNextWindow();
  return hdlg != 0 && hdlg == m_hWnd;
}

BOOL CDialog::CreateIndirect(const DialogTemplate& dlgTemplate, CWnd* parent) {
  if (m_hWnd) return FALSE;
  m_pParentWnd = parent;
  AttachToNextWindow();
  HWND hdlg = CreateDialogIndirectParamW(AfxGetResourceHandle(), &dlgTemplate,
                                         parent ? parent->m_hWnd : 0, FrameworkDlgProc, 0);
  CancelAttachToNextWindow();
  return hdlg != 0 && hdlg == m_hWnd;
}

BOOL CDialog::OnInitDialog() { return TRUE; }
void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) return OnInitDialog();
  return CWnd::WindowProc(msg, wParam, lParam);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      OnOK();
      return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      OnCancel();
      return TRUE;
    }
  }
  return CWnd::OnCommand(wParam, lParam);
}

BOOL CButton::Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(u"Button", caption, style, rect, parent, id);
}

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(u"Edit", u"", style, rect, parent, id);
}

void CEdit::SetSel(int start, int end, BOOL) {
  SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void CEdit::GetSel(int& start, int& end) const {
  DWORD s = 0, e = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<int>(s);
  end = static_cast<int>(e);
}

BOOL CStatic::Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(u"Static", text, style, rect, parent, id);
}

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
  return CreateEx(0, TOOLTIPS_CLASSW, u"", WS_POPUP | style, 0, 0, 0, 0,
                  parent ? parent->m_hWnd : 0, 0);
}

TOOLINFOW CToolTipCtrl::Info(CWnd* wnd, UINT_PTR id, const RECT* rect) const {
  TOOLINFOW ti;
  ti.hwnd = wnd ? wnd->m_hWnd : 0;
  if (rect) {
    ti.uId = id;
    ti.rect = *rect;
  } else {
    ti.uFlags = TTF_IDISHWND;
    ti.uId = ti.hwnd;
  }
  return ti;
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCWSTR text, const RECT* rect, UINT_PTR id) {
  if (!wnd) return FALSE;
  TOOLINFOW ti = Info(wnd, id, rect);
  ti.lpszText = const_cast<LPWSTR>(text);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR id) {
  TOOLINFOW ti = Info(wnd, id, nullptr);
  if (id) ti.uId = id;
  SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCWSTR text, CWnd* wnd, UINT_PTR id) {
  TOOLINFOW ti = Info(wnd, id, nullptr);
  if (id) ti.uId = id;
  ti.lpszText = const_cast<LPWSTR>(text);
  SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::SetToolRect(CWnd* wnd, UINT_PTR id, const RECT* rect) {
  if (!rect) return;
  TOOLINFOW ti = Info(wnd, id, rect);
  SendMessage(TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
}
