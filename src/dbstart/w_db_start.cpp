#include "dbstart/w_db_start.h"

#include "app/globals.h"
#include "dbstart/autostart.h"
#include "dbstart/host_name.h"
#include "dbstart/server_program.h"
#include "platform/runtime_error.h"
#include "ui/w_setup.h"
#include "ui/window_definitions.h"

namespace velmor {

ServerSettings read_run_settings(SetupIni& ini, TextView ls_diskname, TextView ls_starpath) {
  ServerSettings settings;
  settings.startype = ini.read(setup_key::startype, setup_default::startype);
  settings.dbname = ini.read(setup_key::dbname, setup_default::dbname);
  settings.port = ini.read(setup_key::port, setup_default::port);
  settings.servername = ini.read(setup_key::servername, ls_diskname);
  // 11. Without any name the server goes by the database's.
  if (settings.servername.empty()) {
    settings.servername = settings.dbname;
  }
  settings.starpath = ls_starpath;
  return settings;
}

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

  // 5-14. The settings, and from them the server's command line, from the folder the program
  // really runs in.
  start_and_register(read_run_settings(ini, ls_diskname, gs_path));

  // 17. Done: with the window closed the program ends.
  platform_.close_window(self);
}

void w_db_start::start_and_register(const ServerSettings& settings) {
  const Text ls_runstring = server_command_line(settings);
  // No server without its database file (a copy unpacked into Downloads, a client that makes its
  // database at its own first start). Only a file that is not there counts: a look that failed
  // otherwise leaves it to the server to say what it cannot open.
  const bool no_database = platform_.file_state(database_file(settings)) == FileState::none;
  if (no_database) {
    outcome_ |= exit_no_database;
  }

  // 15. Start the server unless one runs already.
  if (!gf_get_exename) {
    throw RuntimeError("gf_get_exename", 0);
  }
  if (mode_ == RunMode::plain && !no_database && !start_server(platform_, ls_runstring, settings.starpath)) {
    outcome_ |= exit_server_not_started;
  }

  // 16. Start again at the next logon: this very file, whatever the deployer named it. Before the
  // database exists the run registers itself too, so that the first logon after it appears starts
  // the server; but an entry that starts another installed copy is that copy's. A failure is told
  // once the guard is released (velmor_app), so that the re-run it asks for runs.
  const ThisProgram program = this_program(platform_, settings.starpath);
  const AutostartState state = judge_autostart(platform_, settings.dbname, program.command, program.path);
  const bool left_to_another_copy =
      mode_ == RunMode::plain && no_database && state.this_programs() == nullptr && state.another_program_present();
  if (!left_to_another_copy && !register_autostart(platform_, state, settings.dbname, program.command)) {
    outcome_ |= exit_autostart_missing;
  }
}

}  // namespace velmor
