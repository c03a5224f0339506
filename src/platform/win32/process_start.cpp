// Starting a program from a command line, without a shell and without waiting for it.
#include <array>
#include <optional>
#include <string>

#include "platform/path.h"
#include "platform/win32/grow_buffer.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace velmor::win32 {
namespace {

// A folder the system names, or nothing where it cannot be asked.
template <typename Query>
Text system_folder(Query query) {
  std::array<wchar_t, MAX_PATH + 1> buffer{};
  const UINT length = query(buffer.data(), MAX_PATH + 1);
  return length == 0 || length > MAX_PATH ? Text() : text_of(std::wstring_view(buffer.data(), length));
}

// Empty when not set (or set empty).
Text environment_variable(const wchar_t* name) {
  const std::optional<std::wstring> value = grown<std::wstring>(
      [&](wchar_t* buffer, DWORD size) { return length_or_needed(GetEnvironmentVariableW(name, buffer, size), size); },
      256);
  return text_of(value.value_or(std::wstring()));
}

}  // namespace

bool Win32Platform::run(TextView command_line, TextView working_folder) {
  // Left to CreateProcessW, a program named without a folder would be looked for in the current
  // folder too, which whoever starts this program chooses. So the file is found here and passed
  // as the application name; the command line itself stays as composed.
  const Text name = with_exe_extension(program_of(command_line));
  std::optional<Text> program;
  if (name.find_first_of(u"\\/:") != Text::npos) {
    if (is_full_path(name) && file_exists(name)) {
      program = name;
    }
  } else {
    for (const Text& folder :
         program_search_folders(directory_of(module_file_name()), system_folder(GetSystemDirectoryW),
                                system_folder(GetSystemWindowsDirectoryW), environment_variable(L"PATH"))) {
      const Text candidate = resolve_in(folder, name);
      if (!folder.empty() && file_exists(candidate)) {
        program = candidate;
        break;
      }
    }
  }
  if (!program.has_value()) {
    return false;
  }
  // CreateProcessW may write into the line, so it gets its own copy.
  const std::wstring application = wide(*program);
  std::wstring line = wide(command_line);
  const std::wstring folder = wide(working_folder);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // The server keeps Windows' own error boxes, not this program's choice of none.
  if (CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &started) == FALSE) {
    return false;
  }
  const KernelHandle process(started.hProcess);
  const KernelHandle thread(started.hThread);
  return true;
}

}  // namespace velmor::win32
