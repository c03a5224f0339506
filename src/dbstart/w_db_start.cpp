#include "dbstart/w_db_start.h"

#include "app/globals.h"
#include "dbstart/autostart.h"
#include "dbstart/host_name.h"
#include "dbstart/server_command.h"
#include "dbstart/setup_ini.h"
#include "platform/path.h"
#include "platform/runtime_error.h"
#include "ui/w_setup.h"
#include "ui/window_definitions.h"

namespace velmor {

void w_db_start::open(WindowId self) {
  SetupIni ini(platform_);

  // 1. The machine's host name.
  const Text ls_diskname = read_host_name(platform_);

  // A file held open by another program reads as all defaults: the wrong database would start
  // and a second autostart value appear. Wait for it, or stop; and read it as it says.
  ini.prepare();

  // 2-3. Record where the program runs.
  ini.write(setup_key::apppath, gs_path);
  ini.write(setup_key::setup, u"1");

  // 4. The host name is the server name; without one, the user names the server. Where nobody
  // can see the dialog, the run goes on as when it is closed unsaved.
  if (ls_diskname.empty() && !platform_.display_is_visible()) {
    outcome_ |= exit_name_not_asked;
  } else if (ls_diskname.empty()) {
    w_setup setup(platform_, ini);
    platform_.open_window(w_setup_definition(), setup);
  } else {
    ini.write(setup_key::servername, ls_diskname);
  }

  // 5-10. The settings, with their defaults. The stored apppath is not read back: a file that
  // could not be written holds another PC's folder, or question marks. Nor is ip, which
  // nothing uses.
  const Text ls_star = ini.read(setup_key::startype, setup_default::startype);
  const Text ls_dbname = ini.read(setup_key::dbname, setup_default::dbname);
  const Text ls_port = ini.read(setup_key::port, setup_default::port);
  Text ls_servername = ini.read(setup_key::servername, ls_diskname);

  // 11. Without any name the server goes by the database's.
  if (ls_servername.empty()) {
    ls_servername = ls_dbname;
  }

  // 12-14. The server's command line, from the folder the program really runs in.
  const Text& ls_starpath = gs_path;
  const ServerSettings settings{ls_star, ls_servername, ls_port, ls_starpath, ls_dbname};
  const Text ls_runstring = server_command_line(settings);

  // A copy run where the client is not installed (unpacked into Downloads, opened inside a zip)
  // has no database to serve: it starts nothing and leaves the installed client's autostart
  // entry alone, rather than pointing it at itself.
  if (!platform_.file_exists(database_file(settings))) {
    outcome_ |= exit_no_database;
    platform_.close_window(self);
    return;
  }

  // 15. Start the server unless one runs already, in the start path: not in whatever folder
  // this program was started from, which the server would keep busy.
  if (!gf_get_exename) {
    throw RuntimeError("gf_get_exename", 0);
  }
  if (gf_get_exename->of_getexe(server_executable) <= 0 && !platform_.run(ls_runstring, ls_starpath)) {
    outcome_ |= exit_server_not_started;
  }

  // 16. Start again at the next logon: this very file, whatever the deployer named it. A
  // failure is told once the guard is released (velmor_app), so that the re-run it asks for runs.
  const Text program_path = platform_.long_path(platform_.module_file_name());
  const Text ls_dir = autostart_command(ls_starpath, file_name_of(program_path));
  if (!register_autostart(platform_, ls_dbname, ls_dir, program_path)) {
    outcome_ |= exit_autostart_missing;
  }

  // 17. Done: with the window closed the program ends.
  platform_.close_window(self);
}

}  // namespace velmor
