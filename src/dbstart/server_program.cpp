#include "dbstart/server_program.h"

#include "app/globals.h"
#include "dbstart/server_command.h"
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

bool start_server(Platform& platform, TextView ls_runstring, TextView ls_starpath) {
  if (gf_get_exename->of_getexe(server_executable) > 0) {
    return true;
  }
  // The file found is passed as the program to start; the command line itself stays as composed.
  // The server works in the start path: not in whatever folder this program was started from,
  // which the server would keep busy.
  const ProgramSearch search = find_program(platform, ls_runstring, gs_path);
  return search.program.has_value() && platform.run(*search.program, ls_runstring, ls_starpath);
}

}  // namespace velmor
