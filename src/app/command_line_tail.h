#pragma once
#include "platform/text.h"

namespace velmor {

// What follows the program name on a command line: always a suffix of `line`, never reaching
// past its end.
TextView command_line_tail(TextView line);

}  // namespace velmor
