#pragma once
// The main window's behaviour: its open handler carries the whole start of the database server.
#include "dbstart/server_command.h"
#include "dbstart/setup_ini.h"
#include "platform/platform.h"

namespace velmor {

// Exit codes of a run that did not do its whole job; they add up (2 + 4 = 6).
inline constexpr int exit_server_not_started = 2;  // none ran, and the command line could not be run
inline constexpr int exit_autostart_missing = 4;   // the autostart value is not in place
inline constexpr int exit_name_not_asked = 8;      // no host name, and nobody to ask for a name
inline constexpr int exit_no_database = 16;        // no database file: no server started

// What a run is for: the whole job, or (velmor.exe /register) all of it but the server.
enum class RunMode { plain, register_only };

// Steps 5 to 14's settings as a run uses them: the host name wins; without any name, the
// database's. The stored apppath is not read back: a file that could not be written holds
// another PC's folder, or question marks. Nor is ip, which nothing uses.
ServerSettings read_run_settings(SetupIni& ini, TextView ls_diskname, TextView ls_starpath);

class w_db_start : public WindowEvents {
 public:
  explicit w_db_start(Platform& platform) : platform_(platform) {}

  void set_mode(RunMode mode) { mode_ = mode; }

  void open(WindowId self) override;
  void clicked(WindowId /*self*/, std::string_view /*control*/) override {}  // cb_1 does nothing

  // 0 when the job is done, else the sum of the exit codes above.
  [[nodiscard]] int outcome() const { return outcome_; }

 private:
  // 15 and 16: the server and the autostart entry.
  void start_and_register(const ServerSettings& settings);

  Platform& platform_;
  RunMode mode_ = RunMode::plain;
  int outcome_ = 0;
};

}  // namespace velmor
