#pragma once
// Everything a run decides from, read and nothing written: the settings as the run reads them
// after its own writes, the database file, the server, and every autostart entry that matters.
// One value, so that the run acts on it and /check prints it, and both decide alike (run_plan.h).
#include <optional>
#include <vector>

#include "dbstart/autostart.h"
#include "dbstart/server_command.h"
#include "dbstart/server_program.h"
#include "dbstart/setup_ini.h"

namespace velmor {

// What a run is for: the whole job, all of it but the server (velmor.exe /register), or
// removing this program's entries (velmor.exe /unregister).
enum class RunMode { plain, register_only, unregister };

// A Run value, or the place of one: of the database's name in each view, or of another name that
// names this program's file.
struct EntryFacts {
  RunView view = RunView::own;
  TextView switch_key;        // Task Manager's switch for the entries of this view
  Text name;                  // the value's name
  bool named = false;         // of the database's name
  std::optional<Text> value;  // as read, expanded as Explorer expands it; nothing: no such value
  Text program;               // the program file Windows starts from it
  Text arguments;             // what follows the program
  Text shadowed_program;      // hijacked: this program, which the file started shadows
  EntryStarts starts = EntryStarts::nothing;
  bool switched_off = false;  // by Task Manager or Settings
  bool may_write = false;     // whether this user may set values in this view's Run key
  // Of another program file that exists (another copy): whether its folder has this
  // database's file, and a "datebase" folder.
  bool copy_has_database = false;
  bool copy_has_database_folder = false;
};

// Who keeps the machine's Run key from starting at logon.
enum class RunKeyPolicy { none, machine, user };

struct RunningServer {
  std::uint32_t id = 0;
  ProcessDetails details;
};

struct RunFacts {
  ServerSettings settings;  // as the run reads them after its own writes (none for /unregister)
  Text database;            // the database file
  FileState database_state = FileState::unknown;
  bool has_database_folder = false;  // "datebase" below the start path
  ProgramSearch server;              // plain runs only
  std::vector<RunningServer> running;
  ThisProgram program;
  std::vector<EntryFacts> entries;  // those of the database's name first, own view first
  RunKeyPolicy policy = RunKeyPolicy::none;
  bool may_switch_on = false;  // whether this user may change Task Manager's switches
};

// Reads the facts for `mode`: the settings through `ini`, which has this run's writes behind it
// (or, for /check, in front of it); /unregister reads no settings and looks at entries of any name.
RunFacts read_run_facts(Platform& platform, SetupIni& ini, TextView ls_diskname, RunMode mode);

}  // namespace velmor
