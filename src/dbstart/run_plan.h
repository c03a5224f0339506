#pragma once
// What a run does, decided once from its facts: the run carries the plan out, /check prints it.
// Pure: the same facts and mode always give the same plan.
#include <vector>

#include "dbstart/run_facts.h"

namespace velmor {

// Exit codes of a run that did not do its whole job; they add up (2 + 4 = 6).
inline constexpr int exit_server_not_started = 2;  // none ran, and the command line could not be run
inline constexpr int exit_autostart_missing = 4;   // no enabled entry plainly starts this program
inline constexpr int exit_name_not_asked = 8;      // no host name, and nobody to ask for a name
inline constexpr int exit_no_database = 16;        // no database file: no server started
inline constexpr int exit_left_to_copy = 32;       // the autostart starts another copy of the program

// setup.ini before the settings are read: what the run writes, and whether it asks for a name.
struct SettingsPlan {
  bool stop = false;  // the file is held or unreadable: the run stops before anything else
  std::vector<std::pair<TextView, Text>> writes;
  bool dialog = false;
  int exit_bits = 0;
};
SettingsPlan plan_settings(bool file_readable, TextView ls_diskname, bool display_visible);

enum class ServerStep {
  not_asked,        // /register, /unregister
  no_database,      // the database file is not there
  already_running,  // a dbsrv12.exe runs
  start,            // the program found, with the command line
  not_found,        // none runs and none can be found
};

enum class EntryAction {
  keep,           // it starts this program as it is
  write,          // this program's entry written where there is none of this program's
  quote,          // its path quoted, so that no file earlier in it starts instead
  replace,        // this program's entry written over one that carries a switch
  leave_to_copy,  // it starts another copy, which keeps it
  remove,         // /unregister
};

struct EntryStep {
  std::size_t entry;  // in RunFacts::entries
  EntryAction action;
  bool switch_on;  // Task Manager's switch turned back on
};

// The box a plain run shows where someone can see it, when no entry is in place afterwards.
enum class FailureBox { none, autostart_missing, policy };

struct RunPlan {
  RunMode mode = RunMode::plain;
  FailureBox box = FailureBox::none;
  ServerStep server = ServerStep::not_asked;
  Text command_line;  // the server's, for a start
  std::vector<EntryStep> steps;
  bool in_place_now = false;  // an enabled entry plainly starts this program now
  bool left_to_copy = false;
  // Where each step is allowed to this user, as the facts tell: what the plan expects.
  bool in_place_expected = false;
  int exit_code = 0;  // expected, the settings' bits apart
};

RunPlan plan_run(const RunFacts& facts, RunMode mode);

// How one step went: its value written or removed, its switch turned on.
struct StepDone {
  bool value = true;
  bool switched_on = true;
};

// The exit code once the steps are done, given how each went and whether the server started.
int exit_code_after(const RunFacts& facts, const RunPlan& plan, const std::vector<StepDone>& done, bool launched);

}  // namespace velmor
