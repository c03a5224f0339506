#include "dbstart/autostart.h"

#include "dbstart/quoting.h"

namespace velmor {

Text autostart_command(TextView ls_starpath) {
  // Unquoted, a path with blanks lets Windows start C:\Program.exe and the like in its place.
  return command_argument(Text(ls_starpath) + u"\\velmor.exe");
}

bool register_autostart(Platform& platform, TextView ls_dbname, TextView ls_dir) {
  const bool ll_ret = platform.write_registry_string(autostart_key, ls_dbname, ls_dir);
  if (ll_ret) {
    return true;
  }
  // A standard user may not write below HKEY_LOCAL_MACHINE, yet an administrator's earlier run
  // may have left exactly this entry: then autostart works and there is nothing to report.
  // Windows starts an expandable string value at logon just the same.
  if (platform.read_registry_string(autostart_key, ls_dbname, Platform::StringKinds::plain_or_expandable) ==
      Text(ls_dir)) {
    return true;
  }
  platform.message_box(autostart_failed_title, autostart_failed_text);
  return false;
}

}  // namespace velmor
