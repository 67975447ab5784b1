// CPluginBtnWnd: a panel that is one rounded button window (window class
// "Plugin_Btn_Wnd"), the base of the own-status panel.
#pragma once

#include "host/plughost.h"

class CPluginBtnWnd : public CWnd, public CQWBaseWndPlugin {
 public:
  CPluginBtnWnd();
  ~CPluginBtnWnd() override;

  BOOL CreatePlugin(HWND parent, const RECT* rc) override;

  HWND GetButton() const { return m_hButton; }

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void Empty() override;

  // The button was pressed: each panel's own action.
  virtual void OnButtonClick() {}

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC* dc) override;

  COLORREF m_clrText = 0;          // "TextColor"
  COLORREF m_clrHover = 0;         // "HoverColor" (not reset by Empty)
  BOOL m_bShowHoverEdge = TRUE;    // "ShowHoverEdge"
  std::u16string m_strButtonIcon;  // "ButtonIcon"
  int m_nFontWeight = 100;         // "FontWeight"
  HWND m_hButton = 0;              // control id 50
};
