#include "module/plugin_factory.h"

#include <new>

#include "account/plugin_logon.h"
#include "account/plugin_menu.h"
#include "account/plugin_muc_entry.h"
#include "account/plugin_own_photo.h"
#include "account/plugin_own_setup.h"
#include "friendtree/plugin_ftree.h"
#include "grouptree/plugin_qtree.h"
#include "module/plugin_btn_qun.h"
#include "module/plugin_guard.h"
#include "module/plugin_toolbar_btns.h"
#include "platform/text.h"
#include "recent/plugin_recent_contact.h"
#include "search/plugin_find.h"
#include "search/plugin_resize.h"
#include "search/plugin_skin.h"
#include "search/plugin_sys_setup.h"
#include "search/plugin_wnd_qun_creator.h"

namespace {

template <class T>
CQWBasePlugin* Make() {
  // The conversion picks the interface part out of a multiply-derived object;
  // the host only ever sees the panel behind the exception barrier.
  return new (std::nothrow) CQWGuardedPlugin<T>;
}

struct PluginClass {
  const char16_t* name;
  CQWBasePlugin* (*create)();
};

// Compared in this order; the first match wins.
constexpr PluginClass kPluginClasses[] = {
    {u"PluginBtnQunCreator", Make<CPluginBtnQunCreator>},
    {u"PluginBtnQunFinder", Make<CPluginBtnQunFinder>},
    {u"PluginWndQunCreator", Make<CPluginWndQunCreator>},
    {u"PluginLogon", Make<CPluginLogon>},
    {u"PluginOwnPhoto", Make<CPluginOwnPhoto>},
    {u"PluginOwnSetup", Make<CPluginOwnSetup>},
    {u"PluginFTree", Make<CPluginFTree>},
    {u"PluginQTree", Make<CPluginQTree>},
    {u"PluginMenu", Make<CPluginMenu>},
    {u"PluginAddFriend", Make<CPluginAddFriend>},
    {u"PluginBtnColor", Make<CPluginBtnColor>},
    {u"PluginRecentTree", Make<CPluginRecentContact>},
    {u"PluginSkin", Make<CPluginSkin>},
    {u"PluginResize", Make<CPluginResize>},
    {u"PluginFind", Make<CPluginFind>},
    {u"PluginMucEntry", Make<CPluginMucEntry>},
    {u"PluginHistory", Make<CPluginHistory>},
    {u"PluginSysSetup", Make<CPluginSysSetup>},
};

}  // namespace

CQWBasePlugin* CreatePluginByName(const char16_t* name) {
  if (!name) return nullptr;
  for (const PluginClass& c : kPluginClasses) {
    if (lstrcmpiW(name, c.name) == 0) return c.create();
  }
  return nullptr;
}
