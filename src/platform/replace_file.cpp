#include "platform/replace_file.h"

#include "platform/path.h"

namespace velmor {
namespace {

bool exists(Platform& platform, TextView path) {
  return platform.settings_file_access(path).kind != FileAccess::missing;
}

}  // namespace

bool replace_file_safely(Platform& platform, TextView path, std::string_view bytes) {
  const std::optional<Text> replacement = platform.write_new_file(directory_of(path), bytes);
  if (!replacement.has_value()) {
    return false;
  }
  if (!exists(platform, path)) {
    if (platform.move_file(*replacement, path)) {
      return true;
    }
    platform.delete_file(*replacement);  // there was no old file to lose
    return false;
  }
  // A name of our own beside the new file; the replacement overwrites a stale one.
  const Text backup = *replacement + u".bak";
  const std::uint32_t error = platform.replace_file(path, *replacement, backup);
  if (error == 0) {
    platform.delete_file(backup);
    return true;
  }
  if (error == error_unable_to_move_replacement_2 && !exists(platform, path)) {
    platform.move_file(backup, path);  // the old file back under its name
  }
  // The new file is only a converted copy: it goes once the old one is known to be in place.
  // Otherwise both stay, the old file under the backup name, for the administrator to find: a
  // run on without the file would read defaults, start the wrong database and register it.
  if (!exists(platform, path)) {
    throw RuntimeError("replace " + utf8_of(path) + "; its settings are now in " + utf8_of(backup), error);
  }
  platform.delete_file(*replacement);
  return false;
}

}  // namespace velmor
