#include "dbstart/server_program.h"

#include "platform/path.h"

namespace velmor {

ProgramSearch find_program(Platform& platform, TextView command_line, TextView own_folder) {
  const Text name = with_exe_extension(program_of(command_line));
  ProgramSearch search;
  if (name.find_first_of(u"\\/:") != Text::npos) {
    if (is_full_path(name) && platform.file_exists(name)) {
      search.program = name;
    }
    return search;
  }
  const SearchPlaces places = platform.program_search_places();
  search.folders =
      program_search_folders(own_folder, places.system_folder, places.windows_folder, places.path_variable);
  for (const Text& folder : search.folders) {
    const Text candidate = resolve_in(folder, name);
    if (!folder.empty() && platform.file_exists(candidate)) {
      search.program = candidate;
      break;
    }
  }
  return search;
}

}  // namespace velmor
