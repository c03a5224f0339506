#pragma once
// Which server program file a run starts: found as Windows would find the program a command
// line names, but never in the current folder.
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace velmor {

struct ProgramSearch {
  std::vector<Text> folders;    // looked in, in this order (none for a program named with its folder)
  std::optional<Text> program;  // the first file found
};

// The program the command line's first argument names (".exe" added where it has no extension):
// a full path as it is; a bare name in `own_folder`, the system folder, the Windows folder, then
// each full-path folder of PATH. Anyone who chooses where this program is started could put a
// program of that name in the current folder (CWE-427).
ProgramSearch find_program(Platform& platform, TextView command_line, TextView own_folder);

}  // namespace velmor
