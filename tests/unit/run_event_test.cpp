// Each run's event in the Application log: which runs write one, its type, ID and text, and
// /check's list of the last runs read back.
#include "app/run_event.h"

#include <gtest/gtest.h>

#include "dbstart/autostart.h"
#include "unit/fake_run.h"

namespace velmor {
namespace {

using fake::Failure;
using fake::FakePlatform;
using fake::Op;

TEST(RunEvent, TheOutcomeNamesTypeAndId) {
  const RunContext who{u"zhang", 1, false, u"PC-017", u"10.0.19045", u"2026-12-11 08:02:17"};
  const struct {
    Switch chosen;
    int exit_code;
    EventType type;
    std::uint32_t id;
  } rows[] = {
      {Switch::none, 0, EventType::information, 1000},       {Switch::register_, 0, EventType::information, 1001},
      {Switch::unregister, 0, EventType::information, 1002}, {Switch::none, 6, EventType::warning, 2002},
      {Switch::none, 20, EventType::warning, 2004},          {Switch::none, 16, EventType::warning, 2016},
      {Switch::none, 48, EventType::warning, 2016},          {Switch::none, 8, EventType::warning, 2008},
      {Switch::register_, 24, EventType::warning, 2016},     {Switch::unregister, 4, EventType::warning, 2004},
  };
  for (const auto& row : rows) {
    const RunEvent event = run_event(row.chosen, row.exit_code, nullptr, who);
    EXPECT_EQ(event.type, row.type) << row.exit_code;
    EXPECT_EQ(event.id, row.id) << row.exit_code;
    ASSERT_EQ(event.strings.size(), 3U);
    EXPECT_EQ(event.strings[1], u"zhang");
    const std::string code = std::to_string(row.exit_code);
    EXPECT_EQ(event.strings[2], Text(code.begin(), code.end()));
  }
  const RunEvent error = error_event(Switch::none, RuntimeError("read D:\\ทดสอบ\\setup.ini", 32), who);
  EXPECT_EQ(error.type, EventType::error);
  EXPECT_EQ(error.id, 3001U);
  EXPECT_NE(error.strings[0].find(u"失败的操作：read D:\\ทดสอบ\\setup.ini\n系统错误码：32"), Text::npos)
      << fake::narrow(error.strings[0]);
}

class RunLog : public FakeRun {
 protected:
  RunLog() : FakeRun(u"D:\\app\\velmor.exe") {}
  const LoggedEvent& last() const { return platform.event_log.back().event; }
};

TEST_F(RunLog, ARunTellsWhatItDidAndWhy) {
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(platform.event_log.size(), 1U);
  EXPECT_EQ(platform.event_log[0].source, u"velmor");
  EXPECT_EQ(last().type, EventType::information);
  EXPECT_EQ(last().id, 1000U);
  EXPECT_EQ(last().strings.at(0),
            u"velmor（登录或手工运行）\n用户：zhang，会话 1\n"
            u"服务器：已启动 C:\\SQLAny12\\Bin32\\dbsrv12.exe，进程 4001\n"
            u"命令行：dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} D:\\app\\datebase\\qzdb.db\n"
            u"自动启动项 qzdb（本程序的视图）：写入本程序的自动启动项：完成（原来：没有这一项）\n退出码：0");

  // Before the database, and where the write is refused: the facts that decided it.
  platform.databases_installed = false;
  platform.fail(Op::write_registry_string, Failure::unsuccessful);
  platform.set_registry(autostart_key, u"qzdb", u"C:\\gone\\velmor.exe");
  EXPECT_EQ(run(), 20);
  EXPECT_EQ(last().type, EventType::warning);
  EXPECT_EQ(last().id, 2004U);
  const Text text = last().strings.at(0);
  EXPECT_NE(text.find(u"服务器：没有启动：没有数据库文件 D:\\app\\datebase\\qzdb.db\n"), Text::npos)
      << fake::narrow(text);
  EXPECT_NE(text.find(u"：被拒绝（原来：启动的程序文件不存在，C:\\gone\\velmor.exe）"), Text::npos)
      << fake::narrow(text);
  EXPECT_EQ(last().strings.at(2), u"20");
}

// /check, /? and a command line not understood write none: see the switches' table.
TEST_F(RunLog, TheQuietEndWritesNoneAndAFailedWriteCostsNothing) {
  platform.lock_held_elsewhere = true;
  EXPECT_EQ(run(), 0) << "the quiet end beside a busy copy";
  EXPECT_TRUE(platform.event_log.empty());

  platform.lock_held_elsewhere = false;
  platform.fail(Op::report_event, Failure::call_fails);
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(platform.message_boxes.empty());
  EXPECT_TRUE(platform.reported_errors.empty());
  EXPECT_EQ(platform.launched.size(), 1U);
}

TEST_F(RunLog, RegisterRegistersTheSourceAndUnregisterRemovesItsOwn) {
  EXPECT_EQ(run(u"/register"), 0);
  EXPECT_EQ(platform.event_sources[u"velmor"], u"D:\\app\\velmor.exe");
  EXPECT_EQ(last().id, 1001U);
  platform.event_sources[u"velmor"] = u"E:\\other\\velmor.exe";  // another copy's registration
  EXPECT_EQ(run(u"/unregister"), 0);
  EXPECT_EQ(last().id, 1002U);
  EXPECT_EQ(platform.event_sources.count(u"velmor"), 1U);
  platform.event_sources[u"velmor"] = u"d:\\APP\\velmor.exe";
  EXPECT_EQ(run(u"/unregister"), 0);
  EXPECT_EQ(platform.event_sources.count(u"velmor"), 0U);
}

TEST_F(RunLog, ARunTimeErrorNamesTheFailedOperation) {
  platform.set_ini(u"D:\\app\\setup.ini", u"database", u"port", u"4000");
  platform.settings_locked_probes = 1000;
  EXPECT_EQ(run(), 1);
  ASSERT_EQ(platform.event_log.size(), 1U);
  EXPECT_EQ(last().type, EventType::error);
  EXPECT_NE(last().strings.at(0).find(u"失败的操作：read D:\\app\\setup.ini\n系统错误码：32"), Text::npos);
  EXPECT_EQ(platform.reported_errors.size(), 1U) << "seen: the report";

  // Run by a tool: the event and a line, no box holding the install up.
  platform.output_attached = true;
  platform.settings_locked_probes = 1000;
  platform.windows.clear();  // the failed run's window ended with its process
  EXPECT_EQ(run(u"/register"), 1);
  EXPECT_EQ(platform.reported_errors.size(), 1U);
  EXPECT_EQ(last().id, 3001U);
  EXPECT_EQ(platform.outputs.back(),
            u"velmor /register：运行出错而结束，失败的操作写在应用程序日志中（事件 3001）；退出码 1\n");
}

TEST_F(RunLog, CheckListsTheLastRunsNewestFirst) {
  for (const std::u16string_view tail : {u"", u"/register", u"", u"", u"", u""}) {
    run(tail);
  }
  platform.databases_installed = false;
  run();
  EXPECT_EQ(run(u"/check"), 16);
  const Text report = platform.reports.back().text;
  EXPECT_NE(report.find(u"最近的运行（应用程序日志，新的在前）：\n"
                        u"  2026-12-11 08:02:17  zhang  没有做完（事件 2016）  退出码 16\n"
                        u"  2026-12-11 08:02:17  zhang  完成（事件 1000）  退出码 0\n"),
            Text::npos)
      << fake::narrow(report);
  std::size_t listed = 0;
  for (auto at = report.find(u"\n  2026-"); at != Text::npos; at = report.find(u"\n  2026-", at + 1)) {
    ++listed;
  }
  EXPECT_EQ(listed, 5U) << "the last five";
  platform.fail(Op::recent_events, Failure::unsuccessful);
  run(u"/check");
  EXPECT_NE(platform.reports.back().text.find(u"最近的运行：读不到 Windows 的应用程序日志\n"), Text::npos);
}

}  // namespace
}  // namespace velmor
