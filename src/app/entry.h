#pragma once
#include "platform/platform.h"

namespace velmor {

// The process entry: cuts the program name off the command line and runs the application.
// Returns the process exit code.
int velmor_main(Platform& platform);

}  // namespace velmor
