// Scenarios: a small line language that drives a host session.
//
// One command per line; "#" starts a comment; words are separated by blanks
// and a word in double quotes may hold blanks ("\"" and "\\" inside).
//
//   notify ID [W [L]]          the host sends notification ID to the panels;
//                              W and L: a number, owner (the own-account
//                              record), main (the main window), workdir,
//                              text:"..." (UTF-16 text), ansi:"..." (8-bit,
//                              system code page), pos:DATA:ID (position of
//                              the record with that identifier in DATA)
//   click PANEL X Y            left click at X,Y of the panel's window
//   dblclick PANEL X Y         double-click; rclick PANEL X Y: right click
//   key PANEL KEY              a key pressed in the panel (Enter, Escape,
//                              Delete, Space, Tab, Up, Down, Left, Right,
//                              F2, a letter or digit, or a virtual-key number)
//   type PANEL "TEXT"          text typed into the panel
//   menu ID | menu "TEXT" | menu none
//                              how the next menu is answered
//   msgbox ANSWER              the next message box: ok, cancel, yes, no or a number
//   dialog ok|cancel           the next dialog
//   color R G B | color cancel the next colour dialog
//   answer NAME RESULT [area1@OFF=VALUE] [area2@OFF=VALUE] [once]
//                              how the host answers request NAME; VALUE is
//                              hex bytes, int:N or text:"..." (UTF-16)
//   noprocessor NAME           the host has no processor for NAME
//   advance MS                 the clock moves on
//   status ID CODE             a friend of "MurFriendData" changes status;
//                              the host notifies 1365 for it and its group
//   show PANEL | hide PANEL | move PANEL X Y W H | basecolor R G B
//   dump PANEL                 the panel's trees (or windows) into the transcript
//   echo TEXT...               a line into the transcript
//   expect request NAME [area1=SPEC] [area2=SPEC]
//                              a request since the previous request
//                              expectation; SPEC is the whole area in hex,
//                              "-" for an area not requested, or OFF:HEX for
//                              bytes at an offset
//   expect norequest           no request since the previous expectation
//   expect notify ID [W [L]]   a notification that a panel sent
//   expect menuitem ID [checked|grayed|enabled|unchecked]
//                              an item of the last menu shown
//   expect nomenu              no menu shown since the previous expectation
//   expect line "TEXT"         a transcript line since the previous expectation
#pragma once

#include <string>
#include <vector>

class CHostSession;
class CSnapshotRecorder;

struct CScenarioLine {
  int number = 0;
  std::vector<std::string> words;   // UTF-8, quotes removed
};

struct CScenario {
  std::vector<CScenarioLine> lines;
};

// Splits a scenario text; false with a message naming the line on bad input
// (unknown command, wrong word count, unterminated quote).
bool ParseScenario(const std::string& text, CScenario& out, std::string& error);

class CScenarioRunner {
 public:
  explicit CScenarioRunner(CHostSession& session) : m_session(session) {}
  // Runs every line; failed expectations are printed ("FAIL line N: ...")
  // and counted; a line that cannot be carried out stops the run.
  bool Run(const CScenario& scenario);
  int Failures() const { return m_failures; }
  const std::string& Error() const { return m_error; }
  // Told of every line before and after it runs (hostsim --snapshots).
  void SetRecorder(CSnapshotRecorder* recorder) { m_recorder = recorder; }

 private:
  bool Step(const CScenarioLine& line);
  bool Expect(const CScenarioLine& line);
  void Fail(const CScenarioLine& line, const std::string& what);

  CHostSession& m_session;
  CSnapshotRecorder* m_recorder = nullptr;
  int m_failures = 0;
  std::string m_error;
  std::size_t m_requestMark = 0;   // requests before this were looked at
  std::size_t m_noticeMark = 0;
  std::size_t m_lineMark = 0;
  std::size_t m_menuMark = 0;
  std::vector<std::vector<char16_t>> m_texts;   // texts passed by address
  std::vector<std::string> m_ansiTexts;
};
