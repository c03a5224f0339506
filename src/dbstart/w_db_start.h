#pragma once
// The main window's behaviour: its open handler carries the whole start of the database server.
#include "platform/platform.h"

namespace velmor {

// Exit codes of a run that did not do its whole job; they add up (2 + 4 = 6).
inline constexpr int exit_server_not_started = 2;  // none ran, and the command line could not be run
inline constexpr int exit_autostart_missing = 4;   // the autostart value is not in place
inline constexpr int exit_name_not_asked = 8;      // no host name, and nobody to ask for a name
inline constexpr int exit_no_database = 16;        // no database file: nothing started, autostart left as it was

class w_db_start : public WindowEvents {
 public:
  explicit w_db_start(Platform& platform) : platform_(platform) {}

  void open(WindowId self) override;
  void clicked(WindowId /*self*/, std::string_view /*control*/) override {}  // cb_1 does nothing

  // 0 when the job is done, else the sum of the exit codes above.
  [[nodiscard]] int outcome() const { return outcome_; }

 private:
  Platform& platform_;
  int outcome_ = 0;
};

}  // namespace velmor
