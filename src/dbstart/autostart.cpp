#include "dbstart/autostart.h"

#include <algorithm>

#include "dbstart/quoting.h"
#include "dbstart/run_entry.h"
#include "platform/path.h"

namespace velmor {
namespace {

// Both views on 64-bit Windows: a Group Policy preference, the 64-bit regedit or a 64-bit script
// put the entry into the 64-bit one. The program's own view comes first: a missing entry is
// written there.
std::vector<RunEntry> run_places(Platform& platform) {
  const auto place = [](RunView view, TextView switch_key) {
    RunEntry entry;
    entry.view = view;
    entry.switch_key = switch_key;
    return entry;
  };
  if (!platform.windows_is_64bit()) {
    return {place(RunView::own, startup_approved_key)};
  }
  if (platform.registry_is_32bit_view()) {
    return {place(RunView::own, startup_approved_key_32), place(RunView::view64, startup_approved_key)};
  }
  return {place(RunView::own, startup_approved_key), place(RunView::view32, startup_approved_key_32)};
}

// An entry starts this program when it holds exactly what this program writes, or when the
// program Windows starts for it is this program's file in any letter case or in its 8.3 short
// form: as a Group Policy preference, an installer, a .reg file or the earlier program wrote it.
void judge_entry(Platform& platform, RunEntry& entry, TextView ls_dir, TextView program_path) {
  if (!entry.value.has_value()) {
    return;
  }
  if (*entry.value == ls_dir) {
    entry.program = Text(program_path);
    entry.starts = EntryStarts::this_program;
    return;
  }
  const StartedProgram started = started_program(platform, *entry.value);
  entry.program = platform.long_path(started.path);
  if (platform.equal_ignoring_case(entry.program, platform.long_path(program_path))) {
    entry.starts = started.unquoted_blanks ? EntryStarts::this_program_unquoted : EntryStarts::this_program;
  } else {
    entry.starts = platform.file_exists(entry.program) ? EntryStarts::another_program : EntryStarts::missing_program;
  }
}

bool starts_this_program(const RunEntry& entry) {
  return entry.starts == EntryStarts::this_program || entry.starts == EntryStarts::this_program_unquoted;
}

}  // namespace

const RunEntry* AutostartState::this_programs() const {
  const auto found = std::find_if(entries.begin(), entries.end(), starts_this_program);
  return found == entries.end() ? nullptr : &*found;
}

bool AutostartState::another_program_present() const {
  return std::any_of(entries.begin(), entries.end(),
                     [](const RunEntry& entry) { return entry.starts == EntryStarts::another_program; });
}

Text autostart_command(TextView ls_starpath, TextView program_file_name) {
  // Unquoted, a path with blanks lets Windows start C:\Program.exe and the like in its place.
  return command_argument(Text(ls_starpath) + u"\\" + Text(program_file_name));
}

ThisProgram this_program(Platform& platform, TextView ls_starpath) {
  Text path = platform.long_path(platform.module_file_name());
  Text command = autostart_command(ls_starpath, file_name_of(path));
  return {std::move(path), std::move(command)};
}

AutostartState judge_autostart(Platform& platform, TextView ls_dbname, TextView ls_dir, TextView program_path) {
  AutostartState state{run_places(platform)};
  for (RunEntry& entry : state.entries) {
    entry.value =
        platform.read_registry_string(autostart_key, ls_dbname, Platform::StringKinds::plain_or_expandable, entry.view);
    judge_entry(platform, entry, ls_dir, program_path);
  }
  return state;
}

bool switched_off(Platform& platform, TextView switch_key, TextView ls_dbname) {
  const std::optional<std::string> mark = platform.read_logon_binary(switch_key, ls_dbname);
  return mark.has_value() && !mark->empty() && (static_cast<unsigned char>(mark->front()) & 1U) != 0;
}

bool machine_run_key_ignored(Platform& platform) {
  for (const TextView policies : {explorer_policies_machine, explorer_policies_user}) {
    if (platform.read_logon_dword(policies, disable_machine_run).value_or(0) != 0) {
      return true;
    }
  }
  return false;
}

// Read first (judge_autostart): security software that guards the key sees no write at a logon
// that needs none.
bool register_autostart(Platform& platform, const AutostartState& state, TextView ls_dbname, TextView ls_dir) {
  const RunEntry* entry = state.this_programs();
  if (entry != nullptr && entry->starts == EntryStarts::this_program_unquoted) {
    // Unquoted, a C:\Program.exe would start in its place (CWE-428): quoted where this run may
    // write; where it may not, the entry still starts this program.
    platform.write_registry_string(autostart_key, ls_dbname, ls_dir, entry->view);
  }
  if (entry == nullptr) {
    entry = &state.entries.front();
    const bool ll_ret = platform.write_registry_string(autostart_key, ls_dbname, ls_dir, entry->view);
    // A filter may drop the write and still report success.
    if (!ll_ret ||
        platform.read_registry_string(autostart_key, ls_dbname, Platform::StringKinds::plain, entry->view) != ls_dir) {
      return false;
    }
  }
  // Starting at logon is what every run is for: the switch goes back on where this user may.
  const bool switched_on = !switched_off(platform, entry->switch_key, ls_dbname) ||
                           platform.delete_registry_value(entry->switch_key, ls_dbname, RunView::view64);
  return switched_on && !machine_run_key_ignored(platform);
}

bool unregister_autostart(Platform& platform, TextView ls_dbname, TextView ls_dir, TextView program_path) {
  for (const RunEntry& entry : judge_autostart(platform, ls_dbname, ls_dir, program_path).entries) {
    if (starts_this_program(entry) && platform.delete_registry_value(autostart_key, ls_dbname, entry.view)) {
      platform.delete_registry_value(entry.switch_key, ls_dbname, RunView::view64);
    }
  }
  return judge_autostart(platform, ls_dbname, ls_dir, program_path).this_programs() == nullptr;
}

void report_autostart_missing(Platform& platform) {
  platform.message_box(autostart_failed_title, autostart_failed_text);
}

void report_autostart_kept(Platform& platform) {
  platform.message_box(autostart_failed_title, autostart_kept_text);
}

}  // namespace velmor
