#include "dbstart/autostart.h"

#include "dbstart/quoting.h"

namespace velmor {
namespace {

// An entry starts this program when it holds exactly what this program writes, or when the
// program it names (expanded, unquoted) is this program's file in any letter case: as a Group
// Policy preference, an installer or a .reg file may have written it.
bool starts_this_program(Platform& platform, TextView entry, TextView ls_dir, TextView program_path) {
  return entry == ls_dir || platform.equal_ignoring_case(program_of(entry), program_path);
}

// Read first: security software that guards the key sees no write at a logon that needs none.
bool run_entry_in_place(Platform& platform, TextView ls_dbname, TextView ls_dir, TextView program_path) {
  const std::optional<Text> entry =
      platform.read_registry_string(autostart_key, ls_dbname, Platform::StringKinds::plain_or_expandable);
  if (entry.has_value() && starts_this_program(platform, *entry, ls_dir, program_path)) {
    return true;
  }
  const bool ll_ret = platform.write_registry_string(autostart_key, ls_dbname, ls_dir);
  // A filter may drop the write and still report success.
  return ll_ret && platform.read_registry_string(autostart_key, ls_dbname, Platform::StringKinds::plain) == ls_dir;
}

// A first byte that is odd means switched off; no value, or an even first byte, means on.
bool switched_on(Platform& platform, TextView ls_dbname) {
  const TextView key = platform.registry_is_32bit_view() ? startup_approved_key_32 : startup_approved_key;
  const std::optional<std::string> mark = platform.read_logon_binary(key, ls_dbname);
  if (!mark.has_value() || mark->empty() || (static_cast<unsigned char>(mark->front()) & 1U) == 0) {
    return true;
  }
  // Starting at logon is what every run is for: the switch goes back on where this user may.
  return platform.delete_logon_value(key, ls_dbname);
}

// An administrator's decision, not this program's to change.
bool machine_run_key_ignored(Platform& platform) {
  for (const TextView policies : {explorer_policies_machine, explorer_policies_user}) {
    if (platform.read_logon_dword(policies, disable_machine_run).value_or(0) != 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

Text autostart_command(TextView ls_starpath, TextView program_file_name) {
  // Unquoted, a path with blanks lets Windows start C:\Program.exe and the like in its place.
  return command_argument(Text(ls_starpath) + u"\\" + Text(program_file_name));
}

bool register_autostart(Platform& platform, TextView ls_dbname, TextView ls_dir, TextView program_path) {
  return run_entry_in_place(platform, ls_dbname, ls_dir, program_path) && switched_on(platform, ls_dbname) &&
         !machine_run_key_ignored(platform);
}

void report_autostart_missing(Platform& platform) {
  platform.message_box(autostart_failed_title, autostart_failed_text);
}

}  // namespace velmor
