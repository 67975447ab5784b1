#include "platform/xml.h"
#include "platform/text.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace {
const char kLayout[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Layout name=\"主窗口\">\n"
    "  <!-- panels -->\n"
    "  <Plugin name=\"PluginFTree\" TextColor=\"0x4F443C\" Visible=\"1\">好友</Plugin>\n"
    "  <Plugin name=\"PluginSearch\"/>\n"
    "  <Item><![CDATA[a<b]]></Item>\n"
    "</Layout>\n";
}

TEST(Xml, WalkElementsAndAttributesInDocumentOrder) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.LoadBytes(kLayout)) << doc.ErrorText();
  CXmlNode root = doc.Root();
  EXPECT_EQ(root.Name(), u"Layout");
  EXPECT_EQ(root.Attribute(u"name"), u"主窗口");
  std::vector<std::u16string> names;
  for (CXmlNode n = root.FirstChild(); n; n = n.NextSibling()) names.push_back(n.Name());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Plugin", u"Plugin", u"Item"}));
  EXPECT_EQ(root.Children(u"Plugin").size(), 2u);
  CXmlNode tree = root.Child(u"Plugin");
  EXPECT_EQ(tree.Text(), u"好友");
  auto attrs = tree.Attributes();
  ASSERT_EQ(attrs.size(), 3u);
  EXPECT_EQ(attrs[1], (std::pair<std::u16string, std::u16string>{u"TextColor", u"0x4F443C"}));
  std::vector<std::u16string> attrNames;
  for (CXmlAttribute a = tree.FirstAttribute(); a; a = a.Next()) attrNames.push_back(a.Name());
  EXPECT_EQ(attrNames, (std::vector<std::u16string>{u"name", u"TextColor", u"Visible"}));
  EXPECT_EQ(tree.NextSibling(u"Plugin").Attribute(u"name"), u"PluginSearch");
  EXPECT_EQ(root.Child(u"Item").Text(), u"a<b");
  EXPECT_EQ(tree.Parent(), root);
  EXPECT_TRUE(root.Parent().IsNull());
}

TEST(Xml, NullNodesAnswerEmpty) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.LoadBytes(kLayout));
  CXmlNode none = doc.Root().Child(u"Missing");
  EXPECT_TRUE(none.IsNull());
  EXPECT_EQ(none.Name(), u"");
  EXPECT_EQ(none.Attribute(u"x", u"def"), u"def");
  EXPECT_FALSE(none.HasAttribute(u"x"));
  EXPECT_TRUE(none.Child(u"y").IsNull());
  EXPECT_TRUE(none.Children().empty());
  EXPECT_EQ(doc.Root().Child(u"Plugin").Attribute(u"Absent", u"d"), u"d");
}

TEST(Xml, Utf16GbkAndBrokenInput) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.LoadText(u"<skin><color value=\"蓝\"/></skin>")) << doc.ErrorText();
  EXPECT_EQ(doc.Root().Child(u"color").Attribute(u"value"), u"蓝");

  TempDir dir;
  std::u16string text = u"\uFEFF<skin name=\"经典\"/>";
  TempDir::Write(dir.Path("u16.xml"),
                 std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
  ASSERT_TRUE(doc.LoadFile(dir.WPath("u16.xml"))) << doc.ErrorText();
  EXPECT_EQ(doc.Root().Attribute(u"name"), u"经典");

  TempDir::Write(dir.Path("gbk.xml"), "<?xml version=\"1.0\" encoding=\"GB2312\"?><skin name=\"" +
                                          ToAnsi(u"经典") + "\"/>");
  ASSERT_TRUE(doc.LoadFile(dir.WPath("gbk.xml"))) << doc.ErrorText();
  EXPECT_EQ(doc.Root().Attribute(u"name"), u"经典");

  EXPECT_FALSE(doc.LoadBytes("<a><b></a>"));
  EXPECT_FALSE(doc.ErrorText().empty());
  EXPECT_TRUE(doc.Root().IsNull());
  EXPECT_FALSE(doc.LoadFile(dir.WPath("missing.xml")));
  EXPECT_FALSE(doc.LoadBytes(""));
}
