// The library's two entry points. Everything else stays inside the library.
// Neither lets an exception out: a failed creation yields null, a failed
// release is logged and ignored.
#include "host/plughost.h"
#include "module/panel_app.h"
#include "module/plugin_factory.h"
#include "platform/barrier.h"

namespace {

CQWBasePlugin* CreateAndRegister(const char16_t* name) {
  CPanelModuleApp* app = GetRunningPanelApp();
  if (!app) return nullptr;
  CQWBasePlugin* plugin = CreatePluginByName(name);
  if (!plugin) return nullptr;
  if (!app->Registry().Add(plugin)) {
    delete plugin;  // an unregistered plug-in would outlive the library
    return nullptr;
  }
  return plugin;
}

void FindAndDestroy(CQWBasePlugin* plugin) {
  CPanelModuleApp* app = GetRunningPanelApp();
  if (!app) return;  // before start or after end: nothing of ours is alive
  CPluginRegistry& registry = app->Registry();
  const std::ptrdiff_t index = registry.Find(plugin);
  if (index < 0) return;  // not ours, or already freed
  // Out of the registry before the destructor runs, so that nothing it calls
  // can reach the half-destroyed object through the registry.
  registry.RemoveAt(static_cast<std::size_t>(index));
  delete plugin;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) CQWBasePlugin* GetPlugin(const char16_t* name) {
  return platform::GuardCall(u"GetPlugin", static_cast<CQWBasePlugin*>(nullptr),
                             [&] { return CreateAndRegister(name); });
}

extern "C" __attribute__((visibility("default"))) void FreePlugin(CQWBasePlugin* plugin) {
  platform::GuardCall(u"FreePlugin", [&] { FindAndDestroy(plugin); });
}
