// The data service name dialog on the fake platform.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "dbstart/setup_ini.h"
#include "fake/fake_platform.h"
#include "ui/w_setup.h"
#include "ui/window_definitions.h"

namespace velmor {
namespace {

using fake::Failure;
using fake::FakePlatform;
using fake::Op;

class SetupDialog : public ::testing::Test {
 protected:
  void SetUp() override { gs_path = u"C:\\app"; }
  void TearDown() override { gs_path.clear(); }

  // Opens the dialog; `user` plays the person in front of it.
  WindowId open(std::function<void(FakePlatform&, WindowId)> user) {
    platform.user = [&, user](FakePlatform& p, WindowId id) {
      shown_text = p.window(id).texts.at("sle_dbname");
      shown_focus = p.window(id).focus;
      if (user) {
        user(p, id);
      }
    };
    return platform.open_window(w_setup_definition(), dialog);
  }

  std::optional<Text> stored() const { return platform.ini_value(u"C:\\app\\setup.ini", u"database", u"servername"); }

  FakePlatform platform;
  SetupIni ini{platform};
  w_setup dialog{platform, ini};
  Text shown_text;
  std::string shown_focus;
};

TEST_F(SetupDialog, ShowsTheStoredNameAsReadWithTheFocusInTheField) {
  platform.set_ini(u"C:\\app\\setup.ini", u"database", u"servername", u"  SRV 2  ");
  open(nullptr);
  EXPECT_EQ(shown_text, u"  SRV 2  ");
  EXPECT_EQ(shown_focus, "sle_dbname");
}

TEST_F(SetupDialog, StartsEmptyWithoutFileOrKey) {
  open(nullptr);
  EXPECT_EQ(shown_text, u"");
  EXPECT_EQ(shown_focus, "sle_dbname");
  platform.set_ini(u"C:\\app\\setup.ini", u"other", u"servername", u"X");
  open(nullptr);
  EXPECT_EQ(shown_text, u"");
}

TEST_F(SetupDialog, ReadsTheFileBesideTheProgram) {
  open(nullptr);
  EXPECT_EQ(platform.calls_of(Op::read_ini), std::vector<std::string>{"read_ini servername"});
}

TEST_F(SetupDialog, TheButtonStoresTheTrimmedNameAndCloses) {
  const WindowId id = open([](FakePlatform& p, WindowId w) {
    p.type(w, "sle_dbname", u"  SRV9 ");
    p.click(w, "cb_1");
  });
  EXPECT_EQ(stored(), u"SRV9");
  EXPECT_FALSE(platform.window(id).open);
}

TEST_F(SetupDialog, AnEmptyFieldStoresAnEmptyName) {
  platform.set_ini(u"C:\\app\\setup.ini", u"database", u"servername", u"OLD");
  open([](FakePlatform& p, WindowId w) {
    p.type(w, "sle_dbname", u"   ");
    p.click(w, "cb_1");
  });
  EXPECT_EQ(stored(), u"");
}

TEST_F(SetupDialog, ClosingFromTheTitleBarWritesNothing) {
  platform.set_ini(u"C:\\app\\setup.ini", u"database", u"servername", u"OLD");
  open([](FakePlatform& p, WindowId w) { p.type(w, "sle_dbname", u"NEW"); });
  EXPECT_EQ(stored(), u"OLD");
  EXPECT_TRUE(platform.calls_of(Op::write_ini).empty());
}

TEST_F(SetupDialog, AFailedWriteStillClosesTheDialog) {
  platform.fail(Op::write_ini, Failure::unsuccessful);
  const WindowId id = open([](FakePlatform& p, WindowId w) {
    p.type(w, "sle_dbname", u"NEW");
    p.click(w, "cb_1");
  });
  EXPECT_FALSE(stored().has_value());
  EXPECT_EQ(platform.calls_of(Op::close_window).size(), 1U);
  EXPECT_FALSE(platform.window(id).open);
}

TEST(OneLine, StoresOneLineWithoutSurroundingBlanks) {
  EXPECT_EQ(one_line(u" SRV1 "), u"SRV1");
  EXPECT_EQ(one_line(u"SRV 1"), u"SRV 1") << "blanks inside stay";
  EXPECT_EQ(one_line(u"SRV1\r\n"), u"SRV1");
  EXPECT_EQ(one_line(u"SRV1\r\n[other]\r\nkey=x"), u"SRV1") << "no second line reaches the file";
  EXPECT_EQ(one_line(u"\r\n  SRV1 \nX"), u"SRV1");
  EXPECT_EQ(one_line(u"SRV1\rX"), u"SRV1");
  EXPECT_EQ(one_line(u"\r\n"), u"");
  EXPECT_EQ(one_line(u""), u"");
  EXPECT_EQ(one_line(u"服务器 "), u"服务器");
}

}  // namespace
}  // namespace velmor
