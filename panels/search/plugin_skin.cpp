#include "search/plugin_skin.h"

CPluginSkin::CPluginSkin() { m_strType = u"PluginSkin"; }
