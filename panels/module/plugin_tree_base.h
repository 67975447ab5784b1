// CPluginTreeBase: what the tree panels (friends, groups) share.
#pragma once

#include "host/plughost.h"

class CPluginTreeBase : public CQWBaseWndPlugin {
 public:
  CPluginTreeBase();

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void Empty() override;
  void UpdateWithBaseColor(COLORREF color) override;

  // The background colour a tree should use: tinted by the base colour when
  // "usebasecolor" is on, as set otherwise.
  COLORREF GetTreeBackColor() const;

  BOOL m_bUseBaseColor = FALSE;  // "usebasecolor"
};
