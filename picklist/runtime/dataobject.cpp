#include "runtime/dataobject.h"

#include <charconv>
#include <map>

#include "runtime/text.h"

namespace picklist::runtime {

namespace {

std::string strip(std::string_view s) {
  auto b = s.find_first_not_of(" \t\r");
  if (b == std::string_view::npos) return {};
  auto e = s.find_last_not_of(" \t\r");
  return std::string(s.substr(b, e - b + 1));
}

std::vector<std::string> fields(std::string_view value) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (true) {
    auto bar = value.find('|', start);
    out.push_back(strip(value.substr(start, bar == std::string_view::npos ? bar : bar - start)));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return out;
}

bool to_int(const std::string& s, int& out) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

// "char(4)" or "decimal(2)".
bool parse_type(const std::string& s, ColumnDef& col) {
  auto open = s.find('(');
  if (open == std::string::npos || s.back() != ')') return false;
  std::string kind = s.substr(0, open);
  if (kind == "char") {
    col.type = ColumnDef::Type::Char;
  } else if (kind == "decimal") {
    col.type = ColumnDef::Type::Decimal;
  } else {
    return false;
  }
  return to_int(s.substr(open + 1, s.size() - open - 2), col.size) && col.size >= 0;
}

// NAME | SOURCE | TYPE | X | WIDTH [| format=F]   or   NAME | SOURCE | TYPE | hidden
bool parse_column(const std::string& value, ColumnDef& col) {
  auto f = fields(value);
  if (f.size() < 4 || f[0].empty() || f[1].empty() || !parse_type(f[2], col)) return false;
  col.name = f[0];
  col.source = f[1];
  if (f[3] == "hidden") {
    col.visible = false;
    return f.size() == 4;
  }
  if (f.size() < 5 || f.size() > 6 || !to_int(f[3], col.x) || !to_int(f[4], col.width))
    return false;
  if (f.size() == 6) {
    if (f[5].rfind("format=", 0) != 0) return false;
    col.format = f[5].substr(7);
  }
  return true;
}

bool parse_header(const std::string& value, HeaderDef& h) {
  auto f = fields(value);
  if (f.size() != 3 || f[0].empty() || !to_int(f[1], h.x) || !to_int(f[2], h.width)) return false;
  h.text = std::move(f[0]);
  return true;
}

std::map<std::string, DataObjectDef>& library() {
  static std::map<std::string, DataObjectDef> defs;
  return defs;
}

}  // namespace

std::optional<DataObjectDef> parse_dataobject(std::string_view text, std::string* error) {
  DataObjectDef def;
  int lineno = 0;
  auto fail = [&](const std::string& why) -> std::optional<DataObjectDef> {
    if (error) *error = "line " + std::to_string(lineno) + ": " + why;
    return std::nullopt;
  };
  std::size_t pos = 0;
  while (pos <= text.size()) {
    auto nl = text.find('\n', pos);
    std::string line = strip(text.substr(pos, nl == std::string_view::npos ? nl : nl - pos));
    pos = nl == std::string_view::npos ? text.size() + 1 : nl + 1;
    ++lineno;
    if (line.empty() || line[0] == '#') continue;
    auto colon = line.find(':');
    if (colon == std::string::npos) return fail("expected 'key: value'");
    std::string key = strip(line.substr(0, colon));
    std::string value = strip(line.substr(colon + 1));
    if (key == "name") {
      def.name = value;
    } else if (key == "argument") {
      auto blank = value.find(' ');
      if (blank == std::string::npos) return fail("argument needs a name and a type");
      def.argument = value.substr(0, blank);
      def.argument_type = strip(value.substr(blank + 1));
    } else if (key == "select") {
      def.select = value;
    } else if (key == "column") {
      ColumnDef col;
      if (!parse_column(value, col)) return fail("bad column '" + value + "'");
      def.columns.push_back(std::move(col));
    } else if (key == "header") {
      HeaderDef h;
      if (!parse_header(value, h)) return fail("bad header '" + value + "'");
      def.headers.push_back(std::move(h));
    } else {
      return fail("unknown key '" + key + "'");
    }
  }
  if (def.name.empty()) return fail("no name");
  if (def.select.empty()) return fail("no select");
  if (def.columns.empty()) return fail("no columns");
  return def;
}

void ObjectLibrary::add(DataObjectDef def) {
  std::string key = upper(trim(def.name));
  library()[key] = std::move(def);
}

void ObjectLibrary::remove(std::string_view name) { library().erase(upper(trim(name))); }

const DataObjectDef* ObjectLibrary::find(std::string_view name) {
  auto it = library().find(upper(trim(name)));
  return it == library().end() ? nullptr : &it->second;
}

std::vector<std::string> ObjectLibrary::names() {
  std::vector<std::string> out;
  for (const auto& [key, def] : library()) out.push_back(def.name);
  return out;
}

}  // namespace picklist::runtime
