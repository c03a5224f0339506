#include "app/entry.h"

#include "app/command_line_tail.h"
#include "app/velmor_app.h"
#include "platform/runtime.h"
#include "platform/runtime_error.h"

namespace velmor {

int velmor_main(Platform& platform) {
  Text line;
  try {
    line = platform.command_line();
  } catch (const RuntimeError& error) {
    platform.report_runtime_error(error);
    return exit_runtime_error;
  }
  velmor_app application(platform);
  return run_application(platform, application, command_line_tail(line));
}

}  // namespace velmor
