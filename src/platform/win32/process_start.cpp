// Starting a program from a command line, without a shell and without waiting for it.
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace velmor::win32 {

bool Win32Platform::run(TextView command_line) {
  // CreateProcessW may write into the line, so it gets its own copy. With no application name
  // the program is looked for in the program's folder, the current one, the system's and PATH.
  std::wstring line = wide(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started) == FALSE) {
    return false;
  }
  const KernelHandle process(started.hProcess);
  const KernelHandle thread(started.hThread);
  return true;
}

}  // namespace velmor::win32
