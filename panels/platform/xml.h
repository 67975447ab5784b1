// XML documents and nodes as UTF-16 text, over pugixml.
//
// Nodes and attributes are cheap handles that stay valid while their document
// lives; a null handle answers every question with an empty result.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CXmlAttribute {
 public:
  CXmlAttribute() = default;
  explicit CXmlAttribute(pugi::xml_attribute a) : attr_(a) {}
  bool IsNull() const { return !attr_; }
  explicit operator bool() const { return static_cast<bool>(attr_); }
  std::u16string Name() const;
  std::u16string Value() const;
  CXmlAttribute Next() const { return CXmlAttribute(attr_.next_attribute()); }

 private:
  pugi::xml_attribute attr_;
};

class CXmlNode {
 public:
  CXmlNode() = default;
  explicit CXmlNode(pugi::xml_node n) : node_(n) {}
  bool IsNull() const { return !node_; }
  explicit operator bool() const { return static_cast<bool>(node_); }
  bool operator==(const CXmlNode& o) const { return node_ == o.node_; }

  std::u16string Name() const;
  // The text content of the element (its first text or CDATA child).
  std::u16string Text() const;
  // The value of the named attribute, or def when there is none.
  std::u16string Attribute(std::u16string_view name, std::u16string_view def = u"") const;
  bool HasAttribute(std::u16string_view name) const;
  CXmlAttribute FirstAttribute() const { return CXmlAttribute(node_.first_attribute()); }
  // Every attribute, in document order.
  std::vector<std::pair<std::u16string, std::u16string>> Attributes() const;

  // Child elements only (text and comments are skipped).
  CXmlNode Child(std::u16string_view name) const;
  CXmlNode FirstChild() const;
  CXmlNode NextSibling() const;
  CXmlNode NextSibling(std::u16string_view name) const;
  CXmlNode Parent() const;
  std::vector<CXmlNode> Children() const;
  std::vector<CXmlNode> Children(std::u16string_view name) const;

  pugi::xml_node Raw() const { return node_; }

 private:
  pugi::xml_node node_;
};

class CXmlDocument {
 public:
  // A file or text in UTF-8 or UTF-16 (by byte-order mark or by its first
  // bytes), or in another encoding that its declaration names (GB2312, GBK...).
  bool LoadFile(std::u16string_view path);
  bool LoadText(std::u16string_view text);
  bool LoadBytes(std::string_view bytes);
  // The document element.
  CXmlNode Root() const;
  // Why the last load failed (empty after success).
  const std::string& ErrorText() const { return error_; }

 private:
  bool Accept(const pugi::xml_parse_result& r);

  pugi::xml_document doc_;
  std::string error_;
};
