// The in-place group-name editor.
#include "host/treeui/groupnameedit.h"

namespace {
constexpr UINT kDlgcWantAllKeys = 0x0004;
}

BOOL CChangeGroupNameEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CEdit::Create((style | WS_CHILD | WS_BORDER | ES_AUTOHSCROLL) & ~WS_VISIBLE, rect, parent,
                       id);
}

void CChangeGroupNameEdit::StartEdit(const std::u16string& text, const RECT& rect) {
  if (!m_hWnd) return;
  MoveWindow(&rect, TRUE);
  SetWindowText(text);
  SetSel(0, -1);
  m_editing = true;
  ShowWindow(SW_SHOW);
  SetFocus();
}

void CChangeGroupNameEdit::EditFinished() {
  if (!m_editing) return;
  // Cleared first: hiding may move the focus here again (kill focus).
  m_editing = false;
  std::u16string text = m_hWnd ? GetWindowText() : std::u16string();
  if (m_hWnd) ShowWindow(SW_HIDE);
  if (m_onFinish) {
    m_onFinish(text);
  } else if (CWnd* parent = m_hWnd ? GetParent() : nullptr) {
    parent->SendMessage(UM_GROUPNAME_EDITED, static_cast<WPARAM>(GetDlgCtrlID()),
                        reinterpret_cast<LPARAM>(text.c_str()));
  }
}

void CChangeGroupNameEdit::CancelEdit() {
  if (!m_editing) return;
  m_editing = false;
  if (m_hWnd) ShowWindow(SW_HIDE);
}

void CChangeGroupNameEdit::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  if (vk == VK_RETURN) {
    EditFinished();
    return;
  }
  if (vk == VK_ESCAPE) {
    CancelEdit();
    return;
  }
  CEdit::OnKeyDown(vk, repeat, flags);
}

void CChangeGroupNameEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
  // Enter and Escape were handled as keys; their characters would only beep.
  if (ch == u'\r' || ch == 0x1B) return;
  CEdit::OnChar(ch, repeat, flags);
}

void CChangeGroupNameEdit::OnKillFocus(CWnd* newWnd) {
  CEdit::OnKillFocus(newWnd);
  EditFinished();
}

UINT CChangeGroupNameEdit::OnGetDlgCode() { return CEdit::OnGetDlgCode() | kDlgcWantAllKeys; }
