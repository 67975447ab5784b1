// treeui: CChangeGroupNameEdit, the in-place edit box for renaming a group.
//
// The owner places it over the item (MoveWindow), puts the old name in and
// shows it with StartEdit. Enter or losing the focus finishes (EditFinished),
// Escape cancels (CancelEdit). Finishing hides the box and reports the text
// to the owner: through the finish handler when one is set, else by sending
// the parent UM_GROUPNAME_EDITED (wParam: the control id, lParam: the text as
// a const char16_t*, valid during the call).
#pragma once

#include "platform/framework.h"

#include <functional>
#include <string>

constexpr UINT UM_GROUPNAME_EDITED = WM_USER + 0x701;

class CChangeGroupNameEdit : public CEdit {
 public:
  CChangeGroupNameEdit() = default;
  ~CChangeGroupNameEdit() override = default;

  // A hidden child edit with a border.
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Puts `text` in, selects it all, shows the box over `rect` (parent
  // co-ordinates) and gives it the focus.
  void StartEdit(const std::u16string& text, const RECT& rect);
  // Ends an open edit and reports the text; nothing when none is open.
  void EditFinished();
  // Ends an open edit without a report.
  void CancelEdit();
  BOOL IsEditing() const { return m_editing; }

  void SetFinishHandler(std::function<void(const std::u16string& text)> handler) {
    m_onFinish = std::move(handler);
  }

  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnChar(UINT ch, UINT repeat, UINT flags) override;
  void OnKillFocus(CWnd* newWnd) override;
  UINT OnGetDlgCode() override;

 private:
  bool m_editing = false;
  std::function<void(const std::u16string&)> m_onFinish;
};
