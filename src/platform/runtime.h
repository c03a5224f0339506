#pragma once
// The application life cycle the program runs on: create, open with the command-line tail,
// stay alive while a window is open, destroy. A run-time error stops the handler that raised
// it, is reported once, and ends the program.
#include "platform/platform.h"

namespace velmor {

class ApplicationEvents {
 public:
  ApplicationEvents() = default;
  ApplicationEvents(const ApplicationEvents&) = delete;
  ApplicationEvents& operator=(const ApplicationEvents&) = delete;
  ApplicationEvents(ApplicationEvents&&) = delete;
  ApplicationEvents& operator=(ApplicationEvents&&) = delete;
  virtual ~ApplicationEvents() = default;
  virtual void create() = 0;
  virtual void open(TextView commandline) = 0;
  virtual void destroy() = 0;
  // The exit code of a run that raised no run-time error.
  [[nodiscard]] virtual int exit_code() const = 0;
  // Told of the run-time error that ends the run, before it is reported; must not throw. True
  // when it has told whoever ran the program itself, so that no box waits for anybody.
  virtual bool failed(const RuntimeError& /*error*/) noexcept { return false; }
};

inline constexpr int exit_runtime_error = 1;

// Returns the process exit code: exit_runtime_error after a run-time error, else the
// application's own.
int run_application(Platform& platform, ApplicationEvents& application, TextView commandline);

}  // namespace velmor
