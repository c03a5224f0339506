#pragma once
#include "platform/text.h"

namespace velmor {

// One value as one argument of a command line, by the rules the C runtime and
// CommandLineToArgvW split by. A value without blank, tab or double quote (and not empty)
// stays as it is, so every line that needed no quoting keeps its bytes.
Text command_argument(TextView value);

// The program a command line starts: its first argument, by CommandLineToArgvW's rule for it
// (a leading quote runs to the next quote, with no escapes; otherwise up to a blank or tab).
TextView program_of(TextView command);

}  // namespace velmor
