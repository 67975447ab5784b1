// Pictures of a run (hostsim --snapshots DIR): the main window after each
// step of the scenario, every menu, message box and dialog the panels open,
// and the pictures that `snapshot` lines ask for; plus a page fragment that
// shows each picture with the scenario lines that led to it.
#pragma once

#include "platform/canvas.h"
#include "platform/snapshot.h"

#include <memory>
#include <string>
#include <vector>

class CHostSession;

// The window of a panel by its layout name, or of the main window for
// "main", composed with its children; for a panel without a window of its
// own, its rectangle of the main window. Empty for an unknown name.
Canvas SnapshotPanel(CHostSession& session, const std::string& panel);

class CSnapshotRecorder {
 public:
  // Pictures are named after `stem` (the scenario's file name without its
  // extension) inside `dir`, which is created when missing.
  CSnapshotRecorder(CHostSession& session, std::string dir, std::string stem);
  // Puts back the driver it replaced.
  ~CSnapshotRecorder();
  CSnapshotRecorder(const CSnapshotRecorder&) = delete;
  CSnapshotRecorder& operator=(const CSnapshotRecorder&) = delete;

  // Creates the folder and starts catching modal pictures; false with a
  // message when the folder cannot be made.
  bool Start(std::string& error);

  // Around each scenario line, given as written (words re-joined).
  void BeforeLine(int number, const std::vector<std::string>& words);
  void AfterLine(const std::vector<std::string>& words);
  // A picture a `snapshot` line wrote: copied into the folder as
  // `stem`-FILE and shown on the page.
  void Written(const std::string& path);

  // At the end: a last step picture, then `stem`.html, a fragment of the
  // gallery page. False when a picture or the page could not be written.
  bool Finish();

 private:
  struct Entry {
    std::string picture;  // file name inside the folder
    std::string kind;     // "step", "menu", "snapshot"
    std::string section;  // the last "echo ==" heading
    std::vector<std::string> lines;
  };
  void Step();
  void Add(const std::string& path, const std::string& kind);

  CHostSession& m_session;
  std::string m_dir, m_stem;
  std::unique_ptr<SnapshotModalDriver> m_driver;
  ModalDriver* m_previous = nullptr;
  std::vector<Entry> m_entries;
  std::vector<std::string> m_pending;  // lines since the last picture
  std::string m_section;
  Canvas m_last;  // the last step picture
  int m_steps = 0;
  bool m_ok = true;
  bool m_started = false;
};
