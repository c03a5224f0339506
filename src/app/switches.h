#pragma once
// The program's few switches, for the people who deploy and support it. Each stands alone on the
// command line, in any letter case, with "/" or "-"; any other command line is a plain run, as
// old shortcuts and entries with stray words expect.
#include "platform/platform.h"

namespace velmor {

enum class Switch {
  none,        // a plain run
  register_,   // /register: the whole run but the server
  unregister,  // /unregister: removes this program's autostart entry
  check,       // /check: reports what a run would do, changing nothing
  help,        // /?: the switches and the exit codes
};

Switch switch_of(TextView commandline);

// The exit code of /unregister, /check and /?, which open no window.
int run_switch(Platform& platform, Switch chosen);

}  // namespace velmor
