#include "account/plugin_muc_entry.h"

namespace {
const std::vector<UINT> kMucEntryMsgs = {3, 1530, 1532};
}

CPluginMucEntry::CPluginMucEntry() {
  m_strType = u"PluginMucEntry";
  CPluginMucEntry::Empty();
}

CPluginMucEntry::~CPluginMucEntry() { CPluginMucEntry::UnRegisterMsg(); }

const CQWAttrArray& CPluginMucEntry::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBaseWndPlugin::GetAttrArray(),
      {
          QW_PLUGIN_ATTR(ATTR_TEXT, CPluginMucEntry, m_strTip, u"Tip", u"提示"),
          QW_PLUGIN_ATTR(ATTR_TEXT, CPluginMucEntry, m_strIconFile, u"IconFile", u"图标文件"),
      });
  return attrs;
}

void CPluginMucEntry::Empty() {
  CQWBaseWndPlugin::Empty();
  m_strTip.clear();
  m_strIconFile.clear();
}

void CPluginMucEntry::RegisterMsg() { RegisterIds(kMucEntryMsgs); }
void CPluginMucEntry::UnRegisterMsg() { UnRegisterIds(kMucEntryMsgs); }

LRESULT CPluginMucEntry::OnNotify(UINT, WPARAM, LPARAM) { return 0; }
