// One whole run on the fake platform: settings, the server start and the autostart entry.
#include <gtest/gtest.h>

#include "app/entry.h"
#include "app/globals.h"
#include "dbstart/autostart.h"
#include "dbstart/host_name.h"
#include "fake/fake_platform.h"

namespace velmor {
namespace {

using fake::Failure;
using fake::FakePlatform;
using fake::Op;

constexpr std::u16string_view ini = u"D:\\app\\setup.ini";

class StartSequence : public ::testing::Test {
 protected:
  void SetUp() override {
    platform.program_file = u"D:\\app\\velmor.exe";
    platform.processes = {{4, "System"}, {60, "explorer.exe"}};
  }
  void TearDown() override {
    gs_path.clear();
    gf_get_exename.reset();
  }

  void host_name(std::u16string_view name) { platform.set_registry(host_name_key, host_name_value, name); }
  void setting(std::u16string_view key, std::u16string_view value) { platform.set_ini(ini, u"database", key, value); }
  std::optional<Text> stored(std::u16string_view key) const { return platform.ini_value(ini, u"database", key); }
  std::optional<Text> autostart(std::u16string_view name) const { return platform.registry_value(autostart_key, name); }
  Text launched() const { return platform.launched.empty() ? Text(u"(nothing)") : platform.launched.at(0); }

  int run() { return velmor_main(platform); }

  FakePlatform platform;
};

TEST_F(StartSequence, FirstRunWithAHostNameDoesTheWholeJobUnseen) {
  host_name(u"SRV1");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(stored(u"apppath"), u"D:\\app");
  EXPECT_EQ(stored(u"setup"), u"1");
  EXPECT_EQ(stored(u"servername"), u"SRV1");
  ASSERT_EQ(platform.launched.size(), 1U);
  EXPECT_EQ(launched(), u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} D:\\app\\datebase\\qzdb.db");
  EXPECT_EQ(autostart(u"qzdb"), u"D:\\app\\velmor.exe");
  EXPECT_TRUE(platform.message_boxes.empty());
  ASSERT_EQ(platform.windows.size(), 1U) << "no dialog";
  EXPECT_FALSE(platform.windows[0].visible);
  EXPECT_EQ(platform.open_window_count(), 0U);
}

TEST_F(StartSequence, AccessesTheFileInItsFixedOrder) {
  host_name(u"SRV1");
  run();
  std::vector<std::string> accesses;
  for (const auto& call : platform.calls) {
    if (call.rfind("read_ini", 0) == 0 || call.rfind("write_ini", 0) == 0 || call.rfind("read_registry", 0) == 0) {
      accesses.push_back(call);
    }
  }
  const std::vector<std::string> expected = {"read_registry_string NV HostName",
                                             "write_ini apppath",
                                             "write_ini setup",
                                             "write_ini servername",
                                             "read_ini startype",
                                             "read_ini dbname",
                                             "read_ini apppath",
                                             "read_ini ip",
                                             "read_ini port",
                                             "read_ini servername"};
  EXPECT_EQ(accesses, expected);
}

TEST_F(StartSequence, TheHostNameOverridesAStoredName) {
  host_name(u"SRV1");
  setting(u"servername", u"OLD");
  run();
  EXPECT_EQ(stored(u"servername"), u"SRV1");
  EXPECT_NE(launched().find(u"-n SRV1 "), Text::npos);
}

TEST_F(StartSequence, WithoutAHostNameTheUserNamesTheServer) {
  platform.user = [](FakePlatform& p, WindowId w) {
    p.type(w, "sle_dbname", u" MYSRV ");
    p.click(w, "cb_1");
  };
  run();
  ASSERT_EQ(platform.windows.size(), 2U);
  EXPECT_EQ(platform.windows[1].name, "w_setup");
  EXPECT_EQ(stored(u"servername"), u"MYSRV");
  EXPECT_NE(launched().find(u"-n MYSRV "), Text::npos);
  EXPECT_EQ(platform.calls_of(Op::write_ini).size(), 3U) << "apppath, setup and the dialog's name";
}

TEST_F(StartSequence, NoNameAtAllFallsBackToTheDatabaseName) {
  setting(u"dbname", u"salesdb");
  run();  // the user closes the dialog from its title bar
  EXPECT_FALSE(stored(u"servername").has_value());
  EXPECT_EQ(launched(),
            u"dbsrv12.exe -os 10240k -m -c 8m -q -n salesdb -x tcpip{port=3362} D:\\app\\datebase\\salesdb.db");
}

TEST_F(StartSequence, AStoredNameIsUsedWhenTheHostNameIsMissing) {
  host_name(u"");
  setting(u"servername", u"KEPT");
  run();
  EXPECT_NE(launched().find(u"-n KEPT "), Text::npos);
}

TEST_F(StartSequence, SettingsChooseTheFormAndThePort) {
  host_name(u"SRV1");
  setting(u"startype", u"不显示");
  setting(u"port", u"");
  run();
  EXPECT_EQ(launched(), u"dbsrv12.exe -os 10240k -m -c 8m -qi -n SRV1 D:\\app\\datebase\\qzdb.db");
}

TEST_F(StartSequence, AnEmptyDatabaseNameGivesAnEmptyValueName) {
  host_name(u"SRV1");
  setting(u"dbname", u"");
  run();
  EXPECT_NE(launched().find(u"D:\\app\\datebase\\.db"), Text::npos);
  EXPECT_EQ(autostart(u""), u"D:\\app\\velmor.exe");
}

TEST_F(StartSequence, ARunningServerIsNotStartedAgain) {
  host_name(u"SRV1");
  platform.processes.push_back({900, "DBSRV12.EXE"});
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(platform.launched.empty());
  EXPECT_EQ(autostart(u"qzdb"), u"D:\\app\\velmor.exe");
  EXPECT_EQ(platform.open_window_count(), 0U);
  EXPECT_EQ(platform.open_handle_count(), 0U);
}

TEST_F(StartSequence, ProgramFolderWithBlanksIsQuotedForServerAndAutostart) {
  host_name(u"SRV1");
  platform.program_file = u"C:\\Program Files\\客户 端\\velmor.exe";
  run();
  EXPECT_EQ(launched(),
            u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} "
            u"\"C:\\Program Files\\客户 端\\datebase\\qzdb.db\"");
  EXPECT_EQ(autostart(u"qzdb"), u"\"C:\\Program Files\\客户 端\\velmor.exe\"");
}

TEST_F(StartSequence, ADriveRootKeepsItsDoubleBackslash) {
  host_name(u"SRV1");
  platform.program_file = u"E:\\velmor.exe";
  run();
  EXPECT_NE(launched().find(u" E:\\\\datebase\\qzdb.db"), Text::npos);
  EXPECT_EQ(autostart(u"qzdb"), u"E:\\\\velmor.exe");
}

TEST_F(StartSequence, ARefusedAutostartWriteIsReportedOnceAndTheRunEnds) {
  host_name(u"SRV1");
  platform.fail(Op::write_registry_string, Failure::unsuccessful);
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(platform.message_boxes.size(), 1U);
  EXPECT_EQ(platform.message_boxes[0].title, u"提示");
  EXPECT_EQ(platform.message_boxes[0].text,
            u"将数据库加入启动项失败，数据库将不能自动启动，请在关闭安全软件后重新运行该程序!!!");
  EXPECT_EQ(platform.launched.size(), 1U) << "the server start is not undone";
  EXPECT_EQ(platform.open_window_count(), 0U);
}

TEST_F(StartSequence, ARefusedWriteOfAnEntryAlreadyInPlaceIsNoFailure) {
  host_name(u"SRV1");
  platform.set_registry(autostart_key, u"qzdb", u"D:\\app\\velmor.exe");
  platform.fail(Op::write_registry_string, Failure::unsuccessful);
  run();
  EXPECT_TRUE(platform.message_boxes.empty());
}

TEST_F(StartSequence, ARefusedWriteOverADifferentEntryIsReported) {
  host_name(u"SRV1");
  platform.set_registry(autostart_key, u"qzdb", u"C:\\old\\velmor.exe");
  platform.fail(Op::write_registry_string, Failure::unsuccessful);
  run();
  EXPECT_EQ(platform.message_boxes.size(), 1U);
}

TEST_F(StartSequence, AFailedWriteOfTheStartDirectoryFallsBackToTheStoredOne) {
  host_name(u"SRV1");
  setting(u"apppath", u"F:\\moved");
  platform.fail(Op::write_ini, Failure::unsuccessful, 0, 1);
  run();
  EXPECT_NE(launched().find(u" F:\\moved\\datebase\\qzdb.db"), Text::npos);
}

TEST_F(StartSequence, AFailedCallStopsTheHandlerWithTheWindowOpen) {
  host_name(u"SRV1");
  platform.fail(Op::read_ini, Failure::call_fails, 1);  // the dbname read, after startype
  EXPECT_EQ(run(), 1);
  ASSERT_EQ(platform.reported_errors.size(), 1U);
  EXPECT_EQ(platform.reported_errors[0].operation(), "read_ini");
  EXPECT_EQ(platform.calls_of(Op::read_ini).size(), 2U);
  EXPECT_TRUE(platform.calls_of(Op::create_process_snapshot).empty());
  EXPECT_TRUE(platform.launched.empty());
  EXPECT_FALSE(autostart(u"qzdb").has_value());
  EXPECT_EQ(platform.open_window_count(), 1U);
}

TEST_F(StartSequence, AFailedLaunchCallStopsBeforeTheAutostartEntry) {
  host_name(u"SRV1");
  platform.fail(Op::run, Failure::call_fails);
  EXPECT_EQ(run(), 1);
  EXPECT_FALSE(autostart(u"qzdb").has_value());
  EXPECT_EQ(platform.open_window_count(), 1U);
}

TEST_F(StartSequence, AnUnsuccessfulLaunchIsNotExamined) {
  host_name(u"SRV1");
  platform.fail(Op::run, Failure::unsuccessful);
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(platform.message_boxes.empty());
  EXPECT_EQ(autostart(u"qzdb"), u"D:\\app\\velmor.exe");
}

}  // namespace
}  // namespace velmor
