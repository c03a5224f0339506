#include "dbstart/run_entry.h"

#include "platform/path.h"

namespace velmor {

StartedProgram started_program(Platform& platform, TextView entry) {
  if (!entry.starts_with(u'"')) {
    for (auto end = entry.find_first_of(u" \t");; end = entry.find_first_of(u" \t", end + 1)) {
      const TextView prefix = entry.substr(0, end);
      Text candidate = with_exe_extension(prefix);
      if (platform.file_exists(candidate)) {
        return {std::move(candidate), prefix.find_first_of(u" \t") != TextView::npos};
      }
      if (end == TextView::npos) {
        break;
      }
    }
  }
  return {with_exe_extension(program_of(entry)), false};
}

}  // namespace velmor
