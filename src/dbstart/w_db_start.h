#pragma once
// The main window's behaviour: its open handler carries the whole start of the database server.
#include "dbstart/carry_out.h"
#include "dbstart/run_facts.h"
#include "dbstart/run_plan.h"
#include "dbstart/server_command.h"
#include "dbstart/setup_ini.h"
#include "platform/platform.h"

namespace velmor {

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

  // 0 when the job is done, else the sum of the exit codes of run_plan.h.
  [[nodiscard]] int outcome() const { return outcome_; }
  // What the run found, decided and did, once it got that far: for its event.
  [[nodiscard]] const std::optional<RunRecord>& record() const { return record_; }

 private:
  Platform& platform_;
  RunMode mode_ = RunMode::plain;
  int outcome_ = 0;
  std::optional<RunRecord> record_;
};

}  // namespace velmor
