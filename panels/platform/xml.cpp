// XML documents over pugixml, seen as UTF-16.
#include "platform/xml.h"
#include "platform/file.h"
#include "platform/text.h"

#include <algorithm>
#include <cctype>

namespace {

std::u16string wide(const char* s) { return FromUtf8(s ? s : ""); }
std::string utf8(std::u16string_view s) { return ToUtf8(s); }

// The encoding named by an XML declaration at the start of 8-bit text, in
// lower case ("" when none is named).
std::string declaredEncoding(std::string_view bytes) {
  if (bytes.substr(0, 5) != "<?xml") return {};
  size_t end = bytes.find("?>");
  std::string_view decl =
      bytes.substr(0, end == std::string_view::npos ? std::min<size_t>(bytes.size(), 200) : end);
  size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return {};
  size_t q = decl.find_first_of("\"'", at);
  if (q == std::string_view::npos) return {};
  size_t q2 = decl.find(decl[q], q + 1);
  if (q2 == std::string_view::npos) return {};
  std::string enc(decl.substr(q + 1, q2 - q - 1));
  for (char& c : enc) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return enc;
}

}  // namespace

std::u16string CXmlAttribute::Name() const { return wide(attr_.name()); }
std::u16string CXmlAttribute::Value() const { return wide(attr_.value()); }

std::u16string CXmlNode::Name() const { return wide(node_.name()); }
std::u16string CXmlNode::Text() const { return wide(node_.text().get()); }

std::u16string CXmlNode::Attribute(std::u16string_view name, std::u16string_view def) const {
  pugi::xml_attribute a = node_.attribute(utf8(name).c_str());
  return a ? wide(a.value()) : std::u16string(def);
}

bool CXmlNode::HasAttribute(std::u16string_view name) const {
  return static_cast<bool>(node_.attribute(utf8(name).c_str()));
}

std::vector<std::pair<std::u16string, std::u16string>> CXmlNode::Attributes() const {
  std::vector<std::pair<std::u16string, std::u16string>> out;
  for (pugi::xml_attribute a : node_.attributes())
    out.emplace_back(wide(a.name()), wide(a.value()));
  return out;
}

CXmlNode CXmlNode::Child(std::u16string_view name) const {
  return CXmlNode(node_.child(utf8(name).c_str()));
}

CXmlNode CXmlNode::FirstChild() const {
  for (pugi::xml_node n = node_.first_child(); n; n = n.next_sibling())
    if (n.type() == pugi::node_element) return CXmlNode(n);
  return CXmlNode();
}

CXmlNode CXmlNode::NextSibling() const {
  for (pugi::xml_node n = node_.next_sibling(); n; n = n.next_sibling())
    if (n.type() == pugi::node_element) return CXmlNode(n);
  return CXmlNode();
}

CXmlNode CXmlNode::NextSibling(std::u16string_view name) const {
  return CXmlNode(node_.next_sibling(utf8(name).c_str()));
}

CXmlNode CXmlNode::Parent() const {
  pugi::xml_node p = node_.parent();
  return p.type() == pugi::node_element ? CXmlNode(p) : CXmlNode();
}

std::vector<CXmlNode> CXmlNode::Children() const {
  std::vector<CXmlNode> out;
  for (CXmlNode n = FirstChild(); n; n = n.NextSibling()) out.push_back(n);
  return out;
}

std::vector<CXmlNode> CXmlNode::Children(std::u16string_view name) const {
  std::vector<CXmlNode> out;
  std::string n8 = utf8(name);
  for (pugi::xml_node n : node_.children(n8.c_str())) out.emplace_back(n);
  return out;
}

bool CXmlDocument::LoadBytes(std::string_view bytes) {
  error_.clear();
  doc_.reset();
  // pugixml reads UTF-8 and UTF-16/32 itself; other declared encodings are
  // converted first.
  std::string converted;
  std::string enc = declaredEncoding(bytes);
  bool unicode = enc.empty() || enc.rfind("utf", 0) == 0 || enc.rfind("ucs", 0) == 0;
  if (!unicode) {
    if (enc == "gb2312" || enc == "gbk" || enc == "cp936") enc = "GBK";
    if (!ConvertCharsetToUtf8(enc, bytes, converted)) {
      error_ = "unknown encoding " + enc;
      return false;
    }
    bytes = converted;
  }
  pugi::xml_parse_result r = doc_.load_buffer(bytes.data(), bytes.size(), pugi::parse_default,
                                              unicode ? pugi::encoding_auto : pugi::encoding_utf8);
  return Accept(r);
}

bool CXmlDocument::LoadText(std::u16string_view text) {
  std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
  error_.clear();
  doc_.reset();
  pugi::xml_parse_result r =
      doc_.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf16_le);
  return Accept(r);
}

bool CXmlDocument::LoadFile(std::u16string_view path) {
  std::string bytes;
  if (!ReadWholeFile(ToFileSystemPath(path), bytes)) {
    doc_.reset();
    error_ = "cannot read " + ToFileSystemPath(path);
    return false;
  }
  return LoadBytes(bytes);
}

// A failed parse keeps nothing of what it read.
bool CXmlDocument::Accept(const pugi::xml_parse_result& r) {
  if (r && doc_.document_element()) return true;
  error_ = r ? std::string("no document element")
             : std::string(r.description()) + " at offset " + std::to_string(r.offset);
  doc_.reset();
  return false;
}

CXmlNode CXmlDocument::Root() const { return CXmlNode(doc_.document_element()); }
