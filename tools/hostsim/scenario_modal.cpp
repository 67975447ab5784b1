// Commands that answer the panels' modal user interface and their requests.
#include <map>

#include "hostsim/host_session.h"
#include "hostsim/scenario.h"
#include "hostsim/scenario_values.h"
#include "platform/message.h"
#include "platform/text.h"

namespace {

using Args = std::vector<std::string>;

bool CmdMenu(CScenarioRunner& r, const Args& a) {
  if (a[0] == "none" && !r.Quoted(0)) r.Session().Modal().QueueMenu(std::monostate{});
  else if (auto n = ScenarioNumber(a[0]); n && !r.Quoted(0))
    r.Session().Modal().QueueMenu(static_cast<UINT>(*n));
  else r.Session().Modal().QueueMenu(FromUtf8(a[0]));
  return true;
}

bool CmdMsgBox(CScenarioRunner& r, const Args& a) {
  static const std::map<std::string, int> answers = {
      {"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
  long long n;
  if (auto it = answers.find(a[0]); it != answers.end()) n = it->second;
  else if (!r.Number(a[0], n)) return false;
  r.Session().Modal().QueueMessageBox(static_cast<int>(n));
  return true;
}

bool CmdDialog(CScenarioRunner& r, const Args& a) {
  if (a[0] != "ok" && a[0] != "cancel") return r.Malformed("a dialog is answered ok or cancel");
  std::vector<CHostDialogSetting> settings;
  for (std::size_t i = 1; i < a.size(); ++i) {
    const std::size_t eq = a[i].find('=');
    long long id;
    if (eq == std::string::npos)
      return r.Malformed("a control setting is ID=\"TEXT\", ID=check or ID=uncheck");
    if (!r.Number(a[i].substr(0, eq), id)) return false;
    CHostDialogSetting s;
    s.id = static_cast<int>(id);
    const std::string value = a[i].substr(eq + 1);
    if (!r.Quoted(i) && (value == "check" || value == "uncheck")) {
      s.check = value == "check" ? 1 : 0;
    } else if (r.Quoted(i)) {
      s.text = FromUtf8(value);
    } else {
      return r.Malformed("a control setting is ID=\"TEXT\", ID=check or ID=uncheck");
    }
    settings.push_back(std::move(s));
  }
  r.Session().Modal().QueueDialog(a[0] == "ok" ? IDOK : IDCANCEL, std::move(settings));
  return true;
}

bool CmdColor(CScenarioRunner& r, const Args& a) {
  if (a.size() == 1) {
    if (a[0] != "cancel") return r.Malformed("color takes R G B or cancel");
    r.Session().Modal().QueueColor(std::nullopt);
    return true;
  }
  if (a.size() != 3) return r.Malformed("color takes R G B or cancel");
  long long c[3];
  for (int i = 0; i < 3; ++i) {
    if (!r.Number(a[i], c[i])) return false;
    if (c[i] < 0 || c[i] > 255) return r.Malformed("a colour part is 0 to 255");
  }
  r.Session().Modal().QueueColor(
      RGB(static_cast<BYTE>(c[0]), static_cast<BYTE>(c[1]), static_cast<BYTE>(c[2])));
  return true;
}

bool CmdAnswer(CScenarioRunner& r, const Args& a) {
  CHostAnswer answer;
  long long result;
  if (!r.Number(a[1], result)) return false;
  answer.result = static_cast<int>(result);
  bool once = false;
  for (std::size_t i = 2; i < a.size(); ++i) {
    if (a[i] == "once") {
      once = true;
      continue;
    }
    int area;
    std::size_t offset;
    std::vector<BYTE> bytes;
    if (!ParsePatch(a[i], area, offset, bytes))
      return r.Malformed("bad answer part \"" + a[i] + "\"");
    (area == 1 ? answer.area1 : answer.area2).emplace_back(offset, std::move(bytes));
  }
  if (once) r.Session().Requests().QueueAnswer(FromUtf8(a[0]), std::move(answer));
  else r.Session().Requests().SetStandingAnswer(FromUtf8(a[0]), std::move(answer));
  return true;
}

bool CmdNoProcessor(CScenarioRunner& r, const Args& a) {
  r.Session().Requests().Forget(FromUtf8(a[0]));
  return true;
}

}  // namespace

void AddModalCommands(std::vector<CScenarioCommand>& t) {
  t.push_back({"menu", "menu ID | menu \"TEXT\" | menu none", 1, 1, CmdMenu});
  t.push_back({"msgbox", "msgbox yes|no|ok|cancel|N", 1, 1, CmdMsgBox});
  t.push_back(
      {"dialog", "dialog ok|cancel [ID=\"TEXT\"]... [ID=check|uncheck]...", 1, 99, CmdDialog});
  t.push_back({"color", "color R G B | color cancel", 1, 3, CmdColor});
  t.push_back({"answer", "answer NAME RESULT [area1@OFF=VALUE]... [area2@OFF=VALUE]... [once]", 2,
               99, CmdAnswer});
  t.push_back({"noprocessor", "noprocessor NAME", 1, 1, CmdNoProcessor});
}
