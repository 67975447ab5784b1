// CDialog and the control classes of the class framework.
//
// A CDialog is built from a numbered template of the resource module
// (AfxGetResourceHandle, dialog.h) or from a template object. DoModal runs
// it through the modal driver (modal.h); OnInitDialog, OnOK and OnCancel are
// the usual virtual hooks (OnOK/OnCancel end the dialog with IDOK/IDCANCEL).
#pragma once

#include "platform/controls.h"
#include "platform/cwnd.h"
#include "platform/dialog.h"
#include "platform/tooltip.h"

class CDialog : public CWnd {
 public:
  CDialog() = default;
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  CDialog(const DialogTemplate& dlgTemplate, CWnd* parent = nullptr);

  virtual INT_PTR DoModal();
  // Modeless.
  virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
  BOOL CreateIndirect(const DialogTemplate& dlgTemplate, CWnd* parent = nullptr);
  void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  UINT m_nIDTemplate = 0;
  CWnd* m_pParentWnd = nullptr;

 private:
  const DialogTemplate* ResolveTemplate() const;
  bool hasTemplate_ = false;
  DialogTemplate template_;
};

class CButton : public CWnd {
 public:
  BOOL Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};

class CEdit : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  void SetLimitText(UINT max) { SendMessage(EM_LIMITTEXT, max); }
  UINT GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT)); }
  void LimitText(int max = 0) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(max)); }
  void SetSel(int start, int end, BOOL noScroll = FALSE);
  void GetSel(int& start, int& end) const;
  void ReplaceSel(LPCWSTR text, BOOL canUndo = FALSE) {
    SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
  }
  BOOL SetReadOnly(BOOL readOnly = TRUE) {
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly));
  }
};

class CStatic : public CWnd {
 public:
  BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xffff);
};

class CToolTipCtrl : public CWnd {
 public:
  // A top-level tool tip owned by parent's window.
  BOOL Create(CWnd* parent, DWORD style = 0);
  // rect null: the whole window is the tool (the window is the id).
  BOOL AddTool(CWnd* wnd, LPCWSTR text, const RECT* rect = nullptr, UINT_PTR id = 0);
  BOOL AddTool(CWnd* wnd, const std::u16string& text, const RECT* rect = nullptr, UINT_PTR id = 0) {
    return AddTool(wnd, text.c_str(), rect, id);
  }
  void DelTool(CWnd* wnd, UINT_PTR id = 0);
  void UpdateTipText(LPCWSTR text, CWnd* wnd, UINT_PTR id = 0);
  void SetToolRect(CWnd* wnd, UINT_PTR id, const RECT* rect);
  void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate); }
  void RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
  int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
  int SetMaxTipWidth(int width) {
    return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width));
  }
  void SetDelayTime(UINT delay) { SendMessage(TTM_SETDELAYTIME, 0, static_cast<LPARAM>(delay)); }

 private:
  TOOLINFOW Info(CWnd* wnd, UINT_PTR id, const RECT* rect) const;
};
