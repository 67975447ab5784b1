#include "module/plugin_tree_base.h"

CPluginTreeBase::CPluginTreeBase() {
  m_nMinWidth = 60;
  m_nMinHeight = 100;
  CPluginTreeBase::Empty();
}

const CQWAttrArray& CPluginTreeBase::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBaseWndPlugin::GetAttrArray(),
      {QW_PLUGIN_ATTR(ATTR_BOOL, CPluginTreeBase, m_bUseBaseColor, u"usebasecolor", u"使用基色")});
  return attrs;
}

void CPluginTreeBase::Empty() {
  CQWBaseWndPlugin::Empty();
  m_bUseBaseColor = FALSE;
}

COLORREF CPluginTreeBase::GetTreeBackColor() const {
  return m_bUseBaseColor ? GetDrawBackColor() : m_clrBack;
}

void CPluginTreeBase::UpdateWithBaseColor(COLORREF color) {
  // Without "usebasecolor" the tree keeps its own colours.
  if (m_bUseBaseColor) CQWBaseWndPlugin::UpdateWithBaseColor(color);
}
