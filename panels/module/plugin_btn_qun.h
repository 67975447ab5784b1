// The two group buttons: "PluginBtnQunCreator" asks for the group-creation
// page, "PluginBtnQunFinder" for the group search (notification 3195).
#pragma once

#include "host/plughost.h"

// What both buttons share: their attributes and their window.
class CPluginBtnQunBase : public CQWBaseWndPlugin {
 public:
  BOOL CreatePlugin(HWND parent, const RECT* rc) override;

 protected:
  CPluginBtnQunBase(const char16_t* type, const char16_t* windowClass);
  const CQWAttrArray& GetAttrArray() override;
  void Empty() override;

  std::u16string m_strButtonText;  // "ButtonText"
  COLORREF m_clrText = 0;          // "TextColor"
  std::u16string m_strIconFile;    // "IconFile"

 private:
  const char16_t* m_szWindowClass;
};

class CPluginBtnQunCreator : public CPluginBtnQunBase {
 public:
  CPluginBtnQunCreator();
};

class CPluginBtnQunFinder : public CPluginBtnQunBase {
 public:
  CPluginBtnQunFinder();
  ~CPluginBtnQunFinder() override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  void UnRegisterMsg() override;
  void RegisterMsg() override;
};
