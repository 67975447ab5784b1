// CPluginTranBtn: a panel that is one transparent button (window class
// "Plugin_Tran_Btn"), the base of the toolbar buttons.
#pragma once

#include "host/plughost.h"

class CPluginTranBtn : public CWnd, public CQWBaseWndPlugin {
 public:
  CPluginTranBtn();
  ~CPluginTranBtn() override;

  BOOL CreatePlugin(HWND parent, const RECT* rc) override;
  BOOL DrawPlugin(HDC dc, const RECT& rc) override;

  HWND GetButton() const { return m_hButton; }

 protected:
  const CQWAttrArray& GetAttrArray() override;
  const CQWEnumAttrMap& GetEnumAttrMap() override;
  void Empty() override;

  // The button was pressed: each panel's own action.
  virtual void OnButtonClick() {}

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC* dc) override;

  std::u16string m_strCaption;     // "Caption": tooltip text
  std::u16string m_strText;        // "Text"
  int m_nTextAlign = 3;            // "TextAlign": left 0, right 1, top 2, bottom 3
  COLORREF m_clrText = 10;         // "TextColor"
  std::u16string m_strButtonIcon;  // "ButtonIcon"
  int m_nFontWeight = 100;         // "FontWeight"
  HWND m_hButton = 0;              // control id 50
};
