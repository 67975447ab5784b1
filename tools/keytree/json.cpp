#include "json.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace keytree_json {

using Json = nlohmann::ordered_json;

namespace {

constexpr const char* kSpecial[] = {"$guid", "$hex",  "$bytes",  "$real",
                                    "$list", "$tree", "$novalue"};

bool IsSpecialName(const std::string& name) {
  for (const char* s : kSpecial)
    if (name == s) return true;
  return false;
}

bool IsUtf8(const char* p) {
  const auto* s = reinterpret_cast<const unsigned char*>(p);
  while (*s) {
    unsigned char c = *s;
    int extra = c < 0x80             ? 0
                : (c & 0xE0) == 0xC0 ? 1
                : (c & 0xF0) == 0xE0 ? 2
                : (c & 0xF8) == 0xF0 ? 3
                                     : -1;
    if (extra < 0 || (extra == 1 && c < 0xC2) || (c == 0xF4 && (s[1] & 0xF0) != 0x80) || c > 0xF4)
      return false;
    uint32_t cp = c & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
      if ((s[i] & 0xC0) != 0x80) return false;
      cp = cp << 6 | (s[i] & 0x3F);
    }
    if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (extra == 3 && cp < 0x10000))
      return false;
    s += extra + 1;
  }
  return true;
}

std::string Hex(const unsigned char* p, size_t n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(2 * n);
  for (size_t i = 0; i < n; ++i) {
    out += kDigits[p[i] >> 4];
    out += kDigits[p[i] & 15];
  }
  return out;
}

Json Special(const char* name, Json value) {
  Json j = Json::object();
  j[name] = std::move(value);
  return j;
}

const CLstring* KeyOf(const CItem* node) {
  if (node->GetRuntimeClass() != RUNTIME_CLASS(CKeyTree)) return nullptr;
  const auto* list = static_cast<const CItemList*>(node);
  const CItem* head = list->Head();
  if (!head || head->GetRuntimeClass() != RUNTIME_CLASS(CLstring)) return nullptr;
  // One key and at most one value.
  if (list->Tail() != head && list->Tail()->Prev() != head) return nullptr;
  return static_cast<const CLstring*>(head);
}

// A level that an object can stand for exactly: key nodes in ascending
// order, UTF-8 keys, and no lone key that reads as one of the "$" forms.
bool IsPlainLevel(const CKeyTree& tree) {
  const char* previous = nullptr;
  int count = 0;
  std::string first;
  for (const CItem* c = tree.Head(); c; c = c->Next(), ++count) {
    const CLstring* key = KeyOf(c);
    if (!key || !IsUtf8(key->GetString())) return false;
    if (previous && std::strcmp(previous, key->GetString()) >= 0) return false;
    previous = key->GetString();
    if (count == 0) first = previous;
  }
  return !(count == 1 && IsSpecialName(first));
}

Json ItemToJson(const CItem* item);

Json ChildrenToArray(const CItemList& list) {
  Json a = Json::array();
  for (const CItem* c = list.Head(); c; c = c->Next()) a.push_back(ItemToJson(c));
  return a;
}

Json TreeToJson(const CKeyTree& tree) {
  if (!IsPlainLevel(tree)) return Special("$tree", ChildrenToArray(tree));
  Json j = Json::object();
  for (const CItem* c = tree.Head(); c; c = c->Next()) {
    const auto* node = static_cast<const CItemList*>(c);
    const CItem* value = node->Tail() != node->Head() ? node->Tail() : nullptr;
    j[KeyOf(c)->GetString()] = value ? ItemToJson(value) : Special("$novalue", true);
  }
  return j;
}

Json ItemToJson(const CItem* item) {
  const CRuntimeClass* cls = item->GetRuntimeClass();
  if (cls == RUNTIME_CLASS(CLinteger))
    return static_cast<int64_t>(static_cast<long>(*static_cast<const CLinteger*>(item)));
  if (cls == RUNTIME_CLASS(CLreal)) {
    double v = *static_cast<const CLreal*>(item);
    if (std::isnan(v)) return Special("$real", std::signbit(v) ? "-nan" : "nan");
    if (std::isinf(v)) return Special("$real", v < 0 ? "-inf" : "inf");
    return v;
  }
  if (cls == RUNTIME_CLASS(CLstring)) {
    const char* s = static_cast<const CLstring*>(item)->GetString();
    if (IsUtf8(s)) return s;
    return Special("$bytes", Hex(reinterpret_cast<const unsigned char*>(s), std::strlen(s)));
  }
  if (cls == RUNTIME_CLASS(CLuser)) {
    const auto* u = static_cast<const CLuser*>(item);
    return Special("$hex", Hex(u->GetBuf(), u->GetLen()));
  }
  if (cls == RUNTIME_CLASS(CLguid)) {
    GUID g = *static_cast<const CLguid*>(item);
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return Special("$guid", text);
  }
  if (cls == RUNTIME_CLASS(CKeyTree)) return TreeToJson(*static_cast<const CKeyTree*>(item));
  if (item->IsKindOf(RUNTIME_CLASS(CItemList)))
    return Special("$list", ChildrenToArray(*static_cast<const CItemList*>(item)));
  throw JsonError(std::string("no JSON form for an item of class ") + cls->m_lpszClassName);
}

// ---- reading ----------------------------------------------------------------

[[noreturn]] void Refuse(const std::string& why) { throw JsonError(why); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unhex(const Json& j, const char* what) {
  if (!j.is_string()) Refuse(std::string(what) + " needs a string of hex digits");
  const std::string& s = j.get_ref<const std::string&>();
  if (s.size() % 2) Refuse(std::string(what) + " needs an even number of hex digits");
  std::string out;
  for (size_t i = 0; i < s.size(); i += 2) {
    int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
    if (hi < 0 || lo < 0) Refuse(std::string(what) + " holds a character that is no hex digit");
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

std::unique_ptr<CItem> FromJson(const Json& j, int depth);

template <class List>
std::unique_ptr<CItem> ListFromArray(const Json& a, const char* what, int depth) {
  if (!a.is_array()) Refuse(std::string(what) + " needs an array");
  auto list = std::make_unique<List>();
  for (const Json& e : a) list->Append(FromJson(e, depth + 1).release());
  return list;
}

GUID GuidFrom(const Json& j) {
  if (!j.is_string()) Refuse("$guid needs a string");
  const std::string& s = j.get_ref<const std::string&>();
  static const char kShape[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (s.size() != sizeof kShape - 1) Refuse("$guid needs the form " + std::string(kShape));
  std::string hex;
  for (size_t i = 0; i < s.size(); ++i) {
    if (kShape[i] == 'X') {
      if (HexDigit(s[i]) < 0) Refuse("$guid needs the form " + std::string(kShape));
      hex += s[i];
    } else if (s[i] != kShape[i]) {
      Refuse("$guid needs the form " + std::string(kShape));
    }
  }
  std::string bytes = Unhex(Json(hex), "$guid");
  auto b = reinterpret_cast<const unsigned char*>(bytes.data());
  GUID g{};
  g.Data1 =
      static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 | b[2] << 8 | b[3];
  g.Data2 = static_cast<uint16_t>(b[4] << 8 | b[5]);
  g.Data3 = static_cast<uint16_t>(b[6] << 8 | b[7]);
  for (int i = 0; i < 8; ++i) g.Data4[i] = b[8 + i];
  return g;
}

std::unique_ptr<CItem> TreeFromObject(const Json& j, int depth) {
  std::vector<std::pair<std::string, const Json*>> members;
  for (auto it = j.begin(); it != j.end(); ++it) members.emplace_back(it.key(), &it.value());
  // Levels are kept in key order, bytes compared as unsigned.
  std::sort(members.begin(), members.end(), [](const auto& a, const auto& b) {
    return std::strcmp(a.first.c_str(), b.first.c_str()) < 0;
  });
  auto tree = std::make_unique<CKeyTree>();
  for (const auto& [key, value] : members) {
    if (key.find('\0') != std::string::npos) Refuse("a key holds a NUL character");
    auto* node = new CKeyTree;
    tree->Append(node);
    node->Append(new CLstring(key.c_str()));
    if (value->is_object() && value->size() == 1 && value->begin().key() == "$novalue") {
      if (*value->begin() != Json(true)) Refuse("$novalue needs true");
      continue;
    }
    node->Append(FromJson(*value, depth + 2).release());
  }
  return tree;
}

std::unique_ptr<CItem> FromJson(const Json& j, int depth) {
  if (depth > LS_MAX_NESTING) Refuse("nested deeper than a key tree can be stored");
  switch (j.type()) {
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned: {
      if (j.is_number_unsigned() ? j.get<uint64_t>() > INT32_MAX
                                 : (j.get<int64_t>() < INT32_MIN || j.get<int64_t>() > INT32_MAX))
        Refuse("the integer " + j.dump() + " is beyond 32 bits");
      return std::make_unique<CLinteger>(static_cast<long>(j.get<int64_t>()));
    }
    case Json::value_t::number_float: return std::make_unique<CLreal>(j.get<double>());
    case Json::value_t::string: {
      const std::string& s = j.get_ref<const std::string&>();
      if (s.find('\0') != std::string::npos) Refuse("a string holds a NUL character");
      return std::make_unique<CLstring>(s.c_str());
    }
    case Json::value_t::object: break;
    case Json::value_t::array:
      Refuse("an array has no place in a key tree (a list is {\"$list\": [...]})");
    case Json::value_t::null:
      Refuse("null has no place in a key tree (a key without value is {\"$novalue\": true})");
    default: Refuse("true and false have no place in a key tree");
  }
  if (j.size() == 1 && IsSpecialName(j.begin().key())) {
    const std::string& name = j.begin().key();
    const Json& v = *j.begin();
    if (name == "$guid") return std::make_unique<CLguid>(GuidFrom(v));
    if (name == "$hex") {
      std::string bytes = Unhex(v, "$hex");
      return std::make_unique<CLuser>(bytes.data(), static_cast<int>(bytes.size()));
    }
    if (name == "$bytes") {
      std::string bytes = Unhex(v, "$bytes");
      if (bytes.find('\0') != std::string::npos) Refuse("$bytes holds a NUL byte");
      return std::make_unique<CLstring>(bytes.c_str());
    }
    if (name == "$real") {
      std::string s = v.is_string() ? v.get<std::string>() : "";
      if (s == "inf" || s == "-inf")
        return std::make_unique<CLreal>(s[0] == '-' ? -HUGE_VAL : HUGE_VAL);
      if (s == "nan" || s == "-nan")
        return std::make_unique<CLreal>(s[0] == '-' ? -std::nan("") : std::nan(""));
      Refuse("$real needs \"inf\", \"-inf\", \"nan\" or \"-nan\"");
    }
    if (name == "$list") return ListFromArray<CItemList>(v, "$list", depth);
    if (name == "$tree") return ListFromArray<CKeyTree>(v, "$tree", depth);
    Refuse("$novalue stands only for the value of a key");
  }
  return TreeFromObject(j, depth);
}

}  // namespace

std::string ToJson(const CItem* item) { return ItemToJson(item).dump(2); }

std::unique_ptr<CKeyTree> TreeFromJson(const std::string& text) {
  // Duplicate keys are refused while parsing: an object keeps only one.
  std::vector<std::set<std::string>> open;
  Json::parser_callback_t check = [&](int, Json::parse_event_t event, Json& parsed) {
    if (event == Json::parse_event_t::object_start) {
      open.emplace_back();
    } else if (event == Json::parse_event_t::object_end) {
      open.pop_back();
    } else if (event == Json::parse_event_t::key) {
      if (!open.back().insert(parsed.get<std::string>()).second)
        Refuse("the key \"" + parsed.get<std::string>() + "\" appears twice in one object");
    }
    return true;
  };
  Json j;
  try {
    j = Json::parse(text, check);
  } catch (const Json::parse_error& e) {
    Refuse(std::string("not JSON: ") + e.what());
  }
  if (!j.is_object()) Refuse("the JSON text is not an object");
  std::unique_ptr<CItem> item = FromJson(j, 1);
  if (item->GetRuntimeClass() != RUNTIME_CLASS(CKeyTree))
    Refuse("the JSON object stands for a value, not a key tree");
  return std::unique_ptr<CKeyTree>(static_cast<CKeyTree*>(item.release()));
}

}  // namespace keytree_json
