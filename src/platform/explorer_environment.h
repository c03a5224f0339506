#pragma once
// Environment strings as Explorer expands them in Run entries at logon. Explorer is a 64-bit
// program on 64-bit Windows: there %ProgramFiles% and %CommonProgramFiles% are the 64-bit
// folders, which a 32-bit program finds under %ProgramW6432% and %CommonProgramW6432%.
#include "platform/text.h"

namespace velmor {

// The data with the names whose value differs between the two kinds of program replaced by the
// names that hold Explorer's value; for 64-bit Windows only, which alone defines them.
Text with_explorer_names(TextView data);

}  // namespace velmor
