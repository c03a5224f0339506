#include "dbstart/run_facts.h"

#include "app/globals.h"
#include "app/switches.h"
#include "dbstart/run_entry.h"
#include "dbstart/w_db_start.h"
#include "platform/path.h"

namespace velmor {
namespace {

// Judged as Windows starts it: exactly what this program writes, or its file in any letter case
// or in its 8.3 short form, as a Group Policy preference, an installer, a .reg file or the
// earlier program wrote it.
void judge(Platform& platform, EntryFacts& entry, const ThisProgram& program, TextView ls_dbname) {
  if (!entry.value.has_value()) {
    return;
  }
  if (*entry.value == program.command) {
    entry.program = program.path;
    entry.starts = EntryStarts::this_program;
    return;
  }
  const StartedProgram started = started_program(platform, *entry.value);
  const auto is_this_program = [&](TextView file) {
    return platform.equal_ignoring_case(platform.long_path(file), program.path);
  };
  entry.program = platform.long_path(started.path);
  entry.arguments = started.arguments;
  if (is_this_program(entry.program)) {
    entry.starts = starts_no_plain_run(entry.arguments) ? EntryStarts::this_program_switch
                   : started.unquoted_blanks            ? EntryStarts::this_program_unquoted
                                                        : EntryStarts::this_program;
    return;
  }
  for (const Text& shadowed : started.shadowed) {
    if (is_this_program(shadowed)) {
      entry.shadowed_program = program.path;
      entry.starts = EntryStarts::hijacked;
      return;
    }
  }
  if (!platform.file_exists(entry.program)) {
    entry.starts = EntryStarts::missing_program;
    return;
  }
  entry.starts = EntryStarts::another_program;
  const Text folder = resolve_in(directory_of(entry.program), u"datebase");
  entry.copy_has_database = platform.file_exists(resolve_in(folder, Text(ls_dbname) + u".db"));
  entry.copy_has_database_folder = platform.file_state(folder) == FileState::folder;
}

bool names_this_program(EntryStarts starts) {
  return starts == EntryStarts::this_program || starts == EntryStarts::this_program_unquoted ||
         starts == EntryStarts::this_program_switch || starts == EntryStarts::hijacked;
}

// A value of another name matters only where it names this program's file: only those that
// could (the file's name, or an 8.3 short form) are judged, which costs a look at the disk.
bool could_name(Platform& platform, TextView value, TextView program_path) {
  TextView stem = file_name_of(program_path);
  stem = stem.substr(0, stem.rfind(u'.'));
  const Text folded = platform.to_lower(value);
  return folded.find(platform.to_lower(stem)) != Text::npos || folded.find(u'~') != Text::npos;
}

// Every entry of the database's name in each view (a place without a value too), then, in each
// view, the values of other names that start this program's file.
std::vector<EntryFacts> read_entries(Platform& platform, const std::optional<Text>& ls_dbname,
                                     const ThisProgram& program) {
  std::vector<EntryFacts> named;
  std::vector<EntryFacts> others;
  for (const RunPlace& place : run_places(platform)) {
    const bool may_write = platform.may_write_registry_key(autostart_key, place.view);
    const auto read = [&](TextView name) {
      EntryFacts entry;
      entry.view = place.view;
      entry.switch_key = place.switch_key;
      entry.name = name;
      entry.may_write = may_write;
      entry.value =
          platform.read_registry_string(autostart_key, name, Platform::StringKinds::plain_or_expandable, place.view);
      return entry;
    };
    if (ls_dbname.has_value()) {
      EntryFacts entry = read(*ls_dbname);
      entry.named = true;
      judge(platform, entry, program, *ls_dbname);
      entry.switched_off = switched_off(platform, place.switch_key, *ls_dbname);
      named.push_back(std::move(entry));
    }
    for (const Text& name : platform.registry_value_names(autostart_key, place.view)) {
      if (ls_dbname.has_value() && platform.equal_ignoring_case(name, *ls_dbname)) {
        continue;
      }
      EntryFacts entry = read(name);
      if (!entry.value.has_value() || !could_name(platform, *entry.value, program.path)) {
        continue;
      }
      judge(platform, entry, program, name);
      if (names_this_program(entry.starts)) {
        entry.switched_off = switched_off(platform, place.switch_key, name);
        others.push_back(std::move(entry));
      }
    }
  }
  named.insert(named.end(), others.begin(), others.end());
  return named;
}

RunKeyPolicy run_key_policy(Platform& platform) {
  if (platform.read_logon_dword(explorer_policies_machine, disable_machine_run).value_or(0) != 0) {
    return RunKeyPolicy::machine;
  }
  if (platform.read_logon_dword(explorer_policies_user, disable_machine_run).value_or(0) != 0) {
    return RunKeyPolicy::user;
  }
  return RunKeyPolicy::none;
}

}  // namespace

RunFacts read_run_facts(Platform& platform, SetupIni& ini, TextView ls_diskname, RunMode mode) {
  RunFacts facts;
  facts.program = this_program(platform, gs_path);
  std::optional<Text> ls_dbname;
  if (mode != RunMode::unregister) {
    // From the folder the program really runs in.
    facts.settings = read_run_settings(ini, ls_diskname, gs_path);
    ls_dbname = facts.settings.dbname;
    facts.database = database_file(facts.settings);
    facts.database_state = platform.file_state(facts.database);
    facts.has_database_folder = platform.file_state(facts.settings.starpath + u"\\datebase") == FileState::folder;
  }
  if (mode == RunMode::plain) {
    facts.server = find_program(platform, server_command_line(facts.settings), gs_path);
    if (!gf_get_exename) {
      throw RuntimeError("gf_get_exename", 0);
    }
    for (const std::uint32_t id : gf_get_exename->of_getall(server_executable)) {
      facts.running.push_back({id, platform.describe_process(id)});
    }
  }
  facts.entries = read_entries(platform, ls_dbname, facts.program);
  facts.policy = run_key_policy(platform);
  facts.may_switch_on = platform.may_write_registry_key(startup_approved_key, RunView::view64);
  return facts;
}

}  // namespace velmor
