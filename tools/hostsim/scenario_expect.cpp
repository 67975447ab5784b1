// Expectations on what the panels did: requests, notifications, messages to
// the main window, addresses opened, menus, tree items and transcript lines.
#include "hostsim/host_session.h"
#include "hostsim/scenario.h"
#include "hostsim/scenario_values.h"
#include "platform/text.h"

namespace {

using Args = std::vector<std::string>;

bool ExpectRequest(CScenarioRunner& r, const Args& a) {
  std::string areas[2];
  for (std::size_t i = 1; i < a.size(); ++i) {
    const bool one = a[i].rfind("area1=", 0) == 0, two = a[i].rfind("area2=", 0) == 0;
    if (!one && !two) return r.Malformed("bad request expectation \"" + a[i] + "\"");
    const std::string form = a[i].substr(6);
    if (!AreaTextValid(form)) return r.Malformed("bad area bytes \"" + form + "\"");
    areas[one ? 0 : 1] = form;
  }
  const auto& log = r.Session().Requests().Log();
  std::string seen;
  for (std::size_t i = r.Mark().requests; i < log.size(); ++i) {
    const CHostRequestRecord& q = log[i];
    seen += " " + ToUtf8(q.name);
    if (ToUtf8(q.name) != a[0]) continue;
    if (!areas[0].empty() && !AreaMatches(q.area1, areas[0])) continue;
    if (!areas[1].empty() && !AreaMatches(q.area2, areas[1])) continue;
    r.Mark().requests = i + 1;
    return true;
  }
  return r.Fail("no matching request " + a[0] +
                (seen.empty() ? " (none made)" : " (made:" + seen + ")"));
}

bool ExpectNoRequest(CScenarioRunner& r, const Args&) {
  const auto& log = r.Session().Requests().Log();
  if (log.size() > r.Mark().requests) r.Fail("unexpected " + FormatRequest(log[r.Mark().requests]));
  r.Mark().requests = log.size();
  return true;
}

// ID [W [L]] against a list of recorded messages, from a mark on.
bool ExpectMessage(CScenarioRunner& r, const Args& a, const std::vector<CHostNotice>& list,
                   std::size_t& mark, const std::string& what) {
  long long id, wp = 0, lp = 0;
  if (!r.Number(a[0], id) || (a.size() > 1 && !r.Number(a[1], wp)) ||
      (a.size() > 2 && !r.Number(a[2], lp)))
    return false;
  for (std::size_t i = mark; i < list.size(); ++i) {
    const CHostNotice& x = list[i];
    if (x.id != static_cast<UINT>(id)) continue;
    if (a.size() > 1 && static_cast<long long>(x.wparam) != wp &&
        static_cast<long long>(static_cast<std::int32_t>(x.wparam)) != wp)
      continue;
    if (a.size() > 2 && static_cast<long long>(x.lparam) != lp) continue;
    mark = i + 1;
    return true;
  }
  return r.Fail("no " + what + " " + a[0]);
}

bool ExpectNotify(CScenarioRunner& r, const Args& a) {
  return ExpectMessage(r, a, r.Session().Notices(), r.Mark().notices, "notification from a panel:");
}

bool ExpectMainMsg(CScenarioRunner& r, const Args& a) {
  return ExpectMessage(r, a, r.Session().MainMessages(), r.Mark().mainMessages,
                       "message to the main window:");
}

bool ExpectUrl(CScenarioRunner& r, const Args& a) {
  const auto& urls = r.Session().OpenedUrls();
  for (std::size_t i = r.Mark().urls; i < urls.size(); ++i) {
    if (ToUtf8(urls[i]) == a[0]) {
      r.Mark().urls = i + 1;
      return true;
    }
  }
  return r.Fail("no address \"" + a[0] + "\" opened");
}

bool ExpectMenuItem(CScenarioRunner& r, const Args& a) {
  long long id;
  if (!r.Number(a[0], id)) return false;
  std::string text, state;
  bool hasText = false;
  for (std::size_t i = 1; i < a.size(); ++i) {
    const bool keyword = !r.Quoted(i) && (a[i] == "checked" || a[i] == "unchecked" ||
                                          a[i] == "grayed" || a[i] == "enabled");
    if (keyword && state.empty()) state = a[i];
    else if (r.Quoted(i) && !hasText) text = a[i], hasText = true;
    else return r.Malformed("bad menu item expectation \"" + a[i] + "\"");
  }
  const PopupMenuView* menu = r.Session().Modal().LastMenu();
  const MenuItemView* item = menu ? menu->Find(static_cast<UINT>(id)) : nullptr;
  if (!item) return r.Fail("the last menu has no item " + a[0]);
  if (hasText && ToUtf8(item->text) != text)
    return r.Fail("item " + a[0] + " is \"" + ToUtf8(item->text) + "\"");
  const bool ok = state.empty() || (state == "checked" && item->checked) ||
                  (state == "unchecked" && !item->checked) ||
                  (state == "grayed" && !item->enabled) || (state == "enabled" && item->enabled);
  if (!ok) r.Fail("item " + a[0] + " is not " + state);
  return true;
}

// The menu's items as the expectation writes them: ids, "-" for separators,
// a submenu's items in its place, each with one ">" per level.
void FlattenMenu(const std::vector<MenuItemView>& items, const std::string& prefix,
                 std::vector<std::string>& out) {
  for (const MenuItemView& item : items) {
    if (item.separator) out.push_back(prefix + "-");
    else if (!item.submenu.empty() || item.submenuHandle)
      FlattenMenu(item.submenu, prefix + ">", out);
    else out.push_back(prefix + std::to_string(item.id));
  }
}

bool ExpectMenu(CScenarioRunner& r, const Args& a) {
  std::vector<std::string> want;
  std::size_t start = 0;
  while (start <= a[0].size()) {
    std::size_t comma = a[0].find(',', start);
    if (comma == std::string::npos) comma = a[0].size();
    std::string entry = a[0].substr(start, comma - start);
    std::size_t depth = 0;
    while (depth < entry.size() && entry[depth] == '>') ++depth;
    const std::string rest = entry.substr(depth);
    if (rest != "-") {
      auto n = ScenarioNumber(rest);
      if (!n || *n < 0) return r.Malformed("a menu entry is ID, - or >ID: \"" + entry + "\"");
      entry = std::string(depth, '>') + std::to_string(*n);
    }
    want.push_back(entry);
    start = comma + 1;
  }
  const PopupMenuView* menu = r.Session().Modal().LastMenu();
  if (!menu) return r.Fail("no menu was shown");
  std::vector<std::string> have;
  FlattenMenu(menu->items, "", have);
  if (have != want) {
    std::string text;
    for (std::size_t i = 0; i < have.size(); ++i) text += (i ? "," : "") + have[i];
    return r.Fail("the last menu is " + text);
  }
  return true;
}

bool ExpectNoMenu(CScenarioRunner& r, const Args&) {
  // Runs before the runner moves the mark on, as every expectation does.
  if (r.Session().Modal().MenusShown() != r.Mark().menus) r.Fail("a menu was shown");
  return true;
}

bool ExpectLine(CScenarioRunner& r, const Args& a) {
  const auto& t = r.Session().Transcript();
  for (std::size_t i = r.Mark().lines; i < t.size(); ++i) {
    if (t[i] == a[0]) {
      r.Mark().lines = i + 1;
      return true;
    }
  }
  return r.Fail("no line \"" + a[0] + "\"");
}

bool ExpectItem(CScenarioRunner& r, const Args& a) {
  if (!r.Panel(a[0])) return false;
  long long image = -1;
  bool selected = false, expanded = false;
  for (std::size_t i = 2; i < a.size(); ++i) {
    if (a[i].rfind("image=", 0) == 0) {
      if (!r.Number(a[i].substr(6), image)) return false;
    } else if (a[i] == "selected") {
      selected = true;
    } else if (a[i] == "expanded") {
      expanded = true;
    } else {
      return r.Malformed("bad item expectation \"" + a[i] + "\"");
    }
  }
  CHostTreeItem item;
  if (!r.Session().FindTreeItem(FromUtf8(a[0]), FromUtf8(a[1]), item))
    return r.Fail("no item \"" + a[1] + "\" in " + a[0]);
  if (image >= 0 && item.image != image)
    return r.Fail("item \"" + a[1] + "\" has image " + std::to_string(item.image));
  if (selected && !item.selected) return r.Fail("item \"" + a[1] + "\" is not selected");
  if (expanded && !item.expanded) return r.Fail("item \"" + a[1] + "\" is not expanded");
  return true;
}

bool ExpectNoItem(CScenarioRunner& r, const Args& a) {
  if (!r.Panel(a[0])) return false;
  CHostTreeItem item;
  if (r.Session().FindTreeItem(FromUtf8(a[0]), FromUtf8(a[1]), item))
    r.Fail("item \"" + a[1] + "\" is in " + a[0]);
  return true;
}

}  // namespace

void AddExpectCommands(std::vector<CScenarioCommand>& t) {
  t.push_back(
      {"expect request", "expect request NAME [area1=BYTES] [area2=BYTES]", 1, 3, ExpectRequest});
  t.push_back({"expect norequest", "expect norequest", 0, 0, ExpectNoRequest});
  t.push_back({"expect notify", "expect notify ID [W [L]]", 1, 3, ExpectNotify});
  t.push_back({"expect mainmsg", "expect mainmsg ID [W [L]]", 1, 3, ExpectMainMsg});
  t.push_back({"expect url", "expect url \"ADDRESS\"", 1, 1, ExpectUrl});
  t.push_back({"expect menu", "expect menu ID,ID,-,>ID,...", 1, 1, ExpectMenu});
  t.push_back({"expect menuitem",
               "expect menuitem ID [\"TEXT\"] [checked|unchecked|grayed|enabled]", 1, 3,
               ExpectMenuItem});
  t.push_back({"expect nomenu", "expect nomenu", 0, 0, ExpectNoMenu});
  t.push_back({"expect item", "expect item PANEL \"TEXT\" [image=N] [selected] [expanded]", 2, 5,
               ExpectItem});
  t.push_back({"expect noitem", "expect noitem PANEL \"TEXT\"", 2, 2, ExpectNoItem});
  t.push_back({"expect line", "expect line \"TEXT\"", 1, 1, ExpectLine});
}
