// The deployers' switches on the fake platform: which command line asks for what, and what
// /register, /unregister and /check do and leave alone.
#include "app/switches.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/entry.h"
#include "app/globals.h"
#include "dbstart/autostart.h"
#include "dbstart/host_name.h"
#include "fake/fake_platform.h"
#include "unit/fake_run.h"

namespace velmor {
namespace {

using fake::Failure;
using fake::FakePlatform;
using fake::Op;
using fake::RegistryType;
using View = Platform::RegistryView;

constexpr std::u16string_view ours = u"\"C:\\Program Files\\client\\velmor.exe\"";
constexpr std::u16string_view approved =
    u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const std::string switched_off_mark("\x03\0\0\0\0\0\0\0\0\0\0\0", 12);

TEST(Switches, ASwitchFirstFollowedOnlyByQuietFlags) {
  const std::pair<Switch, std::vector<std::u16string_view>> rows[] = {
      {Switch::register_,
       {u"/register", u"-REGISTER", u"/register /quiet", u"/register /S -norestart", u"/register\"",
        u"\"/register\" /qn"}},
      {Switch::unregister, {u"  /Unregister ", u"/unregister -silent /q"}},
      {Switch::check, {u"/check", u"-Check", u" \t/check", u"\"/check\""}},
      {Switch::help, {u"/?", u"-?"}},
      {Switch::invalid, {u"/register x", u"/register /uninstall", u"/check /register", u"/unregister /quiet /force"}},
      {Switch::unknown, {u"/", u"/install", u"-start /quiet", u"/checks", u"/quiet", u"/x /check"}},
      {Switch::none, {u"", u"  ", u"check", u"logon /register"}},
  };
  for (const auto& [expected, lines] : rows) {
    for (const std::u16string_view line : lines) {
      EXPECT_EQ(switch_of(line), expected) << fake::narrow(line);
    }
  }
}

class SwitchRun : public FakeRun {
 protected:
  SwitchRun() : FakeRun(u"C:\\Program Files\\client\\velmor.exe") {}
  std::optional<Text> entry(View view = View::own) const {
    return platform.registry_value(autostart_key, u"qzdb", view);
  }
};

TEST_F(SwitchRun, RegisterDoesTheRunButTheServerAndTakesTheEntryOver) {
  platform.databases_installed = false;
  platform.set_registry(autostart_key, u"qzdb", u"\"C:\\client\\velmor.exe\"");
  platform.disk_files.insert(u"c:\\client\\velmor.exe");  // another install's copy
  EXPECT_EQ(run(u"/register"), 16) << "told that the client's database is not there yet";
  EXPECT_EQ(entry(), ours);
  EXPECT_TRUE(platform.launched.empty());
  EXPECT_TRUE(platform.calls_of(Op::create_process_snapshot).empty()) << "no server looked for";
  EXPECT_EQ(platform.ini_value(u"setup.ini", u"database", u"apppath"), u"C:\\Program Files\\client");

  // For the tool that ran it: one line where its output goes, and never a box.
  platform.output_attached = true;
  platform.fail(Op::write_registry_string, Failure::unsuccessful);
  platform.set_registry(autostart_key, u"qzdb", u"\"C:\\client\\velmor.exe\"");
  EXPECT_EQ(run(u"/register /quiet"), 20);
  EXPECT_TRUE(platform.message_boxes.empty());
  ASSERT_FALSE(platform.outputs.empty());
  EXPECT_EQ(
      platform.outputs.back(),
      u"velmor /register：自动启动项不在位（写入被拒绝、被任务管理器禁用或被策略忽略）；还没有数据库文件；退出码 20\n");

  // Beside a busy copy, the retry code deployment tools know; /unregister too, so that an
  // uninstaller never deletes the program under an entry that stays.
  platform.lock_held_elsewhere = true;
  EXPECT_EQ(run(u"/register"), 1618);
  EXPECT_EQ(run(u"/unregister"), 1618);
  EXPECT_EQ(entry(), u"\"C:\\client\\velmor.exe\"");
}

// A command line not understood does nothing at all: the help goes where a report would, and
// the exit code is 87. A word like a switch that is none is a plain run only where someone sees
// the screen; run by a deployment tool as SYSTEM it must not start a server. A report or the help
// changes nothing either, and writes no event.
TEST_F(SwitchRun, ACommandLineNotUnderstoodDoesNothing) {
  const struct {
    std::u16string_view tail;
    bool seen;
    int exit_code;
  } rows[] = {{u"/register /uninstall", true, 87},
              {u"/check /unregister", false, 87},
              {u"/install", false, 87},
              {u"/?", true, 0},
              {u"/check", true, 4},
              {u"/install", true, 0}};
  for (const auto& row : rows) {
    FakePlatform p;
    p.program_file = platform.program_file;
    p.command_line_text = u"velmor.exe " + Text(row.tail);
    p.set_registry(host_name_key, host_name_value, u"SRV1");
    p.display_visible = row.seen;
    EXPECT_EQ(velmor_main(p), row.exit_code) << fake::narrow(row.tail);
    const bool plain_run = row.tail == u"/install" && row.seen;
    EXPECT_EQ(p.launched.size(), plain_run ? 1U : 0U) << fake::narrow(row.tail);
    EXPECT_EQ(p.reports.size(), plain_run ? 0U : 1U) << fake::narrow(row.tail) << ": the help";
    if (!plain_run) {
      for (const Op changes : {Op::lock_instance, Op::find_window, Op::write_ini, Op::write_registry_string,
                               Op::delete_registry_value, Op::open_window, Op::message_box, Op::report_event}) {
        EXPECT_TRUE(p.calls_of(changes).empty()) << fake::narrow(row.tail) << ": " << op_name(changes);
      }
    }
  }
}

TEST_F(SwitchRun, UnregisterRemovesOnlyEntriesThatStartThisProgram) {
  platform.windows_64bit = true;
  platform.set_registry(autostart_key, u"qzdb", ours, RegistryType::plain_string, View::own);
  platform.set_registry(autostart_key, u"qzdb", u"C:\\PROGRA~1\\client\\velmor.exe", RegistryType::plain_string,
                        View::view32);
  platform.long_paths[u"c:\\progra~1\\client\\velmor.exe"] = u"C:\\Program Files\\client\\velmor.exe";
  platform.set_registry_bytes(approved, u"qzdb", switched_off_mark, RegistryType::binary, View::view64);
  platform.set_registry(autostart_key, u"other", u"C:\\other\\x.exe");
  // Under a name the client no longer uses, unquoted as the earlier program wrote it; it needs
  // no setting, so a setup.ini held open changes nothing.
  platform.set_registry(autostart_key, u"olddb", u"C:\\Program Files\\client\\velmor.exe");
  platform.settings_locked_probes = 1000;
  EXPECT_EQ(run(u"/unregister"), 0);
  EXPECT_FALSE(entry(View::own).has_value());
  EXPECT_FALSE(entry(View::view32).has_value());
  EXPECT_FALSE(platform.registry_value(autostart_key, u"olddb").has_value());
  EXPECT_FALSE(platform.read_logon_binary(approved, u"qzdb").has_value()) << "its switch with it";
  EXPECT_TRUE(platform.registry_value(autostart_key, u"other").has_value());
  EXPECT_TRUE(platform.calls_of(Op::write_ini).empty());
  EXPECT_TRUE(platform.windows.empty()) << "no window, no dialog";

  // Another install's entry stays; a refused removal is told by the exit code.
  platform.set_registry(autostart_key, u"qzdb", u"\"C:\\client\\velmor.exe\"");
  platform.disk_files.insert(u"c:\\client\\velmor.exe");
  EXPECT_EQ(run(u"/unregister"), 0);
  EXPECT_EQ(entry(), u"\"C:\\client\\velmor.exe\"");
  platform.set_registry(autostart_key, u"qzdb", ours);
  platform.fail(Op::delete_registry_value, Failure::unsuccessful);
  EXPECT_EQ(run(u"/unregister"), 4);
  EXPECT_TRUE(platform.message_boxes.empty()) << "for tools: the exit code tells it";
}

// /check reports what a run would do and why; it changes nothing, takes no guard and asks nobody.
TEST_F(SwitchRun, CheckTellsWhatARunWouldDoAndChangesNothing) {
  const auto entry_of = [](TextView data) {
    return [data = Text(data)](FakePlatform& p) { p.set_registry(autostart_key, u"qzdb", data); };
  };
  const auto ours_and = [&](const std::function<void(FakePlatform&)>& more) {
    return [=](FakePlatform& p) {
      entry_of(ours)(p);
      more(p);
    };
  };
  const struct {
    const char* what;
    std::function<void(FakePlatform&)> arrange;
    int exit_code;
    std::u16string_view says;
  } cases[] = {
      {"no entry yet", [](FakePlatform&) {}, 4,
       u"运行时：写入本程序的自动启动项：\"C:\\Program Files\\client\\velmor.exe\""},
      {"all in place", entry_of(ours), 0, u"启动服务器：C:\\SQLAny12\\Bin32\\dbsrv12.exe"},
      {"the name a run would use: the host name over a stored one", ours_and([](FakePlatform& p) {
         p.set_ini(u"C:\\Program Files\\client\\setup.ini", u"database", u"servername", u"OLDPC");
       }),
       0, u"-n SRV1 "},
      {"setup.ini held open: a run would stop, and no defaults are shown", ours_and([](FakePlatform& p) {
         p.set_ini(u"C:\\Program Files\\client\\setup.ini", u"database", u"dbname", u"sales");
         p.settings_locked_probes = 1000;
       }),
       1, u"退出码 1"},
      {"switched off", ours_and([](FakePlatform& p) {
         p.set_registry_bytes(approved, u"qzdb", switched_off_mark, RegistryType::binary, View::view64);
       }),
       4, u"任务管理器开关：已禁用"},
      {"no database", ours_and([](FakePlatform& p) { p.databases_installed = false; }), 16, u"没有数据库文件"},
      {"no server", ours_and([](FakePlatform& p) { p.disk_files.clear(); }), 2,
       u"查找过（不含当前文件夹）：\n  C:\\Program Files\\client\n  C:\\Windows\\system32"},
      {"another product's server runs", ours_and([](FakePlatform& p) {
         p.processes.push_back({900, "dbsrv12.exe"});
         p.process_paths[900] = u"D:\\Other\\dbsrv12.exe";
       }),
       0, u"D:\\Other\\dbsrv12.exe\n  不是本程序会启动的服务器程序"},
      {"another program listens on the port", ours_and([](FakePlatform& p) {
         p.tcp_listeners[3362] = 700;
         p.process_paths[700] = u"C:\\x\\other.exe";
       }),
       0, u"TCP 端口 3362：进程 700（C:\\x\\other.exe）在监听：不是 dbsrv12.exe"},
      {"the 32-bit view, as Windows names it",
       [&](FakePlatform& p) {
         p.registry_32bit_view = true;
         entry_of(ours)(p);
       },
       0, u"HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\microsoft\\windows\\currentversion\\run（32 位视图），值 qzdb"},
      {"the user's policy", ours_and([](FakePlatform& p) {
         p.set_registry_bytes(u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                              u"DisableLocalMachineRun", std::string("\1\0\0\0", 4), RegistryType::dword, View::view64);
       }),
       4, u"已由用户策略设置（HKEY_CURRENT_USER）"},
      {"no server, one runs", ours_and([](FakePlatform& p) {
         p.disk_files.clear();
         p.processes.push_back({900, "dbsrv12.exe"});
       }),
       0, u"进程 900，会话 1，C:\\SQLAny12\\Bin32\\dbsrv12.exe"},
      {"another install's entry, no database",
       [&](FakePlatform& p) {
         entry_of(u"C:\\client\\velmor.exe")(p);
         p.databases_installed = false;
         p.disk_files.insert(u"c:\\client\\velmor.exe");
       },
       20, u"自动启动项留给另一个副本"},
  };
  for (const auto& c : cases) {
    FakePlatform p;
    p.program_file = platform.program_file;
    p.command_line_text = u"velmor.exe /check";
    p.set_registry(host_name_key, host_name_value, u"SRV1");
    p.lock_held_elsewhere = true;  // no guard: it runs beside a busy copy
    c.arrange(p);
    EXPECT_EQ(velmor_main(p), c.exit_code) << c.what;
    const Text report = p.reports.empty() ? Text() : p.reports[0].text;
    EXPECT_NE(report.find(c.says), Text::npos) << c.what << "\n" << fake::narrow(report);
    EXPECT_EQ(report.find(u"数据库文件：C:\\Program Files\\client\\datebase\\qzdb.db") != Text::npos, c.exit_code != 1)
        << c.what;
    EXPECT_EQ(report.find(u"dbname=qzdb") != Text::npos, c.exit_code != 1) << c.what;
    for (const Op changes : {Op::write_ini, Op::write_registry_string, Op::delete_registry_value, Op::write_new_file,
                             Op::run, Op::open_window, Op::message_box}) {
      EXPECT_TRUE(p.calls_of(changes).empty()) << c.what << ": " << op_name(changes);
    }
  }
}

}  // namespace
}  // namespace velmor
