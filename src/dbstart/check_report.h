#pragma once
// velmor.exe /check: what a plain run by this user would do now, and why, for the technician on
// the phone. It writes nothing, starts nothing and asks nobody: every fact comes from the same
// decisions the run takes.
#include "platform/platform.h"

namespace velmor {

struct CheckResult {
  Text report;    // one fact a line
  int exit_code;  // 0 when a logon now would start or find the server from an enabled entry
};

CheckResult check(Platform& platform);

}  // namespace velmor
