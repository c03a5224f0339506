#pragma once
// The program's few switches, for the people and tools that deploy and support it. A switch is
// the first word, in any letter case, with "/" or "-", and may be followed only by the quiet
// flags installers pass by habit. Words that look like no switch are a plain run, as old
// shortcuts and entries with stray words expect.
#include "dbstart/carry_out.h"
#include "platform/platform.h"

namespace velmor {

enum class Switch {
  none,        // a plain run
  register_,   // /register: the whole run but the server
  unregister,  // /unregister: removes this program's autostart entries
  check,       // /check: reports what a run would do, changing nothing
  help,        // /?: the switches and the exit codes
  invalid,     // a switch with more than quiet flags, or two switches: nothing is done
  unknown,     // a first word like a switch that is none (/install): a plain run only where seen
};

// The invalid-parameter code deployment tools know.
inline constexpr int exit_invalid_parameter = 87;
// Another copy is busy: the retry code that Intune and Configuration Manager retry by default.
inline constexpr int exit_busy_retry = 1618;

Switch switch_of(TextView commandline);

// Whether a Run entry whose arguments are these would start no plain run.
bool starts_no_plain_run(TextView arguments);

// /unregister: every entry whose program is this file, under any name: it needs no setting.
RunRecord unregister(Platform& platform);

// The exit code of /check, /? and a command line not understood, which take no guard.
int run_switch(Platform& platform, Switch chosen);

// The one line /register and /unregister write for the tool that ran them.
Text outcome_line(Switch chosen, int exit_code);

}  // namespace velmor
