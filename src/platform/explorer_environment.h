#pragma once
// Environment strings as Explorer expands them in Run entries at logon. Explorer is a 64-bit
// program on 64-bit Windows: there %ProgramFiles% and %CommonProgramFiles% are the 64-bit
// folders. A 32-bit program finds them under %ProgramW6432% and %CommonProgramW6432% from
// Windows 7 on; Windows XP x64 and Vista lack those names, but every 64-bit Windows records the
// folders in the 64-bit view of the registry, from which the environment is made.
#include "platform/text.h"

namespace velmor {

inline constexpr std::u16string_view windows_folders_key =
    u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion";

// Explorer's values of the two names, as the 64-bit registry view records them; empty where
// unknown.
struct ExplorerFolders {
  Text program_files;         // ProgramFilesDir
  Text common_program_files;  // CommonFilesDir
};

// The data with the names whose value differs between the two kinds of program replaced by
// Explorer's values; where a value is unknown (or holds a '%'), by the name that holds it from
// Windows 7 on. For 64-bit Windows only.
Text with_explorer_names(TextView data, const ExplorerFolders& folders);

}  // namespace velmor
