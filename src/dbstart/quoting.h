#pragma once
#include "platform/text.h"

namespace velmor {

// One value as one argument of a command line, by the rules the C runtime and
// CommandLineToArgvW split by. A value without blank, tab or double quote (and not empty)
// stays as it is, so every line that needed no quoting keeps its bytes.
Text command_argument(TextView value);

}  // namespace velmor
