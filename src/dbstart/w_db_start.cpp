#include "dbstart/w_db_start.h"

#include "app/globals.h"
#include "dbstart/carry_out.h"
#include "dbstart/host_name.h"
#include "dbstart/run_plan.h"
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
  const FileAccess access = ini.prepare();
  const SettingsPlan settings =
      plan_settings(access.kind != FileAccess::refused, ls_diskname, platform_.display_is_visible());
  if (settings.stop) {
    throw RuntimeError("read " + utf8_of(ini.full_path()), access.system_code);
  }

  // 2-4. Record where the program runs and the server's name, or ask for it.
  for (const auto& [key, value] : settings.writes) {
    ini.write(key, value);
  }
  if (settings.dialog) {
    w_setup setup(platform_, ini);
    platform_.open_window(w_setup_definition(), setup);
  }
  outcome_ |= settings.exit_bits;

  // 5-16. The settings as written, the server and the autostart entries: decided, then done.
  RunFacts facts = read_run_facts(platform_, ini, ls_diskname, mode_);
  RunPlan plan = plan_run(facts, mode_);
  RunOutcome done = carry_out(platform_, facts, plan);
  outcome_ |= done.exit_code;
  record_ = RunRecord{std::move(facts), std::move(plan), std::move(done)};

  // 17. Done: with the window closed the program ends.
  platform_.close_window(self);
}

}  // namespace velmor
