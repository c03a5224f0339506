#pragma once
// Path arithmetic the program and its platforms share, on Windows-style paths.
#include "platform/text.h"

namespace velmor {

// The directory that holds a file, written as a current directory would be: no trailing
// separator except at a drive root ("C:\").
Text directory_of(TextView file);

// The last component of a path: the file's own name.
TextView file_name_of(TextView path);

// A bare file name (no directory, no drive) denotes the file in `directory`; any other name
// stays as given.
Text resolve_in(TextView directory, TextView file);

}  // namespace velmor
