#pragma once
// The program's entry in the machine-wide autostart key, so that it runs at every logon.
#include "platform/platform.h"

namespace velmor {

inline constexpr std::u16string_view autostart_key =
    u"HKEY_LOCAL_MACHINE\\Software\\microsoft\\windows\\currentversion\\run";
inline constexpr std::u16string_view autostart_failed_title = u"提示";
inline constexpr std::u16string_view autostart_failed_text =
    u"将数据库加入启动项失败，数据库将不能自动启动，请在关闭安全软件后重新运行该程序!!!";

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

// Makes Windows start `ls_dir` at the next logon, as value `ls_dbname`: an entry that starts
// this program (`program_path`) is kept as it is, any other is written and read back, and a
// switch that turned the entry off is removed. True when Windows will start it.
bool register_autostart(Platform& platform, TextView ls_dbname, TextView ls_dir, TextView program_path);

// Tells the user that the program will not start at logon.
void report_autostart_missing(Platform& platform);

}  // namespace velmor
