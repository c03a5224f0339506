#pragma once
// The program's entry in the machine-wide autostart key, so that it runs at every logon.
#include "platform/platform.h"

namespace velmor {

inline constexpr std::u16string_view autostart_key =
    u"HKEY_LOCAL_MACHINE\\Software\\microsoft\\windows\\currentversion\\run";
inline constexpr std::u16string_view autostart_failed_title = u"提示";
inline constexpr std::u16string_view autostart_failed_text =
    u"将数据库加入启动项失败，数据库将不能自动启动，请在关闭安全软件后重新运行该程序!!!";

// The command the key starts: the program in the start path.
Text autostart_command(TextView ls_starpath);

// Writes value `ls_dbname` = `ls_dir` and tells the user when the entry is not in place;
// true when it is.
bool register_autostart(Platform& platform, TextView ls_dbname, TextView ls_dir);

}  // namespace velmor
