#pragma once
// Path arithmetic the program and its platforms share, on Windows-style paths.
#include <vector>

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

// The program a command line starts: its first argument, by CommandLineToArgvW's rule for it
// (a leading quote runs to the next quote, with no escapes; otherwise up to a blank or tab).
TextView program_of(TextView command);

// A program file name as Windows completes it: ".exe" added to a name without an extension.
Text with_exe_extension(TextView path);

// Whether a path names its place by itself: a drive with its root (C:\x) or a share
// (\\server\x). Not ".", "bin", "\x" (the current drive's root) or "C:x" (a drive's current
// folder): those depend on the current folder.
bool is_full_path(TextView path);

// The folders where a program named without a folder is looked for: CreateProcess's order
// without the current folder, in which anyone who chooses where the program is started could
// put a program of that name (CWE-427). The program's own folder, the system folder, the Windows
// folder, then each entry of PATH that is a full path (quotes around an entry dropped; an empty
// or relative one would mean the current folder again).
std::vector<Text> program_search_folders(TextView own_folder, TextView system_folder, TextView windows_folder,
                                         TextView path_variable);

}  // namespace velmor
