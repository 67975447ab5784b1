// hostsim --snapshots: step pictures, modal pictures and the page fragment.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "hostsim/host_session.h"
#include "hostsim/snapshots.h"
#include "platform/menu.h"
#include "tests/platform/temp_dir.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class Snapshots : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host_.LoadLibrary()) << host_.LastError();
    ASSERT_TRUE(
        host_.LoadLayoutText("<layout width='200' height='180'>"
                             "<panel type='PluginSysSetup' name='setup' rect='0,0,24,24'/>"
                             "<panel type='PluginFTree' name='ftree' rect='0,30,200,150'/>"
                             "</layout>"))
        << host_.LastError();
  }
  void TearDown() override { host_.UnloadLibrary(); }
  std::ostringstream out_;
  CHostSession host_{&out_};
  TempDir dir_;
};

TEST_F(Snapshots, PanelsAndTheMainWindowArePictured) {
  const Canvas main = SnapshotPanel(host_, "main");
  EXPECT_EQ(main.Width(), 200);
  EXPECT_EQ(main.Height(), 180);
  const Canvas tree = SnapshotPanel(host_, "ftree");
  EXPECT_EQ(tree.Width(), 200);
  EXPECT_EQ(tree.Height(), 150);
  EXPECT_TRUE(SnapshotPanel(host_, "nosuch").Empty());
}

TEST_F(Snapshots, StepsChangedPicturesMenusAndAnEscapedPage) {
  ModalDriver* before = GetModalDriver();
  {
    CSnapshotRecorder rec(host_, dir_.Path("pics"), "demo");
    std::string error;
    ASSERT_TRUE(rec.Start(error)) << error;
    rec.BeforeLine(1, {"echo", "==", "第一步"});
    rec.BeforeLine(2, {"dump", "ftree"});
    rec.AfterLine({"dump", "ftree"});  // first picture
    rec.BeforeLine(3, {"dump", "ftree"});
    rec.AfterLine({"dump", "ftree"});  // unchanged: no picture, the line waits
    rec.BeforeLine(4, {"hide", "setup"});
    ShowWindow(host_.Panel(u"setup")->plugin->GetPluginWnd(), SW_HIDE);
    rec.AfterLine({"hide", "setup"});
    rec.BeforeLine(5, {"echo", "==", "<菜单>"});  // the hidden button: second picture
    rec.BeforeLine(6, {"rclick", "ftree", "a b"});
    HMENU m = CreatePopupMenu();
    AppendMenuW(m, MF_STRING, 7, u"打开");
    TrackPopupMenu(m, TPM_RETURNCMD, 10, 10, 0, host_.MainWindow(), nullptr);
    DestroyMenu(m);
    rec.AfterLine({"rclick", "ftree", "a b"});
    // A snapshot line's picture joins the gallery under the scenario's name.
    rec.BeforeLine(7, {"snapshot", "main", "shot.png"});
    ASSERT_TRUE(WriteWindowSnapshot(host_.MainWindow(), dir_.Path("shot.png")));
    rec.Written(dir_.Path("shot.png"));
    rec.AfterLine({"snapshot", "main", "shot.png"});
    EXPECT_TRUE(rec.Finish());
  }
  EXPECT_EQ(GetModalDriver(), before);  // the host's driver is back
  EXPECT_TRUE(std::filesystem::exists(dir_.Path("pics/demo-step-1.png")));
  EXPECT_TRUE(std::filesystem::exists(dir_.Path("pics/demo-step-2.png")));
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("pics/demo-step-3.png")));  // menus change nothing
  EXPECT_TRUE(std::filesystem::exists(dir_.Path("pics/demo-menu-1.png")));
  EXPECT_TRUE(std::filesystem::exists(dir_.Path("pics/demo-shot.png")));
  const std::string page = Slurp(dir_.Path("pics/demo.html"));
  EXPECT_NE(page.find("<h3>第一步</h3>"), std::string::npos);
  EXPECT_NE(page.find("<h3>&lt;菜单&gt;</h3>"), std::string::npos);
  // Each picture's caption holds the lines since the one before: the
  // unchanged dump's line waits for the next picture.
  auto figure = [&](const std::string& picture) {
    const auto at = page.find("src=\"" + picture + "\"");
    return at == std::string::npos ? std::string()
                                   : page.substr(at, page.find("</figure>", at) - at);
  };
  EXPECT_NE(figure("demo-step-1.png").find("2  dump ftree"), std::string::npos);
  EXPECT_EQ(figure("demo-step-1.png").find("3  dump ftree"), std::string::npos);
  EXPECT_NE(figure("demo-step-2.png").find("3  dump ftree\n4  hide setup"), std::string::npos);
  // Quoted words are quoted again; the menu's caption is the line that opened it.
  EXPECT_NE(figure("demo-menu-1.png").find("<pre>6  rclick ftree &quot;a b&quot;\n</pre>"),
            std::string::npos)
      << figure("demo-menu-1.png");
  EXPECT_NE(figure("demo-shot.png").find("<pre>7  snapshot main shot.png\n</pre>"),
            std::string::npos);
}

TEST_F(Snapshots, AFolderThatCannotBeMadeIsBadInput) {
  std::ofstream(dir_.Path("file")) << "x";
  CSnapshotRecorder rec(host_, dir_.Path("file/pics"), "demo");
  std::string error;
  EXPECT_FALSE(rec.Start(error));
  EXPECT_NE(error.find("file/pics"), std::string::npos);
}

}  // namespace
