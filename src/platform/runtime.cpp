#include "platform/runtime.h"

#include <exception>
#include <new>

#include "platform/runtime_error.h"

namespace velmor {
namespace {

// Runs life-cycle steps; the first run-time error is reported, and only that one, since the
// program ends after it.
class StepRunner {
 public:
  StepRunner(Platform& platform, ApplicationEvents& application) : platform_(platform), application_(application) {}

  template <typename Step>
  void run(Step step) {
    try {
      step();
      return;
    } catch (const RuntimeError& error) {
      fail(error);
    } catch (const std::bad_alloc&) {
      fail(RuntimeError("memory allocation", 0));
    } catch (const std::exception& error) {
      fail(RuntimeError(error.what(), 0));  // any other fault ends the run the same way
    }
  }

  [[nodiscard]] bool failed() const { return failed_; }

 private:
  void fail(const RuntimeError& error) {
    const bool told = !failed_ && application_.failed(error);
    // Where nobody can see it, the report would wait forever: the exit code tells it.
    if (!failed_ && !told && platform_.display_is_visible()) {
      platform_.report_runtime_error(error);
    }
    failed_ = true;
  }

  Platform& platform_;
  ApplicationEvents& application_;
  bool failed_ = false;
};

}  // namespace

int run_application(Platform& platform, ApplicationEvents& application, TextView commandline) {
  StepRunner steps(platform, application);
  steps.run([&] { application.create(); });
  if (!steps.failed()) {
    steps.run([&] {
      application.open(commandline);
      platform.run_until_no_window();
    });
  }
  // destroy is the application's last handler and runs however the run went.
  steps.run([&] { application.destroy(); });
  return steps.failed() ? exit_runtime_error : application.exit_code();
}

}  // namespace velmor
