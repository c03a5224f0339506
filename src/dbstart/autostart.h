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
// Where a policy keeps Windows from starting the machine's Run entries, closing the security
// software would not help: only an administrator can.
inline constexpr std::u16string_view autostart_policy_text =
    u"系统策略（DisableLocalMachineRun）禁止运行本机的启动项，数据库将不能自动启动，请联系管理员!!!";

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

// What Windows would start at logon from one entry.
enum class EntryStarts {
  nothing,                // no entry of that name
  this_program,           // this program's file, as this run writes it or in any spelling Windows reads alike
  this_program_unquoted,  // this program, but unquoted with blanks: C:\Program.exe could start instead
  this_program_switch,    // this program with one of its switches: never a plain run
  hijacked,               // unquoted, and a file earlier in its path starts instead of this program
  another_program,        // another program file, one that exists: another copy's
  missing_program,        // a program file that is not there (the client moved or reinstalled elsewhere)
};

// A view of the Run key where Windows starts entries, and Task Manager's switches for it.
struct RunPlace {
  RunView view;
  TextView switch_key;
};
// Every view where Windows starts the machine's Run entries, this program's own first: both on
// 64-bit Windows, where a Group Policy preference, the 64-bit regedit or a 64-bit script put the
// entry into the 64-bit one.
std::vector<RunPlace> run_places(Platform& platform);

// Whether Task Manager or Settings switched the entry of that name off (an odd first byte).
bool switched_off(Platform& platform, TextView switch_key, TextView name);

// The effects on one entry, each true when done. Written values are read back: a filter may
// drop the write and still report success.
bool write_entry(Platform& platform, RunView view, TextView name, TextView ls_dir);
bool switch_on(Platform& platform, TextView switch_key, TextView name);
bool remove_entry(Platform& platform, RunView view, TextView switch_key, TextView name);

// Tells the user that the program will not start at logon; `policy`: because of the policy.
void report_autostart_missing(Platform& platform, bool policy);

}  // namespace velmor
