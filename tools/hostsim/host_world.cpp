// The world a run sees: its own program directory and registry store, and
// the further modules a layout asks to have beside the host program.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "hostsim/host_session.h"
#include "platform/file.h"
#include "platform/module.h"
#include "platform/registry.h"
#include "platform/text.h"

#ifndef HOSTSIM_STANDIN_DIR
#define HOSTSIM_STANDIN_DIR ""
#endif

namespace fs = std::filesystem;

namespace {

// What a stand-in module reports of the calls it gets goes to the transcript.
void RecordStandInLine(void* context, const char* line) {
  static_cast<CHostSession*>(context)->Print(line ? line : "");
}

using RecorderSetter = void (*)(void (*)(void*, const char*), void*);

}  // namespace

std::string CHostSession::DefaultModuleSource() {
  if (const char* env = std::getenv("HOSTSIM_MODULES"); env && *env) return env;
  return HOSTSIM_STANDIN_DIR;
}

bool CHostSession::CreateWorld(const std::string& copyFrom, const std::string& programDir) {
  LeaveWorld();
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/hostsim.XXXXXX";
  if (!::mkdtemp(pattern.data())) return Fail("cannot make a temporary folder in " + pattern);
  m_worldRoot = pattern;
  std::error_code ec;
  if (programDir.empty()) {
    m_programDir = m_worldRoot + "/program";
    fs::create_directory(m_programDir, ec);
    if (!copyFrom.empty()) {
      fs::copy(copyFrom, m_programDir,
               fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
      if (ec) return Fail("cannot copy " + copyFrom + ": " + ec.message());
    }
  } else {
    m_programDir = fs::absolute(programDir, ec).lexically_normal().string();
    if (!m_programDir.empty() && m_programDir.back() == '/') m_programDir.pop_back();
    if (!fs::is_directory(m_programDir, ec)) return Fail("no program directory " + programDir);
  }
  RegSetStoreFile(m_worldRoot + "/registry");
  SetModuleFileNameOverride(FromUtf8(m_programDir + "/hostsim"));
  // Relative paths the panels use (the work directory) resolve in the world.
  m_previousCwd = fs::current_path(ec).string();
  if (::chdir(m_programDir.c_str()) != 0) return Fail("cannot enter " + m_programDir);
  return true;
}

void CHostSession::LeaveWorld() {
  if (m_worldRoot.empty()) return;
  if (!m_previousCwd.empty() && ::chdir(m_previousCwd.c_str()) != 0) {
    // The old directory is gone; the run is over anyway.
  }
  RegSetStoreFile("");
  SetModuleFileNameOverride(u"");
  std::error_code ec;
  if (m_keepWorld)
    std::fprintf(stderr, "hostsim: the run's world is kept in %s\n", m_worldRoot.c_str());
  else fs::remove_all(m_worldRoot, ec);
  m_worldRoot.clear();
  m_programDir.clear();
  m_previousCwd.clear();
}

std::string CHostSession::ProgramPath(const std::string& relative) const {
  std::string p = relative;
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  if (p.empty() || p[0] == '/' || p.find(':') != std::string::npos) return "";
  const fs::path rel = fs::path(p).lexically_normal();
  if (rel.empty() || *rel.begin() == "..") return "";
  const std::string base =
      m_programDir.empty() ? ToFileSystemPath(GetModuleDirectoryW()) : m_programDir + "/";
  return base + rel.string();
}

bool CHostSession::LoadModule(const CXmlNode& node) {
  // <module file="Dialog.dll" [dir="work"]/>: a stand-in module copied into
  // the program directory (or a folder of it) so the panels find it there.
  const std::string file = ToUtf8(node.Attribute(u"file"));
  if (file.empty() || file.find('/') != std::string::npos || file.find('\\') != std::string::npos)
    return Fail("a <module> names a file: file=\"NAME\"");
  const std::string dir = ToUtf8(node.Attribute(u"dir"));
  const std::string target = ProgramPath(dir.empty() ? file : dir + "/" + file);
  if (target.empty()) return Fail("bad module folder \"" + dir + "\"");
  const std::string source =
      (m_moduleSource.empty() ? DefaultModuleSource() : m_moduleSource) + "/" + file;
  std::error_code ec;
  fs::create_directories(fs::path(target).parent_path(), ec);
  fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
  if (ec) return Fail("cannot copy module " + source + ": " + ec.message());
  // Held for the session: the panels' own loads of the file share it, and
  // its recorder stays pointed at this transcript.
  HMODULE m = LoadLibraryW(FromUtf8(target).c_str());
  if (!m) return Fail("cannot load module " + target + ": " + GetLoaderErrorText());
  m_standIns.push_back(m);
  using Generic = void (*)();
  if (auto set = reinterpret_cast<RecorderSetter>(
          reinterpret_cast<Generic>(GetProcAddress(m, "StandInSetRecorder"))))
    set(RecordStandInLine, this);
  return true;
}

CHostPanel* CHostSession::AddModulePanel(const CXmlNode& node, const RECT& rc) {
  // <panel module="Dialog.dll" type="PluginReq" .../>: a plug-in of another
  // module, driven like the library's own panels.
  const std::u16string file = node.Attribute(u"module");
  HMODULE m = LoadLibraryW(FromUtf8(ProgramPath(ToUtf8(file))).c_str());
  if (!m) {
    Fail("cannot load module " + ToUtf8(file) + ": " + GetLoaderErrorText());
    return nullptr;
  }
  m_standIns.push_back(m);
  using Generic = void (*)();
  auto get = reinterpret_cast<CQWBasePlugin* (*)(const char16_t*)>(
      reinterpret_cast<Generic>(GetProcAddress(m, "GetPlugin")));
  auto free = reinterpret_cast<void (*)(CQWBasePlugin*)>(
      reinterpret_cast<Generic>(GetProcAddress(m, "FreePlugin")));
  if (!get || !free) {
    Fail(ToUtf8(file) + " does not export GetPlugin and FreePlugin");
    return nullptr;
  }
  const std::u16string type = node.Attribute(u"type");
  CHostPanel* p = AddPanelFrom(get(type.c_str()), free, type, node.Attribute(u"name"), rc, node);
  if (!p) Fail(ToUtf8(file) + " makes no plug-in \"" + ToUtf8(type) + "\"");
  return p;
}

void CHostSession::ReleaseStandIns() {
  using Generic = void (*)();
  for (HMODULE m : m_standIns) {
    if (auto set = reinterpret_cast<RecorderSetter>(
            reinterpret_cast<Generic>(GetProcAddress(m, "StandInSetRecorder"))))
      set(nullptr, nullptr);
    FreeLibrary(m);
  }
  m_standIns.clear();
}
