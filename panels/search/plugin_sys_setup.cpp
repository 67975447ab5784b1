#include "search/plugin_sys_setup.h"

#include "module/request.h"

CPluginSysSetup::CPluginSysSetup() { m_strType = u"PluginSysSetup"; }

void CPluginSysSetup::OnButtonClick() { QWSimpleRequest(m_pDataProcessMgr, u"sys/Setup"); }
