#include "dbstart/autostart.h"

#include <vector>

#include "dbstart/quoting.h"
#include "dbstart/run_entry.h"

namespace velmor {
namespace {

using View = Platform::RegistryView;

// Where Explorer finds Run entries, and the key of Task Manager's switch for the entries there.
struct RunPlace {
  View view;
  TextView switch_key;
};

// Both views on 64-bit Windows: a Group Policy preference, the 64-bit regedit or a 64-bit script
// put the entry into the 64-bit one. The program's own view comes first: a missing entry is
// written there.
std::vector<RunPlace> run_places(Platform& platform) {
  if (!platform.windows_is_64bit()) {
    return {{View::own, startup_approved_key}};
  }
  if (platform.registry_is_32bit_view()) {
    return {{View::own, startup_approved_key_32}, {View::view64, startup_approved_key}};
  }
  return {{View::own, startup_approved_key}, {View::view32, startup_approved_key_32}};
}

enum class Starts { another_program, this_program, this_program_unquoted };

// An entry starts this program when it holds exactly what this program writes, or when the
// program Windows starts for it is this program's file in any letter case or in its 8.3 short
// form: as a Group Policy preference, an installer, a .reg file or the earlier program wrote it.
Starts what_entry_starts(Platform& platform, TextView entry, TextView ls_dir, TextView program_path) {
  if (entry == ls_dir) {
    return Starts::this_program;
  }
  const StartedProgram started = started_program(platform, entry);
  if (!platform.equal_ignoring_case(platform.long_path(started.path), platform.long_path(program_path))) {
    return Starts::another_program;
  }
  return started.unquoted_blanks ? Starts::this_program_unquoted : Starts::this_program;
}

// A first byte that is odd means switched off; no value, or an even first byte, means on.
bool switched_on(Platform& platform, TextView switch_key, TextView ls_dbname) {
  const std::optional<std::string> mark = platform.read_logon_binary(switch_key, ls_dbname);
  if (!mark.has_value() || mark->empty() || (static_cast<unsigned char>(mark->front()) & 1U) == 0) {
    return true;
  }
  // Starting at logon is what every run is for: the switch goes back on where this user may.
  return platform.delete_logon_value(switch_key, ls_dbname);
}

// Read first: security software that guards the key sees no write at a logon that needs none.
// The place of the entry that Windows will start, or nothing when none could be put in place.
std::optional<RunPlace> run_entry_in_place(Platform& platform, TextView ls_dbname, TextView ls_dir,
                                           TextView program_path) {
  const std::vector<RunPlace> places = run_places(platform);
  for (const RunPlace& place : places) {
    const std::optional<Text> entry =
        platform.read_registry_string(autostart_key, ls_dbname, Platform::StringKinds::plain_or_expandable, place.view);
    const Starts starts =
        entry.has_value() ? what_entry_starts(platform, *entry, ls_dir, program_path) : Starts::another_program;
    if (starts != Starts::another_program) {
      if (starts == Starts::this_program_unquoted) {
        // Unquoted, a C:\Program.exe would start in its place (CWE-428): quoted where this run
        // may write; where it may not, the entry still starts this program.
        platform.write_registry_string(autostart_key, ls_dbname, ls_dir, place.view);
      }
      return place;
    }
  }
  const RunPlace& own = places.front();
  const bool ll_ret = platform.write_registry_string(autostart_key, ls_dbname, ls_dir, own.view);
  // A filter may drop the write and still report success.
  if (ll_ret &&
      platform.read_registry_string(autostart_key, ls_dbname, Platform::StringKinds::plain, own.view) == ls_dir) {
    return own;
  }
  return std::nullopt;
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
  const std::optional<RunPlace> place = run_entry_in_place(platform, ls_dbname, ls_dir, program_path);
  return place.has_value() && switched_on(platform, place->switch_key, ls_dbname) && !machine_run_key_ignored(platform);
}

void report_autostart_missing(Platform& platform) {
  platform.message_box(autostart_failed_title, autostart_failed_text);
}

}  // namespace velmor
