// A stand-in for a plug-in module that lies outside the panel library (the
// request dialog module and the group dialog modules). It makes plug-ins of
// the names it is built with; each records every call it gets, one line per
// call, through the recorder the host installs (StandInSetRecorder). Built
// once per module: STANDIN_MODULE names the file, STANDIN_GROUP_DIALOGS
// makes it the group dialog module instead of the request dialog module.
#include <cstdio>
#include <string>

#include "host/plughost.h"
#include "platform/text.h"
#include "platform/window.h"

#ifndef STANDIN_MODULE
#define STANDIN_MODULE "Dialog.dll"
#endif

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

void (*g_record)(void*, const char*) = nullptr;
void* g_context = nullptr;

void Record(const std::string& line) {
  const std::string full = std::string(STANDIN_MODULE) + " " + line;
  if (g_record) g_record(g_context, full.c_str());
  else std::fprintf(stderr, "%s\n", full.c_str());
}

std::string Quote(const std::u16string& text) { return "\"" + ToUtf8(text) + "\""; }

// A value as a transcript can show it: addresses differ from run to run.
std::string Value(std::uintptr_t v) {
  if (v > 0xffffffffu) return "ptr";
  return std::to_string(static_cast<std::int64_t>(static_cast<std::int32_t>(v)));
}

std::u16string TextAt(const BYTE* p, std::size_t chars) {
  std::u16string out;
  for (std::size_t i = 0; p && i < chars; ++i) {
    const char16_t c = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
    if (!c) break;
    out.push_back(c);
  }
  return out;
}

std::string Set(const void* p) { return p ? "set" : "null"; }

class CStandInPlugin : public CQWBasePlugin {
 public:
  explicit CStandInPlugin(std::u16string name) : m_name(std::move(name)) { m_strType = m_name; }

  void SetDataProcessMgr(CQWDataProcessorManager* m) override {
    Log("SetDataProcessMgr " + Set(m));
    CQWBasePlugin::SetDataProcessMgr(m);
  }
  void SetContainer(CQWContainer* c) override {
    Log("SetContainer " + Set(c));
    CQWBasePlugin::SetContainer(c);
  }
  void SetPluginManager(CQWPluginManager* m) override {
    Log("SetPluginManager " + Set(m));
    CQWBasePlugin::SetPluginManager(m);
  }
  void SetMsgManager(CQWMsgManager* m) override {
    Log("SetMsgManager " + Set(m));
    CQWBasePlugin::SetMsgManager(m);
  }
  void SetDataManager(CQWDataManager* m) override {
    Log("SetDataManager " + Set(m));
    CQWBasePlugin::SetDataManager(m);
  }
  void SetWorkDir(const char16_t* dir) override {
    Log("SetWorkDir " + Quote(dir ? dir : u""));
    CQWBasePlugin::SetWorkDir(dir);
  }
  void SetBaseColor(COLORREF c) override {
    Log("SetBaseColor " + std::to_string(c));
    CQWBasePlugin::SetBaseColor(c);
  }
  BOOL LoadInfo(const CXmlNode&) override {
    Log("LoadInfo");
    return TRUE;
  }
  BOOL ShowPlugin(BOOL show) override {
    Log("ShowPlugin " + std::to_string(show));
    return TRUE;
  }
  BOOL HidePlugin() override {
    Log("HidePlugin");
    return TRUE;
  }
  BOOL MovePlugin(const RECT& rc) override {
    Log("MovePlugin " + Rect(&rc));
    return TRUE;
  }
  BOOL CreatePlugin(HWND parent, const RECT* rc) override {
    char16_t cls[64] = {};
    if (parent) GetClassNameW(parent, cls, 64);
    Log("CreatePlugin parent=" + (parent ? ToUtf8(cls) : std::string("none")) +
        " rect=" + Rect(rc));
    return TRUE;
  }
  LRESULT OnNotify(UINT id, WPARAM w, LPARAM l) override {
    Log("OnNotify " + std::to_string(id) + " " + Argument(id, w) + " " +
        Value(static_cast<std::uintptr_t>(l)));
    return 0;
  }
  ~CStandInPlugin() override = default;

 protected:
  // Hosted as a panel, it listens for what a request dialog is told.
  void RegisterMsg() override {
    Log("RegisterMsg");
    RegisterIds({3233, 3198, 3076});
  }
  void UnRegisterMsg() override {
    Log("UnRegisterMsg");
    UnRegisterIds({3233, 3198, 3076});
  }

 private:
  void Log(const std::string& what) { Record(ToUtf8(m_name) + " " + what); }

  static std::string Rect(const RECT* rc) {
    if (!rc) return "none";
    return std::to_string(rc->left) + "," + std::to_string(rc->top) + "," +
           std::to_string(rc->right - rc->left) + "," + std::to_string(rc->bottom - rc->top);
  }

  // The notifications a request dialog gets carry a text and two records.
  static std::string Argument(UINT id, WPARAM w) {
    const auto* p = reinterpret_cast<const BYTE*>(w);
    if (!p) return "0";
    switch (id) {
      case 3233: return "text:" + Quote(TextAt(p, 1024));
      case 3076: return "owner:" + Quote(TextAt(p + 72, 64));  // own user identifier
      case 3198: return "group:" + Quote(TextAt(p + 35, 64));  // group identifier
      default: return Value(w);
    }
  }

  std::u16string m_name;
};

bool Makes(const std::u16string& name) {
#ifdef STANDIN_GROUP_DIALOGS
  static const char16_t* const kNames[] = {u"PluginCreateQun", u"PluginFindQun"};
#else
  static const char16_t* const kNames[] = {u"PluginReq"};
#endif
  for (const char16_t* n : kNames) {
    if (name == n) return true;
  }
  return false;
}

}  // namespace

STANDIN_EXPORT void StandInSetRecorder(void (*record)(void*, const char*), void* context) {
  g_record = record;
  g_context = context;
}

STANDIN_EXPORT CQWBasePlugin* GetPlugin(const char16_t* name) {
  const std::u16string n = name ? name : u"";
  if (!Makes(n)) {
    Record("GetPlugin " + Quote(n) + " -> none");
    return nullptr;
  }
  Record("GetPlugin " + Quote(n));
  return new CStandInPlugin(n);
}

STANDIN_EXPORT void FreePlugin(CQWBasePlugin* plugin) {
  if (!plugin) return;
  Record("FreePlugin " + ToUtf8(plugin->GetPluginType()));
  delete plugin;
}
