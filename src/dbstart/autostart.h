#pragma once
// The program's entry in the machine-wide autostart key, so that it runs at every logon.
#include <vector>

#include "platform/platform.h"

namespace velmor {

inline constexpr std::u16string_view autostart_key =
    u"HKEY_LOCAL_MACHINE\\Software\\microsoft\\windows\\currentversion\\run";
inline constexpr std::u16string_view autostart_failed_title = u"提示";
inline constexpr std::u16string_view autostart_failed_text =
    u"将数据库加入启动项失败，数据库将不能自动启动，请在关闭安全软件后重新运行该程序!!!";
inline constexpr std::u16string_view autostart_kept_text = u"删除数据库启动项失败，请以管理员身份重新运行该程序!!!";

// Task Manager's and Settings' switch for each entry of the machine's Run key (Windows 8 and
// later), a binary value of the entry's name; "Run32" holds those of the 32-bit view.
inline constexpr std::u16string_view startup_approved_key =
    u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
inline constexpr std::u16string_view startup_approved_key_32 =
    u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run32";
// The policy under which Windows ignores the machine's Run key, for the machine or the user.
inline constexpr std::u16string_view explorer_policies_machine =
    u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr std::u16string_view explorer_policies_user =
    u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr std::u16string_view disable_machine_run = u"DisableLocalMachineRun";

// The command the key starts: this program's own file in the start path.
Text autostart_command(TextView ls_starpath, TextView program_file_name);

struct ThisProgram {
  Text path;     // the program file, in its long form
  Text command;  // what its Run entry holds: autostart_command
};
ThisProgram this_program(Platform& platform, TextView ls_starpath);

using RunView = Platform::RegistryView;

// What Windows would start at logon from the entry of one registry view.
enum class EntryStarts {
  nothing,                // no entry of that name
  this_program,           // this program's file, as this run writes it or in any spelling Windows reads alike
  this_program_unquoted,  // this program, but unquoted with blanks: C:\Program.exe could start instead
  another_program,        // another program file, one that exists: another install's
  missing_program,        // a program file that is not there (the client moved or reinstalled elsewhere)
};

struct RunEntry {
  RunView view = RunView::own;
  TextView switch_key;        // Task Manager's switch for the entries of this view
  std::optional<Text> value;  // as read, expanded as Explorer expands it
  Text program;               // the program file Windows starts from it
  EntryStarts starts = EntryStarts::nothing;
};

// The entries of one name in every view where Windows starts them, this program's own view
// first, as read now; nothing is written to find them.
struct AutostartState {
  std::vector<RunEntry> entries;

  // The first entry that starts this program; nullptr when none does.
  [[nodiscard]] const RunEntry* this_programs() const;
  // Whether an entry starts another program file that exists.
  [[nodiscard]] bool another_program_present() const;
};

AutostartState judge_autostart(Platform& platform, TextView ls_dbname, TextView ls_dir, TextView program_path);

// Whether Task Manager or Settings switched the entry of that name off (an odd first byte).
bool switched_off(Platform& platform, TextView switch_key, TextView ls_dbname);
// Whether a policy makes Windows ignore the machine's Run key: an administrator's decision.
bool machine_run_key_ignored(Platform& platform);

// Makes Windows start `ls_dir` at the next logon, as value `ls_dbname`: an entry that starts
// this program is kept as it is, else it is written into the program's own view and read back,
// and a switch that turned it off is removed. True when Windows will start it.
bool register_autostart(Platform& platform, const AutostartState& state, TextView ls_dbname, TextView ls_dir);

// Removes every entry of that name that starts this program, and its switch. True when none
// that starts this program is left.
bool unregister_autostart(Platform& platform, TextView ls_dbname, TextView ls_dir, TextView program_path);

// Tells the user that the program will not start at logon.
void report_autostart_missing(Platform& platform);
// Tells the user that its entry could not be removed.
void report_autostart_kept(Platform& platform);

}  // namespace velmor
