#include "dbstart/run_entry.h"

#include "dbstart/quoting.h"
#include "platform/path.h"

namespace velmor {
namespace {

Text with_extension(TextView path) {
  return file_name_of(path).find(u'.') == TextView::npos ? Text(path) + u".exe" : Text(path);
}

}  // namespace

StartedProgram started_program(Platform& platform, TextView entry) {
  if (!entry.starts_with(u'"')) {
    for (auto end = entry.find_first_of(u" \t");; end = entry.find_first_of(u" \t", end + 1)) {
      const TextView prefix = entry.substr(0, end);
      Text candidate = with_extension(prefix);
      if (platform.file_exists(candidate)) {
        return {std::move(candidate), prefix.find_first_of(u" \t") != TextView::npos};
      }
      if (end == TextView::npos) {
        break;
      }
    }
  }
  return {with_extension(program_of(entry)), false};
}

}  // namespace velmor
