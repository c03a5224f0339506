#include "dbstart/run_entry.h"

#include "platform/path.h"

namespace velmor {
namespace {

Text arguments_after(TextView entry, std::size_t end) {
  if (end >= entry.size()) {
    return {};
  }
  const TextView rest = entry.substr(end);
  const auto first = rest.find_first_not_of(u" \t");
  return first == TextView::npos ? Text() : Text(rest.substr(first));
}

}  // namespace

StartedProgram started_program(Platform& platform, TextView entry) {
  if (!entry.starts_with(u'"')) {
    for (auto end = entry.find_first_of(u" \t");; end = entry.find_first_of(u" \t", end + 1)) {
      const TextView prefix = entry.substr(0, end);
      Text candidate = with_exe_extension(prefix);
      if (platform.file_exists(candidate)) {
        StartedProgram started{
            std::move(candidate), prefix.find_first_of(u" \t") != TextView::npos, arguments_after(entry, end), {}};
        while (end != TextView::npos) {
          end = entry.find_first_of(u" \t", end + 1);
          started.shadowed.push_back(with_exe_extension(entry.substr(0, end)));
        }
        return started;
      }
      if (end == TextView::npos) {
        break;
      }
    }
  }
  const TextView program = program_of(entry);
  const std::size_t end = entry.starts_with(u'"') ? program.size() + 2 : program.size();
  return {with_exe_extension(program), false, arguments_after(entry, end), {}};
}

}  // namespace velmor
