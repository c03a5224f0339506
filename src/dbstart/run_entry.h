#pragma once
// Which program a Run entry starts, decided as Windows decides it at logon.
#include <vector>

#include "platform/platform.h"

namespace velmor {

struct StartedProgram {
  Text path;                   // the program file Windows starts
  bool unquoted_blanks;        // found among the blank-separated prefixes of an unquoted entry
  Text arguments;              // what follows the program, without the blanks between
  std::vector<Text> shadowed;  // longer prefixes of an unquoted entry, which the file found first shadows
};

// For an entry (expanded) as CreateProcess takes a command line: a quoted one starts what its
// quotes hold; an unquoted one the first of its blank-separated prefixes that names an existing
// file, so "C:\Program Files\client\velmor.exe" starts C:\Program.exe where there is one. A name
// without an extension gets ".exe".
StartedProgram started_program(Platform& platform, TextView entry);

}  // namespace velmor
