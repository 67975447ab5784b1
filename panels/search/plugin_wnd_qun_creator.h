// CPluginWndQunCreator: the group-creation page ("PluginWndQunCreator").
#pragma once

#include "host/plughost.h"

class CPluginWndQunCreator : public CQWBaseWndPlugin {
 public:
  CPluginWndQunCreator();
  ~CPluginWndQunCreator() override;

  BOOL ShowPlugin(BOOL show) override;
  BOOL CreatePlugin(HWND parent, const RECT* rc) override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void UnRegisterMsg() override;
  void Empty() override;
  void RegisterMsg() override;

  COLORREF m_clrBtnText = 0;         // "BtnTextColor"
  int m_nIntraBorderWidth = 1;       // "IntraBorderWidth"
  COLORREF m_clrIntraBack = 0;       // "IntraBackColor"
  COLORREF m_clrIntraText = 0;       // "IntraTextColor"
  COLORREF m_clrIntraBorder = 0;     // "IntraBorderColor"
  std::u16string m_strCreateModule;  // "Plugin_CreateQun_Module"
  std::u16string m_strCreateType;    // "Plugin_CreateQun_TypeName"
  std::u16string m_strFindModule;    // "Plugin_FindQun_Module"
  std::u16string m_strFindType;      // "Plugin_FindQun_TypeName"
};
