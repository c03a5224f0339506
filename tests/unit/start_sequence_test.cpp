// One whole run on the fake platform: settings, the server start and the autostart entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/entry.h"
#include "app/globals.h"
#include "dbstart/autostart.h"
#include "dbstart/host_name.h"
#include "fake/fake_platform.h"
#include "platform/explorer_environment.h"

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
  EXPECT_EQ(platform.launched_in, std::vector<Text>{u"D:\\app"}) << "the server works in the start path";
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
                                             "read_ini port",
                                             "read_ini servername",
                                             "read_registry_string qzdb",
                                             "read_registry_string qzdb"};  // read first, read back
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

// No server without its database file; the run registers itself all the same (the client makes
// its database at its own first start), but an entry that starts another installed copy is that
// copy's (this one was unpacked into Downloads).
TEST_F(StartSequence, WithoutItsDatabaseFileARunStartsNothingButRegistersItself) {
  const Text ours = u"D:\\app\\velmor.exe";
  const Text client = u"\"C:\\client\\velmor.exe\"";
  struct Case {
    const char* what;
    std::function<void(FakePlatform&)> arrange;
    int exit_code;
    std::optional<Text> entry_after;
    bool launched = false;
  };
  const auto entry = [](TextView data) {
    return [data = Text(data)](FakePlatform& p) { p.set_registry(autostart_key, u"qzdb", data); };
  };
  const Case cases[] = {
      {"no entry: written", [](FakePlatform&) {}, 16, ours},
      {"another installed copy's entry: left to it",
       [&](FakePlatform& p) {
         entry(client)(p);
         p.disk_files.insert(u"c:\\client\\velmor.exe");
       },
       48, client},
      {"an entry whose program is gone: taken over", entry(client), 16, ours},
      {"only another database there",
       [](FakePlatform& p) {
         p.disk_files.insert(u"d:\\app\\datebase\\qzdb.db");
         p.set_ini(ini, u"database", u"dbname", u"sales");
       },
       16, std::nullopt},
      {"refused write: the box, and 4",
       [](FakePlatform& p) { p.fail(Op::write_registry_string, Failure::unsuccessful); }, 20, std::nullopt},
      {"nobody to ask for a name either",
       [](FakePlatform& p) {
         p.set_registry(host_name_key, host_name_value, u"");
         p.display_visible = false;
       },
       24, ours},
      {"the look refused (access denied, drive not ready): the server says what it cannot open",
       [](FakePlatform& p) { p.file_states[u"d:\\app\\datebase\\qzdb.db"] = FileState::unknown; }, 0, ours, true},
  };
  for (const auto& c : cases) {
    FakePlatform p;
    p.program_file = ours;
    p.databases_installed = false;
    p.set_registry(host_name_key, host_name_value, u"SRV1");
    c.arrange(p);
    EXPECT_EQ(velmor_main(p), c.exit_code) << c.what;
    EXPECT_EQ(p.launched.size(), c.launched ? 1U : 0U) << c.what;
    if (c.entry_after.has_value()) {
      EXPECT_EQ(p.registry_value(autostart_key, u"qzdb"), c.entry_after) << c.what;
    }
    EXPECT_EQ(p.message_boxes.size(), (c.exit_code & 4) != 0 ? 1U : 0U) << c.what;
    EXPECT_EQ(p.ini_value(ini, u"database", u"apppath"), u"D:\\app") << c.what << ": setup.ini as always";
  }
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
  EXPECT_EQ(run(), 4);
  ASSERT_EQ(platform.message_boxes.size(), 1U);
  EXPECT_EQ(platform.message_boxes[0].title, u"提示");
  EXPECT_EQ(platform.message_boxes[0].text,
            u"将数据库加入启动项失败，数据库将不能自动启动，请在关闭安全软件后重新运行该程序!!!");
  EXPECT_EQ(platform.launched.size(), 1U) << "the server start is not undone";
  EXPECT_EQ(platform.open_window_count(), 0U);
  // The box waits only once the guard is gone: the re-run it asks for must not end at it.
  const auto at = [&](const std::string& call) {
    return std::find(platform.calls.begin(), platform.calls.end(), call) - platform.calls.begin();
  };
  EXPECT_LT(at("close_window w_db_start"), at("release_instance_lock"));
  EXPECT_LT(at("release_instance_lock"), at("message_box 提示"));
}

// The autostart is in place only when Windows will start this program at the next logon; an
// entry that already starts it is not written again.
TEST_F(StartSequence, TheAutostartIsInPlaceOnlyWhenWindowsWillStartTheProgram) {
  using fake::RegistryType;
  const std::u16string_view approved =
      u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
      u"StartupApproved\\Run";
  const std::string off("\x03\0\0\0\xD4\x0D\x43\x8D\xC8\x3B\xD9\x01", 12);
  const std::string on("\x02\0\0\0\0\0\0\0\0\0\0\0", 12);
  using View = Platform::RegistryView;
  struct Case {
    const char* what;
    std::function<void(FakePlatform&)> arrange;
    int exit_code;
    std::size_t writes;
    std::optional<Text> entry_after = std::nullopt;  // in the program's own view
  };
  const auto entry = [](std::u16string_view data, RegistryType type = RegistryType::plain_string,
                        View view = View::own) {
    return [=](FakePlatform& p) { p.set_registry(autostart_key, u"qzdb", data, type, view); };
  };
  // The program in C:\Program Files\client: the earlier program's unquoted entry, and 64-bit
  // Windows with its two views and folders.
  const auto program_files = [](std::u16string_view folder, const std::function<void(FakePlatform&)>& arrange) {
    return [=](FakePlatform& p) {
      p.program_file = Text(folder) + u"\\client\\velmor.exe";
      p.environment[u"programfiles"] = u"C:\\Program Files (x86)";
      p.environment[u"programw6432"] = u"C:\\Program Files";
      arrange(p);
    };
  };
  const auto wow64 = [](const std::function<void(FakePlatform&)>& arrange) {
    return [=](FakePlatform& p) {
      p.registry_32bit_view = true;
      arrange(p);
    };
  };
  const Text unquoted = u"C:\\Program Files\\client\\velmor.exe";
  const Text quoted = u"\"" + unquoted + u"\"";
  const auto refused = [](const std::function<void(FakePlatform&)>& arrange) {
    return [=](FakePlatform& p) {
      arrange(p);
      p.fail(Op::write_registry_string, Failure::unsuccessful);
    };
  };
  // Explorer reads the switch and the policy in the 64-bit view.
  const auto mark = [&](std::u16string_view key, const std::string& bytes) {
    return [=](FakePlatform& p) { p.set_registry_bytes(key, u"qzdb", bytes, RegistryType::binary, View::view64); };
  };
  const auto policy = [](std::u16string_view root) {
    return [=](FakePlatform& p) {
      p.set_registry_bytes(Text(root) + u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                           u"DisableLocalMachineRun", std::string("\1\0\0\0", 4), RegistryType::dword, View::view64);
    };
  };
  const Case cases[] = {
      {"exactly this entry: no write", entry(u"D:\\app\\velmor.exe"), 0, 0},
      {"another program's entry: overwritten", entry(u"C:\\old\\velmor.exe"), 0, 1},
      {"refused over another entry", refused(entry(u"C:\\old\\velmor.exe")), 4, 1},
      {"expandable, %SystemDrive%", refused(entry(u"%SystemDrive%\\app\\velmor.exe", RegistryType::expandable_string)),
       0, 0},
      {"other letter case", refused(entry(u"d:\\APP\\VELMOR.EXE")), 0, 0},
      {"quoted, with an argument", refused(entry(u"\"D:\\app\\velmor.exe\" /x")), 0, 0},
      {"quoted, with one of its switches: no plain run, replaced", entry(u"\"D:\\app\\velmor.exe\" -Register"), 0, 1,
       u"D:\\app\\velmor.exe"},
      // Compared as the file system compares names, also where Windows XP lacks CompareStringOrdinal.
      {"other letter case, accented and Cyrillic",
       [&](FakePlatform& p) {
         p.program_file = u"D:\\café\\Клиент ÿ\\velmor.exe";
         refused(entry(u"\"D:\\CAFÉ\\КЛИЕНТ Ÿ\\VELMOR.EXE\""))(p);
       },
       0, 0},
      {"a look-alike letter (Cyrillic а) is another program", refused(entry(u"D:\\аpp\\velmor.exe")), 4, 1},
      {"another file of that folder", refused(entry(u"D:\\app\\velmor2.exe")), 4, 1},
      {"written but dropped by a filter", [](FakePlatform& p) { p.registry_writes_dropped = true; }, 4, 1},
      {"switched on in Task Manager", mark(approved, on), 0, 1},
      {"switched off: switched back on", mark(approved, off), 0, 1},
      {"switched off, 32-bit build: its entries' switches are under Run32",
       [&](FakePlatform& p) {
         p.registry_32bit_view = true;
         mark(Text(approved) + u"32", off)(p);
       },
       0, 1},
      {"machine Run key ignored by machine policy", policy(u"HKEY_LOCAL_MACHINE"), 4, 1},
      {"machine Run key ignored by user policy", policy(u"HKEY_CURRENT_USER"), 4, 1},
      {"a drive root's own entry, as composed",
       [&](FakePlatform& p) {
         p.program_file = u"E:\\velmor.exe";
         refused(entry(u"E:\\\\velmor.exe"))(p);
       },
       0, 0},
      {"the earlier program's unquoted entry: quoted", program_files(u"C:\\Program Files", entry(unquoted)), 0, 1,
       quoted},
      {"the earlier program's unquoted entry, not ours to quote",
       program_files(u"C:\\Program Files", refused(entry(unquoted))), 0, 1, unquoted},
      {"unquoted, and C:\\Program.exe exists: that one starts",
       program_files(u"C:\\Program Files", refused([&](FakePlatform& p) {
                       entry(unquoted)(p);
                       p.disk_files.insert(u"c:\\program.exe");
                     })),
       4, 1},
      {"unquoted, and C:\\Program.exe exists: quoted where it may be",
       program_files(u"C:\\Program Files",
                     [&](FakePlatform& p) {
                       entry(unquoted)(p);
                       p.disk_files.insert(u"c:\\program.exe");
                     }),
       0, 1, quoted},
      {"the 8.3 short form of its path", program_files(u"C:\\Program Files", refused([&](FakePlatform& p) {
                                                         entry(u"C:\\PROGRA~1\\client\\velmor.exe")(p);
                                                         p.long_paths[u"c:\\progra~1\\client\\velmor.exe"] = unquoted;
                                                       })),
       0, 0},
      {"started by its own 8.3 name: the entry names the long one",
       program_files(u"C:\\PROGRA~1",
                     [&](FakePlatform& p) {
                       p.program_file = u"C:\\PROGRA~1\\client\\VELMOR~1.EXE";
                       p.long_paths[u"c:\\progra~1\\client\\velmor~1.exe"] = unquoted;
                       p.disk_files.insert(u"c:\\program files\\client\\datebase\\qzdb.db");
                     }),
       0, 1, quoted},
      {"32-bit build, entry in the 64-bit view: no second entry",
       wow64(entry(u"\"D:\\app\\velmor.exe\"", RegistryType::plain_string, View::view64)), 0, 0},
      {"32-bit build, entry in the 64-bit view, switched off there: switched on", wow64([&](FakePlatform& p) {
         entry(u"D:\\app\\velmor.exe", RegistryType::plain_string, View::view64)(p);
         mark(approved, off)(p);
       }),
       0, 0},
      {"32-bit build, entry in the 64-bit view, switched off, not ours", wow64(refused([&](FakePlatform& p) {
         entry(u"D:\\app\\velmor.exe", RegistryType::plain_string, View::view64)(p);
         mark(approved, off)(p);
         p.fail(Op::delete_registry_value, Failure::unsuccessful);
       })),
       4, 0},
      {"64-bit build, entry in the 32-bit view",
       [&](FakePlatform& p) {
         p.windows_64bit = true;
         refused(entry(u"D:\\app\\velmor.exe", RegistryType::plain_string, View::view32))(p);
       },
       0, 0},
      {"32-bit build in Program Files (x86): %ProgramFiles% is Explorer's",
       program_files(u"C:\\Program Files (x86)",
                     wow64(refused(entry(u"%ProgramFiles%\\client\\velmor.exe", RegistryType::expandable_string)))),
       4, 1},
      {"32-bit build in Program Files, %ProgramFiles%, Windows XP x64: no %ProgramW6432%",
       program_files(u"C:\\Program Files", wow64(refused([&](FakePlatform& p) {
                       entry(u"%ProgramFiles%\\client\\velmor.exe", RegistryType::expandable_string)(p);
                       p.environment.erase(u"programw6432");
                       p.set_registry(windows_folders_key, u"ProgramFilesDir", u"C:\\Program Files",
                                      RegistryType::plain_string, View::view64);
                     }))),
       0, 1},
      {"32-bit build in Program Files, %ProgramFiles%",
       program_files(u"C:\\Program Files",
                     wow64(refused(entry(u"%ProgramFiles%\\client\\velmor.exe", RegistryType::expandable_string)))),
       0, 1},
  };
  for (const auto& c : cases) {
    FakePlatform p;
    p.program_file = u"D:\\app\\velmor.exe";
    p.set_registry(host_name_key, host_name_value, u"SRV1");
    c.arrange(p);
    EXPECT_EQ(velmor_main(p), c.exit_code) << c.what;
    EXPECT_EQ(p.message_boxes.size(), c.exit_code == 0 ? 0U : 1U) << c.what;
    if (!p.message_boxes.empty()) {
      // Under the policy, closing the security software would not help.
      EXPECT_EQ(p.message_boxes[0].text,
                std::string(c.what).find("policy") != std::string::npos ? autostart_policy_text : autostart_failed_text)
          << c.what;
    }
    EXPECT_EQ(p.calls_of(Op::write_registry_string).size(), c.writes) << c.what;
    if (c.entry_after) {
      EXPECT_EQ(p.registry_value(autostart_key, u"qzdb"), c.entry_after) << c.what;
    }
    for (const Text& key : {Text(approved), Text(approved) + u"32"}) {
      EXPECT_FALSE(c.exit_code == 0 && p.read_logon_binary(key, u"qzdb") == off)
          << c.what << ": a run that succeeds leaves no switch off";
    }
  }
}

TEST_F(StartSequence, AFailedWriteOfTheStartDirectoryStillUsesTheRealFolder) {
  host_name(u"SRV1");
  setting(u"apppath", u"F:\\old-pc");
  platform.fail(Op::write_ini, Failure::unsuccessful, 0, 1);
  run();
  EXPECT_NE(launched().find(u" D:\\app\\datebase\\qzdb.db"), Text::npos);
  EXPECT_EQ(autostart(u"qzdb"), u"D:\\app\\velmor.exe");
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

TEST_F(StartSequence, AnUnsuccessfulLaunchShowsNothingAndGoesOn) {
  host_name(u"SRV1");
  platform.fail(Op::run, Failure::unsuccessful);
  EXPECT_EQ(run(), 2);
  EXPECT_TRUE(platform.message_boxes.empty());
  EXPECT_EQ(autostart(u"qzdb"), u"D:\\app\\velmor.exe");
}

// Where nobody sees the screen (a deployment tool's run as SYSTEM), nothing waits for a person:
// the exit code alone tells what was not done.
TEST_F(StartSequence, TheExitCodeTellsWhichPartOfTheJobIsNotDone) {
  struct Case {
    bool server_runs;
    bool launch_fails;
    bool registry_refuses;
    int exit_code;
    bool seen = true;
    bool no_host_name = false;
    bool settings_locked = false;
  };
  for (const Case c : {Case{false, false, false, 0}, Case{true, true, false, 0}, Case{false, true, false, 2},
                       Case{false, false, true, 4}, Case{false, true, true, 6}, Case{true, true, true, 4},
                       Case{false, false, true, 4, false}, Case{false, false, false, 8, false, true},
                       Case{false, false, true, 12, false, true}, Case{false, false, false, 1, false, false, true}}) {
    FakePlatform p;
    p.program_file = u"D:\\app\\velmor.exe";
    p.display_visible = c.seen;
    if (!c.no_host_name) {
      p.set_registry(host_name_key, host_name_value, u"SRV1");
    }
    if (c.server_runs) {
      p.processes.push_back({900, "dbsrv12.exe"});
    }
    if (c.launch_fails) {
      p.fail(Op::run, Failure::unsuccessful);
    }
    if (c.registry_refuses) {
      p.fail(Op::write_registry_string, Failure::unsuccessful);
    }
    if (c.settings_locked) {
      p.set_ini(u"setup.ini", u"database", u"port", u"4000");
      p.settings_locked_probes = 1000;
    }
    const std::string what = std::to_string(c.exit_code) + (c.seen ? ", seen" : ", nobody sees it");
    EXPECT_EQ(velmor_main(p), c.exit_code) << what;
    EXPECT_EQ(p.message_boxes.size(), c.registry_refuses && c.seen ? 1U : 0U) << what << ": nothing new on screen";
    EXPECT_EQ(p.reported_errors.size(), c.settings_locked && c.seen ? 1U : 0U) << what;
    EXPECT_EQ(p.windows.size(), 1U) << what << ": the hidden main window, no dialog";
    if (c.no_host_name) {
      EXPECT_NE(p.launched.at(0).find(u" -n qzdb "), Text::npos) << what << ": as when the dialog is closed unsaved";
    }
  }
}

TEST_F(StartSequence, ALineBreakInTheHostNameWritesNoSecondKey) {
  host_name(u"SRV1\r\nport=1");
  run();
  EXPECT_EQ(stored(u"servername"), u"SRV1");
  EXPECT_FALSE(stored(u"port").has_value());
  EXPECT_EQ(launched(), u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} D:\\app\\datebase\\qzdb.db");
}

TEST_F(StartSequence, ASettingsFileHeldOpenBrieflyIsWaitedFor) {
  host_name(u"SRV1");
  setting(u"dbname", u"mydb");
  platform.raw_files[platform.resolve(u"setup.ini")] = "[database]\r\ndbname=mydb\r\n";  // read once let go of
  platform.settings_locked_probes = 5;
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(platform.slept_ms, 500U);
  EXPECT_NE(launched().find(u"\\mydb.db"), Text::npos);
}

TEST_F(StartSequence, ASettingsFileThatStaysLockedStopsTheRunBeforeAnythingIsWritten) {
  host_name(u"SRV1");
  setting(u"dbname", u"mydb");
  platform.settings_locked_probes = 1000;
  EXPECT_EQ(run(), 1);
  ASSERT_EQ(platform.reported_errors.size(), 1U);
  EXPECT_EQ(platform.reported_errors[0].operation(), "read D:\\app\\setup.ini");
  EXPECT_EQ(platform.reported_errors[0].system_code(), 32U);
  EXPECT_GE(platform.slept_ms, 2000U);
  EXPECT_LE(platform.slept_ms, 2100U);
  EXPECT_TRUE(platform.calls_of(Op::write_ini).empty());
  EXPECT_TRUE(platform.launched.empty());
  EXPECT_FALSE(autostart(u"mydb").has_value());
  EXPECT_FALSE(autostart(u"qzdb").has_value());
}

// setup.ini holds every character: a value outside the ANSI code page (the fake's is Latin-1)
// makes the file UTF-16 first; other files stay as they are. A file that cannot be converted
// is not written into, and no conversion leaves a file behind.
TEST_F(StartSequence, AValueOutsideTheCodePageMakesTheFileUnicodeFirst) {
  const std::string bom = "\xFF\xFE";
  const std::string ansi = "; client\r\n[client]\r\nuser=M\xFCller\r\n[database]\r\nport=4000\r\n";
  std::string as_utf16 = bom;  // every Latin-1 byte is one UTF-16LE unit with a zero high byte
  for (const char c : ansi) {
    as_utf16 += c;
    as_utf16 += '\0';
  }
  const std::string utf8 = "\xEF\xBB\xBF[database]\r\napppath=D:\\old\r\n";
  const auto refused = [](FakePlatform& p) { p.replace_error = 5; };
  struct Case {
    const char* what;
    std::optional<std::string> before;
    std::u16string_view folder;
    std::optional<std::string> after;
    std::function<void(FakePlatform&)> arrange = [](FakePlatform&) {};
    bool written = true;  // apppath and the rest
  };
  const Case cases[] = {
      {"fits, no file: nothing converted", std::nullopt, u"D:\\app", std::nullopt},
      {"fits, ANSI file: stays ANSI", ansi, u"D:\\M\u00FCller", ansi},
      {"does not fit, no file: created as UTF-16", std::nullopt, u"D:\\ทดสอบ", bom},
      {"does not fit, ANSI file: same text as UTF-16", ansi, u"D:\\ทดสอบ", as_utf16},
      {"does not fit, UTF-16 file: left as it is", bom + "x", u"D:\\ทดสอบ", bom + "x"},
      {"UTF-8 file with its mark: made UTF-16 before anything is read", "\xEF\xBB\xBF[x]", u"D:\\app",
       bom + std::string("[\0x\0]\0", 6)},
      {"UTF-8 file with its mark, first read refused once: still made UTF-16", "\xEF\xBB\xBF[x]", u"D:\\app",
       bom + std::string("[\0x\0]\0", 6),
       [](FakePlatform& p) { p.fail(Op::read_settings_file, Failure::unsuccessful, 0, 1); }},
      {"UTF-8 file that cannot be rewritten: its old apppath stays", utf8, u"D:\\ทดสอบ", utf8, refused, false},
      {"UTF-16BE file that cannot be rewritten: left as it is", std::string("\xFE\xFF\0x", 4), u"D:\\app",
       std::string("\xFE\xFF\0x", 4), refused, false},
      {"marked UTF-8 that is not: not converted as ANSI", "\xEF\xBB\xBFx=\xBF\xCD", u"D:\\ทดสอบ",
       "\xEF\xBB\xBFx=\xBF\xCD", [](FakePlatform&) {}, false},
      {"does not fit, no file, final rename refused", std::nullopt, u"D:\\ทดสอบ", std::nullopt,
       [](FakePlatform& p) { p.fail(Op::move_file, Failure::unsuccessful); }, false},
  };
  for (const auto& c : cases) {
    FakePlatform p;
    p.program_file = Text(c.folder) + u"\\velmor.exe";
    p.set_registry(host_name_key, host_name_value, u"SRV1");
    if (c.before) {
      p.raw_files[p.resolve(u"setup.ini")] = *c.before;
    }
    c.arrange(p);
    EXPECT_EQ(velmor_main(p), 0) << c.what;
    const auto file = p.raw_files.find(p.resolve(u"setup.ini"));
    EXPECT_EQ(file == p.raw_files.end() ? std::nullopt : std::optional<std::string>(file->second), c.after) << c.what;
    EXPECT_EQ(p.ini_value(u"setup.ini", u"database", u"apppath"),
              c.written ? std::optional<Text>(c.folder) : std::nullopt)
        << c.what;
    for (const auto& [path, bytes] : p.raw_files) {
      EXPECT_FALSE(path.ends_with(u".tmp") || path.ends_with(u".bak")) << c.what << ": " << fake::narrow(path);
    }
  }
}

// A setup.ini saved by Notepad that this run may not rewrite (a standard user's logon; the
// client holding it open) is read as it says, and nothing is written into it.
TEST_F(StartSequence, AUnicodeFileThatCannotBeRewrittenIsReadAsItSays) {
  const std::string utf8 =
      "[database]\r\nstartype=\xE4\xB8\x8D\xE6\x98\xBE\xE7\xA4\xBA\r\n"                   // 不显示
      "dbname=\xE5\xAE\xA2\xE6\x88\xB7\xE5\xBA\x93\r\nport=4000\r\nservername=KEPT\r\n";  // 客户库
  for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8}) {
    FakePlatform p;
    p.program_file = u"D:\\app\\velmor.exe";
    p.raw_files[p.resolve(u"setup.ini")] = bytes;
    p.set_registry(autostart_key, u"客户库", u"D:\\app\\velmor.exe");
    p.fail(Op::write_registry_string, Failure::unsuccessful);
    p.fail(Op::replace_file, Failure::unsuccessful);
    Text shown;
    p.user = [&](FakePlatform& fp, WindowId w) {  // no host name: the dialog asks
      shown = fp.window(w).texts.at("sle_dbname");
      fp.type(w, "sle_dbname", u"NEW");
      fp.click(w, "cb_1");
    };
    EXPECT_EQ(velmor_main(p), 0) << "the entry starts this program: no box";
    EXPECT_TRUE(p.message_boxes.empty());
    EXPECT_EQ(shown, u"KEPT");
    ASSERT_EQ(p.launched.size(), 1U);
    EXPECT_EQ(p.launched[0],
              u"dbsrv12.exe -os 10240k -m -c 8m -qi -n KEPT -x tcpip{port=4000} D:\\app\\datebase\\客户库.db");
    EXPECT_TRUE(p.calls_of(Op::write_ini).empty()) << "ANSI writes would garble the file for good";
    EXPECT_EQ(p.raw_files[p.resolve(u"setup.ini")], bytes);
  }
}

TEST_F(StartSequence, AValueAFileCannotHoldIsNotWritten) {
  host_name(u"ทดสอบ");
  platform.raw_files[platform.resolve(u"setup.ini")] = "[database]\r\n";
  setting(u"servername", u"OLD");
  platform.fail(Op::write_new_file, Failure::unsuccessful);
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(stored(u"servername"), u"OLD") << "kept, not turned into question marks";
  EXPECT_NE(launched().find(u"-n OLD "), Text::npos) << "the name the client reads from the file";
}

// A replacement refused midway never costs the administrator's file: whatever the documented
// outcome, the old file is back under its name, or kept under another where that fails; then
// the run stops before anything runs on defaults.
TEST_F(StartSequence, ARefusedReplacementKeepsTheOldFile) {
  const std::string ansi = "[database]\r\ndbname=sales\r\n";
  struct Case {
    std::uint32_t error;
    bool restore_refused;
    std::u16string_view kept_as;  // where the old bytes are afterwards
  };
  for (const Case c :
       {Case{1175, false, u"setup.ini"}, Case{1176, false, u"setup.ini"}, Case{1177, false, u"setup.ini"},
        Case{5, false, u"setup.ini"}, Case{1177, true, u"ini1.tmp.bak"}}) {
    FakePlatform p;
    p.program_file = u"D:\\ทดสอบ\\velmor.exe";
    p.set_registry(host_name_key, host_name_value, u"SRV1");
    p.raw_files[p.resolve(u"setup.ini")] = ansi;
    p.replace_error = c.error;
    if (c.restore_refused) {
      p.fail(Op::move_file, Failure::unsuccessful);
    }
    EXPECT_EQ(velmor_main(p), c.restore_refused ? 1 : 0) << c.error;
    const Text kept = p.resolve(u"D:\\ทดสอบ\\" + Text(c.kept_as));
    ASSERT_TRUE(p.raw_files.contains(kept)) << c.error;
    EXPECT_EQ(p.raw_files[kept], ansi) << c.error;
    EXPECT_EQ(p.raw_files.contains(p.resolve(u"D:\\ทดสอบ\\ini1.tmp")), c.restore_refused)
        << c.error << ": the new file goes only once the old one is in place";
    if (c.restore_refused) {
      ASSERT_EQ(p.reported_errors.size(), 1U);
      EXPECT_NE(p.reported_errors[0].operation().find("ini1.tmp.bak"), std::string::npos) << "names where it is";
      EXPECT_TRUE(p.calls_of(Op::write_ini).empty());
      EXPECT_TRUE(p.launched.empty());
      EXPECT_FALSE(autostart(u"qzdb").has_value());
    }
  }
}

}  // namespace
}  // namespace velmor
