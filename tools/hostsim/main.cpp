// hostsim: plays the host of the contact panel library.
//
//   hostsim [--library PATH] [--fixture FILE]... [--program-dir DIR] [--modules DIR]
//           [--decode] [--keep] [--snapshots DIR] LAYOUT [SCENARIO]
//   hostsim --commands
//
// Each run gets a clean world: a fresh temporary program directory (the
// layout's folder copied in, or DIR) and its own registry store. Loads the
// library with the module loader, creates every panel of the layout, runs the
// scenario and prints the transcript. Exit status: 0 when every expectation
// held, 1 when one failed, 2 on bad input. With --snapshots the main window
// is pictured after each step, every menu, message box and dialog as it
// opens, and every `snapshot` line's picture, into DIR with a page fragment
// (the scenario's name + ".html") showing each with the lines before it.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "hostsim/host_session.h"
#include "hostsim/scenario.h"
#include "hostsim/snapshots.h"
#include "platform/message.h"
#include "platform/text.h"

namespace {

int Usage() {
  std::cerr
      << "usage: hostsim [--library PATH] [--fixture FILE]... [--program-dir DIR] [--modules DIR]\n"
         "               [--decode] [--keep] [--snapshots DIR] LAYOUT [SCENARIO]\n"
         "       hostsim --commands\n";
  return 2;
}

std::string Absolute(const std::string& path) {
  std::error_code ec;
  const auto p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

}  // namespace

int main(int argc, char** argv) {
  std::u16string library = CHostSession::DefaultLibraryPath();
  std::vector<std::string> fixtures;
  std::vector<std::string> files;
  std::string programDir, modules, snapshots;
  bool decode = false, keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool takesValue = arg == "--library" || arg == "--fixture" || arg == "--program-dir" ||
                            arg == "--modules" || arg == "--snapshots";
    if (takesValue && i + 1 < argc) {
      const std::string value = argv[++i];
      if (arg == "--library") library = FromUtf8(Absolute(value));
      else if (arg == "--fixture") fixtures.push_back(Absolute(value));
      else if (arg == "--program-dir") programDir = value;
      else if (arg == "--snapshots") snapshots = Absolute(value);
      else modules = Absolute(value);
    } else if (arg == "--decode") {
      decode = true;
    } else if (arg == "--keep") {
      keep = true;
    } else if (arg == "--commands") {
      for (const CScenarioCommand& c : ScenarioCommands()) std::cout << c.usage << "\n";
      return 0;
    } else if (arg.rfind("--", 0) == 0) {
      return Usage();
    } else {
      files.push_back(Absolute(arg));
    }
  }
  if (files.empty() || files.size() > 2) return Usage();

  CScenario scenario;
  if (files.size() == 2) {
    std::ifstream in(files[1], std::ios::binary);
    if (!in) {
      std::cerr << "hostsim: cannot read " << files[1] << "\n";
      return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    if (!ParseScenario(text.str(), scenario, error)) {
      std::cerr << "hostsim: " << files[1] << ": " << error << "\n";
      return 2;
    }
  }

  int status = 0;
  {
    CHostSession session(&std::cout);
    session.SetDecode(decode);
    session.KeepWorld(keep);
    if (!modules.empty()) session.SetModuleSource(modules);
    const std::string layoutDir = std::filesystem::path(files[0]).parent_path().string();
    if (!session.CreateWorld(programDir.empty() ? layoutDir : "", programDir)) {
      std::cerr << "hostsim: " << session.LastError() << "\n";
      return 2;
    }
    for (const std::string& f : fixtures) {
      if (!session.LoadFixtureFile(FromUtf8(f))) {
        std::cerr << "hostsim: " << session.LastError() << "\n";
        return 2;
      }
    }
    if (!session.LoadLibrary(library) || !session.LoadLayoutFile(FromUtf8(files[0]))) {
      std::cerr << "hostsim: " << session.LastError() << "\n";
      return 2;
    }
    CScenarioRunner runner(session);
    std::unique_ptr<CSnapshotRecorder> recorder;
    if (!snapshots.empty()) {
      const std::string stem = std::filesystem::path(files.back()).stem().string();
      recorder = std::make_unique<CSnapshotRecorder>(session, snapshots, stem);
      std::string error;
      if (!recorder->Start(error)) {
        std::cerr << "hostsim: " << error << "\n";
        return 2;
      }
      runner.SetRecorder(recorder.get());
    }
    if (!runner.Run(scenario)) {
      std::cerr << "hostsim: " << runner.Error() << "\n";
      status = 2;
    } else if (runner.Failures() > 0) {
      std::cerr << "hostsim: " << runner.Failures() << " expectation(s) failed\n";
      status = 1;
    }
    if (recorder && !recorder->Finish() && status == 0) {
      std::cerr << "hostsim: a picture could not be written to " << snapshots << "\n";
      status = 2;
    }
    recorder.reset();
    session.UnloadLibrary();
  }
  return status;
}
