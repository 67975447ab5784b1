// The skinned dialog and controls, pictures, colours and the message box.
#include "host/skinctl.h"
#include "host/basekit/resource.h"
#include "test_util.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorConverter, WhiteBaseKeepsColours) {
  EXPECT_EQ(CColorConverter::GetColor(RGB(255, 255, 255), RGB(200, 30, 40)), RGB(200, 30, 40));
  EXPECT_EQ(CColorConverter::GetColor(RGB(90, 90, 90), RGB(200, 30, 40)), RGB(200, 30, 40));
}

TEST(ColorConverter, TakesHueAndSaturationKeepsLightness) {
  COLORREF tinted = CColorConverter::GetColor(RGB(0, 0, 255), RGB(255, 0, 0));
  EXPECT_EQ(tinted, RGB(0, 0, 255));  // same lightness 0.5 and full saturation
  COLORREF light = CColorConverter::GetColor(RGB(0, 0, 139), RGB(200, 200, 200));
  double h, s, l, h0, s0, l0;
  CColorConverter::RGBtoHSL(light, h, s, l);
  CColorConverter::RGBtoHSL(RGB(200, 200, 200), h0, s0, l0);
  EXPECT_NEAR(h, 240, 1);
  EXPECT_NEAR(l, l0, 0.01);
  EXPECT_GT(GetBValue(light), GetRValue(light));
  for (COLORREF c : {RGB(12, 200, 99), RGB(255, 128, 0), RGB(3, 4, 5)}) {
    CColorConverter::RGBtoHSL(c, h, s, l);
    COLORREF back = CColorConverter::HSLtoRGB(h, s, l);
    EXPECT_NEAR(GetRValue(back), GetRValue(c), 1);
    EXPECT_NEAR(GetGValue(back), GetGValue(c), 1);
    EXPECT_NEAR(GetBValue(back), GetBValue(c), 1);
  }
}

TEST(ColorConverter, ConvertBitmapTintsEveryPixel) {
  Canvas canvas(3, 2);
  canvas.Fill(RECT{0, 0, 3, 2}, RGB(255, 0, 0));
  canvas.SetRgba(2, 1, 0x80FFFFFFu);  // half-transparent white
  HBITMAP bmp = CreateBitmapFromCanvas(canvas);
  ASSERT_TRUE(CColorConverter::ConvertBitmap(bmp, RGB(0, 147, 0)));
  std::shared_ptr<Canvas> out = GetBitmapCanvas(bmp);
  COLORREF p = out->GetPixel(0, 0);
  EXPECT_GT(GetGValue(p), GetRValue(p));
  EXPECT_GT(GetGValue(p), GetBValue(p));
  EXPECT_EQ(out->GetRgba(2, 1), 0x80FFFFFFu);  // white stays white, alpha kept
  DeleteObject(bmp);
  EXPECT_FALSE(CColorConverter::ConvertBitmap(0, RGB(0, 147, 0)));
  // With the current base colour.
  CColorConverter::SetBaseColor(RGB(0, 0, 139));
  HBITMAP red = CreateBitmapFromCanvas(canvas);
  EXPECT_TRUE(CColorConverter::ConvertBitmap(red));
  EXPECT_GT(GetBValue(GetBitmapCanvas(red)->GetPixel(0, 0)), 100);
  EXPECT_NE(GetColorDark(), RGB(0, 51, 102));
  CColorConverter::SetBaseColor(RGB(255, 255, 255));
  EXPECT_EQ(GetColorDark(), RGB(0, 51, 102));
  EXPECT_EQ(GetColorText(), RGB(0, 0, 0));
  SetColorText(RGB(1, 2, 3));
  EXPECT_EQ(GetColorText(), RGB(1, 2, 3));
  SetColorText(CLR_INVALID);
  DeleteObject(red);
}

// A driver for dialogs, message boxes and menus.
class Driver : public ModalDriver {
 public:
  MessageBoxView box;
  int boxAnswer = IDOK;
  std::u16string typeIntoRemark;
  int dialogs = 0;
  UINT menuAnswer = 0;
  std::vector<std::u16string> menuTexts;

  int OnMessageBox(const MessageBoxView& b) override {
    box = b;
    return boxAnswer;
  }
  void OnDialog(const DialogView& d) override {
    ++dialogs;
    if (d.templateId == 594 && !typeIntoRemark.empty()) {
      SetDlgItemTextW(d.dialog, 1000, typeIntoRemark.c_str());
      SendMessageW(d.dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   static_cast<LPARAM>(GetDlgItem(d.dialog, IDOK)));
    }
  }
  UINT OnPopupMenu(const PopupMenuView& m) override {
    menuTexts.clear();
    for (const auto& i : m.items) menuTexts.push_back(i.text);
    return menuAnswer;
  }
};

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetUserInterface();
    SetModalDriver(&driver);
    ASSERT_TRUE(host.CreateEx(0, nullptr, u"host", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 400},
                              nullptr, 0));
  }
  void TearDown() override {
    host.DestroyWindow();
    SetModalDriver(nullptr);
    ResetUserInterface();
  }
  Driver driver;
  CWnd host;
};

TEST_F(SkinTest, LogonTemplateBuildsTheDialogWithItsControls) {
  CCoolDialog dlg;
  ASSERT_TRUE(dlg.Create(596, &host));
  EXPECT_EQ(GetParent(dlg), static_cast<HWND>(host));
  for (int id :
       {3207, 3320, 3337, 3338, 3344, 2075, 3339, 3347, 3346, 3340, 2669, 3343, 3345, 3341, 3342})
    EXPECT_NE(dlg.GetDlgItem(id), nullptr) << id;
  char16_t cls[32] = {};
  GetClassNameW(dlg.GetDlgItem(2075)->GetSafeHwnd(), cls, 32);
  EXPECT_EQ(std::u16string(cls), u"ComboBox");
  EXPECT_EQ(dlg.GetDlgItem(3339)->SendMessage(EM_GETLIMITTEXT), 400);
  HWND comboEdit = GetDlgItem(dlg.GetDlgItem(2075)->GetSafeHwnd(), 1001);
  ASSERT_NE(comboEdit, 0u);
  EXPECT_EQ(SendMessageW(comboEdit, EM_GETLIMITTEXT, 0, 0), 320);
  EXPECT_EQ(dlg.GetDlgItem(3207)->GetWindowText(), u"登  录");
  CRect min = dlg.GetMinRect();
  EXPECT_EQ(min.Width(), 200);
  EXPECT_EQ(min.Height(), 330);

  // The skinned controls attach to the template's controls.
  CCoolHyperLink link;
  ASSERT_TRUE(link.SubclassDlgItem(3345, &dlg));
  CCoolStatic label;
  ASSERT_TRUE(label.SubclassDlgItem(3337, &dlg));
  label.SetTextColor(RGB(0x3C, 0x44, 0x4F));
  EXPECT_EQ(label.GetTextColor(), RGB(0x3C, 0x44, 0x4F));
  dlg.SetBackColor(RGB(10, 200, 30));
  dlg.ShowWindow(SW_SHOW);  // the template makes a hidden child; the panel shows it
  dlg.UpdateWindow();
  Canvas pic = RenderWindow(dlg);
  EXPECT_EQ(pic.GetPixel(5, 5), RGB(10, 200, 30));
  dlg.SetCornerRadius(8);
  EXPECT_EQ(dlg.GetCornerRadius(), 8);
  link.UnsubclassWindow();
  label.UnsubclassWindow();
  dlg.DestroyWindow();
}

class RemarkDialog : public CCoolDialog {
 public:
  RemarkDialog(CWnd* parent) : CCoolDialog(594, parent) {}
  std::u16string remark;
  void OnOK() override {
    remark = GetDlgItem(1000)->GetWindowText();
    CCoolDialog::OnOK();
  }
};

TEST_F(SkinTest, RemarkDialogRunsThroughTheDriver) {
  driver.typeIntoRemark = u"老客户";
  RemarkDialog dlg(&host);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.remark, u"老客户");
  EXPECT_EQ(driver.dialogs, 1);
  driver.typeIntoRemark.clear();  // the driver does nothing: cancelled
  RemarkDialog again(&host);
  EXPECT_EQ(again.DoModal(), IDCANCEL);
}

TEST_F(SkinTest, FrameworkDialogsFindTheTemplatesOfTheResourceModule) {
  // What the module does at start: the resource module becomes the
  // framework's resource handle.
  AfxSetResourceHandle(CResourceMgr::GetInstance()->GetDefRes());
  driver.typeIntoRemark = u"x";
  CDialog plain(594, &host);
  EXPECT_EQ(plain.DoModal(), IDOK);
  EXPECT_EQ(driver.dialogs, 1);
  AfxSetResourceHandle(nullptr);
}

TEST_F(SkinTest, MessageBoxGoesToTheDriver) {
  driver.boxAnswer = IDNO;
  EXPECT_EQ(MessageBoxExExDLL(u"Save account information to the registry failed!", MB_YESNO), IDNO);
  EXPECT_EQ(driver.box.text, u"Save account information to the registry failed!");
  EXPECT_EQ(driver.box.caption, CResourceMgr::GetInstance()->GetString(60574));
  driver.boxAnswer = IDRETRY;  // not a button of an OK box: the default answer
  EXPECT_EQ(MessageBoxExExDLL(u"x", MB_OK, u"标题", host), IDOK);
  EXPECT_EQ(driver.box.caption, u"标题");
  EXPECT_EQ(driver.box.owner, static_cast<HWND>(host));
}

TEST_F(SkinTest, ComboBoxListAndDropDown) {
  struct Parent : CWnd {
    std::vector<WORD> codes;
    BOOL OnCommand(WPARAM w, LPARAM l) override {
      if (LOWORD(w) == 2075) codes.push_back(HIWORD(w));
      return CWnd::OnCommand(w, l);
    }
  } parent;
  ASSERT_TRUE(
      parent.CreateEx(0, nullptr, u"p", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300}, nullptr, 0));
  CCoolComboBox combo;
  ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWN, RECT{10, 10, 170, 32}, &parent, 2075));
  EXPECT_EQ(combo.AddString(u"zhang@a"), 0);
  EXPECT_EQ(combo.AddString(u"li@b"), 1);
  EXPECT_EQ(combo.InsertString(0, u"wang@c"), 0);
  EXPECT_EQ(combo.GetCount(), 3);
  EXPECT_EQ(combo.FindStringExact(-1, u"LI@B"), 2);
  EXPECT_EQ(combo.FindStringExact(-1, u"none"), CB_ERR);
  EXPECT_EQ(combo.SetCurSel(1), 1);
  EXPECT_EQ(combo.GetWindowText(), u"zhang@a");
  EXPECT_TRUE(parent.codes.empty());  // setting the selection is not typing

  driver.menuAnswer = 3;  // the third entry
  EXPECT_EQ(combo.ShowDropDown(), 2);
  EXPECT_EQ(driver.menuTexts, (std::vector<std::u16string>{u"wang@c", u"zhang@a", u"li@b"}));
  EXPECT_EQ(combo.GetCurSel(), 2);
  EXPECT_EQ(combo.GetWindowText(), u"li@b");
  ASSERT_FALSE(parent.codes.empty());
  EXPECT_EQ(parent.codes.back(), CBN_SELCHANGE);

  // Typing reports an edit change and clears the selection.
  parent.codes.clear();
  combo.SetFocus();
  TypeText(u"x");
  ASSERT_FALSE(parent.codes.empty());
  EXPECT_EQ(parent.codes.back(), CBN_EDITCHANGE);
  EXPECT_EQ(combo.GetCurSel(), -1);

  EXPECT_EQ(combo.DeleteString(0), 2);
  EXPECT_EQ(combo.GetLBText(1), u"li@b");
  EXPECT_EQ(combo.GetLBText(5), u"");
  combo.ResetContent();
  EXPECT_EQ(combo.GetCount(), 0);
  EXPECT_EQ(combo.GetWindowText(), u"");
  combo.DestroyWindow();
  parent.DestroyWindow();
}

std::u16string WritePng(const TempDir& dir, const std::string& name, int w, int h,
                        COLORREF colour) {
  Canvas canvas(w, h);
  canvas.Fill(RECT{0, 0, w, h}, colour);
  EXPECT_TRUE(canvas.WritePng(dir.path() + "/" + name));
  return dir.wide(name);
}

TEST_F(SkinTest, PicturesAreSharedByPath) {
  TempDir dir;
  std::u16string strip = WritePng(dir, "icons.png", 64, 16, RGB(1, 2, 3));
  auto a = CQWPicture::LoadPicture(strip.c_str());
  auto b = CQWPicture::LoadPicture(strip.c_str());
  ASSERT_TRUE(a);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a->GetFrameCount(), 4);
  EXPECT_EQ(a->GetWidth(), 64);
  auto fresh = CQWPicture::LoadPicture(strip.c_str(), FALSE);
  EXPECT_NE(fresh, a);
  EXPECT_FALSE(CQWPicture::LoadPicture(dir.wide("missing.png").c_str()));
  EXPECT_FALSE(CQWPicture::LoadPicture(nullptr));
  CImageList list;
  ASSERT_TRUE(a->CreateImageList(list));
  EXPECT_EQ(list.GetImageCount(), 4);
  CQWPicture::ClearCache();
  EXPECT_NE(CQWPicture::LoadPicture(strip.c_str()), a);
}

TEST_F(SkinTest, BitmapButtonDrawsAndClicks) {
  TempDir dir;
  // Four 10x10 states: red, green, blue, grey.
  Canvas icon(40, 10);
  icon.Fill(RECT{0, 0, 10, 10}, RGB(255, 0, 0));
  icon.Fill(RECT{10, 0, 20, 10}, RGB(0, 255, 0));
  icon.Fill(RECT{20, 0, 30, 10}, RGB(0, 0, 255));
  icon.Fill(RECT{30, 0, 40, 10}, RGB(128, 128, 128));
  ASSERT_TRUE(icon.WritePng(dir.path() + "/btn.png"));

  struct Parent : CWnd {
    int clicked = 0;
    BOOL OnCommand(WPARAM w, LPARAM l) override {
      if (LOWORD(w) == 50 && HIWORD(w) == BN_CLICKED) ++clicked;
      return CWnd::OnCommand(w, l);
    }
  } parent;
  ASSERT_TRUE(
      parent.CreateEx(0, nullptr, u"p", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 200}, nullptr, 0));
  CGT_BitmapButton button;
  ASSERT_TRUE(button.Create(u"", WS_VISIBLE, RECT{0, 0, 30, 30}, &parent, 50));
  EXPECT_TRUE(button.SetIconFile(dir.wide("btn.png").c_str(), 4));
  EXPECT_FALSE(button.SetBackImage(dir.wide("none.png").c_str()));
  button.SetBkColor(RGB(255, 255, 255));
  button.SetBorderColor(RGB(0xC0, 0xC0, 0xC0));
  button.SetTransparent(TRUE, RGB(255, 255, 0));
  button.SetHandCursor(TRUE);
  int handler = 0;
  button.SetClickHandler([&] { ++handler; });
  button.UpdateWindow();
  EXPECT_EQ(RenderWindow(button).GetPixel(15, 15), RGB(255, 0, 0));  // normal state, centred
  EXPECT_EQ(RenderWindow(button).GetPixel(1, 1), RGB(255, 255, 255));

  MouseMoveTo(button, CPoint(15, 15));
  EXPECT_TRUE(button.IsHover());
  button.UpdateWindow();
  Canvas hover = RenderWindow(button);
  EXPECT_EQ(hover.GetPixel(15, 15), RGB(0, 255, 0));
  EXPECT_EQ(hover.GetPixel(0, 0), RGB(0xC0, 0xC0, 0xC0));  // hover border
  ClickAt(button, CPoint(15, 15));
  EXPECT_EQ(parent.clicked, 1);
  EXPECT_EQ(handler, 1);
  MouseMoveTo(parent, CPoint(150, 150));
  PumpMessages();
  EXPECT_FALSE(button.IsHover());
  button.DestroyWindow();
  parent.DestroyWindow();
}

TEST(HyperLink, GotoURLHandsTheAddressOn) {
  EXPECT_FALSE(CCoolHyperLink::GotoURL(u"", 5));
  EXPECT_FALSE(CCoolHyperLink::GotoURL(nullptr, 5));
  EXPECT_TRUE(CCoolHyperLink::GotoURL(u"http://example.test/register", 5));
  EXPECT_EQ(CCoolHyperLink::GetLastOpenedURL(), u"http://example.test/register");
  std::u16string opened;
  int shown = 0;
  CCoolHyperLink::SetURLOpener([&](const std::u16string& url, int show) {
    opened = url;
    shown = show;
    return FALSE;
  });
  EXPECT_FALSE(CCoolHyperLink::GotoURL(u"http://example.test/pw", 5));
  EXPECT_EQ(opened, u"http://example.test/pw");
  EXPECT_EQ(shown, 5);
  CCoolHyperLink::SetURLOpener(nullptr);
}

}  // namespace
