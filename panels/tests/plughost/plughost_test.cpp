// The plug-in framework: attributes filled from layout nodes by kind, the
// window base's background and window, the end hook.
#include <gtest/gtest.h>

#include "host/plughost.h"
#include "host/skinctl/colorconverter.h"
#include "platform/gdi.h"
#include "platform/xml.h"

namespace {

class CTestPlugin : public CQWBaseWndPlugin {
 public:
  CTestPlugin() {
    m_strType = u"TestPlugin";
    CTestPlugin::Empty();
  }
  int childNodes = 0;
  std::u16string text;
  BOOL flag = FALSE;
  COLORREF colour = 0;
  int number = 0;
  int choice = 0;
  using CQWBaseWndPlugin::CreatePanelWindow;
  using CQWBaseWndPlugin::m_clrBack;

 protected:
  const CQWAttrArray& GetAttrArray() override {
    static const CQWAttrArray attrs =
        QWExtendAttrs(CQWBaseWndPlugin::GetAttrArray(),
                      {
                          QW_PLUGIN_ATTR(ATTR_TEXT, CTestPlugin, text, u"Text", u"文本"),
                          QW_PLUGIN_ATTR(ATTR_BOOL, CTestPlugin, flag, u"Flag", u"开关"),
                          QW_PLUGIN_ATTR(ATTR_COLOR, CTestPlugin, colour, u"Colour", u"颜色"),
                          QW_PLUGIN_ATTR(ATTR_NUMBER, CTestPlugin, number, u"Number", u"数字"),
                          QW_PLUGIN_ATTR(ATTR_CHOICE, CTestPlugin, choice, u"Align", u"位置"),
                      });
    return attrs;
  }
  const CQWEnumAttrMap& GetEnumAttrMap() override {
    static const CQWEnumAttrMap map = {{u"Align", {{u"left", 0}, {u"right", 1}, {u"top", 2}}}};
    return map;
  }
  void Empty() override {
    CQWBaseWndPlugin::Empty();
    text = u"默认";
    flag = FALSE;
    colour = RGB(9, 9, 9);
    number = 7;
    choice = 2;
  }
  BOOL LoadChildNode(const CXmlNode& node) override {
    childNodes = static_cast<int>(node.Children().size());
    return TRUE;
  }
};

CXmlNode Node(CXmlDocument& doc, const std::u16string& xml) {
  EXPECT_TRUE(doc.LoadText(xml));
  return doc.Root();
}

TEST(PluginAttributes, EachKindIsReadFromItsText) {
  CTestPlugin p;
  CXmlDocument doc;
  ASSERT_TRUE(p.LoadInfo(Node(doc,
                              u"<p text=\"你好\" FLAG=\"yes\" colour=\"#102030\" number=\"0x10\" "
                              u"align=\"Right\" name=\"n1\"><a/><b/></p>")));
  EXPECT_EQ(p.text, u"你好");
  EXPECT_TRUE(p.flag);
  EXPECT_EQ(p.colour, RGB(0x10, 0x20, 0x30));
  EXPECT_EQ(p.number, 16);
  EXPECT_EQ(p.choice, 1);
  EXPECT_EQ(std::u16string(p.GetPluginName()), u"n1");
  EXPECT_EQ(p.childNodes, 2);
}

TEST(PluginAttributes, ColoursInEveryWrittenForm) {
  for (auto [text, want] :
       std::vector<std::pair<std::u16string, COLORREF>>{{u"RGB(1, 35, 82)", RGB(1, 35, 82)},
                                                        {u"165,75,30", RGB(165, 75, 30)},
                                                        {u"0x4F443C", 0x4F443C},
                                                        {u"10", 10}}) {
    CTestPlugin p;
    CXmlDocument doc;
    p.LoadInfo(Node(doc, u"<p Colour=\"" + text + u"\"/>"));
    EXPECT_EQ(p.colour, want);
  }
}

TEST(PluginAttributes, TextThatDoesNotParseKeepsTheDefault) {
  CTestPlugin p;
  CXmlDocument doc;
  p.LoadInfo(Node(doc, u"<p Colour=\"#12\" Number=\"4x\" Align=\"middle\" Flag=\"perhaps\"/>"));
  EXPECT_EQ(p.colour, RGB(9, 9, 9));
  EXPECT_EQ(p.number, 7);
  EXPECT_EQ(p.choice, 2);
  EXPECT_FALSE(p.flag);
  // A choice may also be given by number; yes/no as a number.
  p.LoadInfo(Node(doc, u"<p Align=\"0\" Flag=\"5\" Colour=\"RGB(1,2,300)\"/>"));
  EXPECT_EQ(p.choice, 0);
  EXPECT_TRUE(p.flag);
  EXPECT_EQ(p.colour, RGB(9, 9, 9));
  EXPECT_FALSE(p.LoadInfo(CXmlNode()));
}

TEST(PluginAttributes, TextFormsRoundTripThroughSaveInfo) {
  CTestPlugin p;
  CXmlDocument in;
  p.LoadInfo(
      Node(in, u"<p Text=\"甲\" Flag=\"1\" Colour=\"#0a0b0c\" Number=\"-3\" Align=\"left\"/>"));
  CXmlDocument out;
  CXmlNode node = Node(out, u"<saved/>");
  ASSERT_TRUE(p.SaveInfo(node));
  EXPECT_EQ(node.Attribute(u"Text"), u"甲");
  EXPECT_EQ(node.Attribute(u"Flag"), u"1");
  EXPECT_EQ(node.Attribute(u"Colour"), u"#0a0b0c");
  EXPECT_EQ(node.Attribute(u"Number"), u"-3");
  EXPECT_EQ(node.Attribute(u"Align"), u"left");
  CTestPlugin q;
  q.LoadInfo(node);
  EXPECT_EQ(q.colour, p.colour);
  EXPECT_EQ(q.choice, 0);
}

TEST(PluginAttributes, EnumerationsAreListedByIndex) {
  CTestPlugin p;
  ASSERT_EQ(p.GetAttrEnumCount(), 1);
  const ATTR_ENUM* e = p.GetAttrEnumInfo(0);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->items.size(), 3u);
  EXPECT_EQ(p.GetAttrEnumInfo(1), nullptr);
  EXPECT_EQ(p.GetAttr(-1), nullptr);
  EXPECT_EQ(p.GetAttr(p.GetAttrCount()), nullptr);
}

TEST(PluginBase, WorkDirectoryKeepsItsSeparator) {
  CTestPlugin p;
  p.SetWorkDir(u"C:\\client");
  EXPECT_EQ(p.GetWorkDir(), u"C:\\client\\");
  p.SetWorkDir(u"/opt/client/");
  EXPECT_EQ(p.GetWorkDir(), u"/opt/client/");
  p.SetWorkDir(nullptr);
  EXPECT_EQ(p.GetWorkDir(), u"");
}

TEST(PluginBase, BackgroundIsTintedByTheBaseColour) {
  HWND top = CreateWindowExW(0, u"Static", u"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, 0, 0, nullptr,
                             nullptr);
  HDC dc = GetDC(top);
  CTestPlugin p;
  p.m_clrBack = RGB(200, 100, 50);
  p.DrawPluginBack(dc, RECT{0, 0, 10, 10});
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(200, 100, 50));  // white base: as set
  p.SetBaseColor(RGB(0, 255, 128));
  // The one store: what any panel sets, the converter and every panel read.
  EXPECT_EQ(CColorConverter::GetBaseColor(), RGB(0, 255, 128));
  CTestPlugin other;
  EXPECT_EQ(other.GetBaseColor(), RGB(0, 255, 128));
  p.DrawPluginBack(dc, RECT{0, 0, 10, 10});
  // The converter's rule: lightness kept, hue and saturation of the base.
  const COLORREF tinted = CColorConverter::GetColor(RGB(0, 255, 128), RGB(200, 100, 50));
  EXPECT_EQ(GetPixel(dc, 5, 5), tinted);
  EXPECT_EQ(p.GetDrawBackColor(), tinted);
  EXPECT_NE(tinted, RGB(200, 100, 50));
  // White keeps its lightness, so a white background stays white.
  EXPECT_EQ(other.GetDrawBackColor(), RGB(255, 255, 255));
  p.SetBaseColor(RGB(255, 255, 255));
  ReleaseDC(top, dc);
  DestroyWindow(top);
}

TEST(PluginBase, PanelWindowIsCreatedOnceThenMoved) {
  HWND a = CreateWindowExW(0, u"Static", u"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, 0, 0, nullptr,
                           nullptr);
  HWND b = CreateWindowExW(0, u"Static", u"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, 0, 0, nullptr,
                           nullptr);
  HWND wnd = 0;
  {
    CTestPlugin p;
    RECT rc{5, 5, 105, 55};
    EXPECT_TRUE(p.CreatePanelWindow(u"TestPanelWnd", a, &rc, 77));
    wnd = p.GetPluginWnd();
    EXPECT_EQ(GetParent(wnd), a);
    EXPECT_EQ(GetDlgCtrlID(wnd), 77);
    RECT rc2{0, 0, 30, 30};
    EXPECT_FALSE(p.CreatePanelWindow(u"TestPanelWnd", b, &rc2, 77));
    EXPECT_EQ(p.GetPluginWnd(), wnd);
    EXPECT_EQ(GetParent(wnd), b);
    EXPECT_TRUE(p.HidePlugin());
    EXPECT_FALSE(IsWindowVisible(wnd));
  }
  EXPECT_FALSE(IsWindow(wnd));  // the window goes with the plug-in
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST(PluginBase, EndHookSeesEveryPluginOnce) {
  struct Seen {
    int count = 0;
    std::u16string type;
  } seen;
  QWSetPluginEndHook(
      [](const CQWBasePlugin*, const char16_t* type, void* ctx) {
        auto* s = static_cast<Seen*>(ctx);
        ++s->count;
        s->type = type;
      },
      &seen);
  delete new CTestPlugin;
  QWSetPluginEndHook(nullptr, nullptr);
  delete new CTestPlugin;
  EXPECT_EQ(seen.count, 1);
  EXPECT_EQ(seen.type, u"TestPlugin");
}

}  // namespace
