// hostsim: plays the host of the contact panel library.
//
//   hostsim [--library PATH] [--fixture FILE]... [--snapshots DIR] LAYOUT [SCENARIO]
//
// Loads the library with the module loader, creates every panel of the
// layout, runs the scenario and prints the transcript. Exit status: 0 when
// every expectation held, 1 when one failed, 2 on bad input. With
// --snapshots the main window is pictured after each step, and every menu,
// message box and dialog as it opens, into DIR with a page fragment
// (SCENARIO's name.html) that shows each picture with the lines before it.
#include <filesystem>
#include <fstream>
#include <memory>
#include <iostream>
#include <sstream>

#include "hostsim/host_session.h"
#include "hostsim/scenario.h"
#include "hostsim/snapshots.h"
#include "platform/message.h"
#include "platform/text.h"

namespace {

int Usage() {
  std::cerr << "usage: hostsim [--library PATH] [--fixture FILE]... [--snapshots DIR] LAYOUT [SCENARIO]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::u16string library = CHostSession::DefaultLibraryPath();
  std::vector<std::string> fixtures;
  std::vector<std::string> files;
  std::string snapshots;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--library" || arg == "--fixture" || arg == "--snapshots") && i + 1 < argc) {
      if (arg == "--library") library = FromUtf8(argv[++i]);
      else if (arg == "--snapshots") snapshots = argv[++i];
      else fixtures.emplace_back(argv[++i]);
    } else if (arg.rfind("--", 0) == 0) {
      return Usage();
    } else {
      files.push_back(arg);
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
      const std::string stem = std::filesystem::path(files.size() == 2 ? files[1] : files[0]).stem().string();
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
