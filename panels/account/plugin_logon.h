// CPluginLogon: the logon panel ("PluginLogon").
#pragma once

#include "host/plughost.h"

class CPluginLogon : public CWnd, public CQWBaseWndPlugin {
 public:
  CPluginLogon();
  ~CPluginLogon() override;

  BOOL CreatePlugin(HWND parent, const RECT* rc) override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void Empty() override;
  void RegisterMsg() override;
  void UnRegisterMsg() override;

  COLORREF m_clrText = 0;                 // "TextColor"
  COLORREF m_clrLinkNormal = 0;           // "LinkNormal"
  COLORREF m_clrLinkHover = 0;            // "LinkHover"
  std::u16string m_strStatusIcon;         // "StatusIcon"
  std::u16string m_strStatusButtonIcon;   // "StatusButtonIcon"
  std::u16string m_strUserRegisterIcon;   // "UserRegisterIcon"
  std::u16string m_strLogoningAnimation;  // "LogoningAnimation"
};
