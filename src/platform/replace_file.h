#pragma once
// Replacing a file whole without ever losing its only copy.
#include "platform/platform.h"

namespace velmor {

// Documented outcomes of a refused replace_file (ReplaceFileW), by where the files are left.
inline constexpr std::uint32_t error_unable_to_remove_replaced = 1175;     // both keep their names
inline constexpr std::uint32_t error_unable_to_move_replacement = 1176;    // with a backup name, both keep
                                                                           // their names; without, the
                                                                           // replaced file is gone
inline constexpr std::uint32_t error_unable_to_move_replacement_2 = 1177;  // the replaced file now bears the
                                                                           // backup name

// Replaces the file at `path` with these bytes, or creates it. The bytes go into a new file in
// the same folder first, so that the switch is one rename on one volume; the old file is kept
// as a backup there until the switch is done. When it fails, the old file is back under its
// name; where that cannot be made so, no copy of it is deleted and a run-time error names the
// backup. False when it failed.
bool replace_file_safely(Platform& platform, TextView path, std::string_view bytes);

}  // namespace velmor
