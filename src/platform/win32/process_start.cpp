// Starting a program without a shell and without waiting for it, where Windows looks for one,
// and what Windows tells of a running one.
#include <array>
#include <optional>
#include <string>

#include "platform/win32/grow_buffer.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/windows_function.h"

namespace velmor::win32 {
namespace {

// A folder the system names, or nothing where it cannot be asked.
template <typename Query>
Text system_folder(Query query) {
  std::array<wchar_t, MAX_PATH + 1> buffer{};
  const UINT length = query(buffer.data(), MAX_PATH + 1);
  return length == 0 || length > MAX_PATH ? Text() : text_of(std::wstring_view(buffer.data(), length));
}

// Empty when not set (or set empty). PATH is often longer than 255 characters.
Text environment_variable(const wchar_t* name) {
  const std::optional<std::wstring> value = grown<std::wstring>(
      [&](wchar_t* buffer, DWORD size) { return length_or_needed(GetEnvironmentVariableW(name, buffer, size), size); },
      256);
  return text_of(value.value_or(std::wstring()));
}

}  // namespace

std::optional<std::uint32_t> Win32Platform::run(TextView program, TextView command_line, TextView working_folder) {
  // CreateProcessW may write into the line, so it gets its own copy.
  const std::wstring application = wide(program);
  std::wstring line = wide(command_line);
  const std::wstring folder = wide(working_folder);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // The server keeps Windows' own error boxes, not this program's choice of none.
  if (CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &started) == FALSE) {
    return std::nullopt;
  }
  const KernelHandle process(started.hProcess);
  const KernelHandle thread(started.hThread);
  return started.dwProcessId;
}

SearchPlaces Win32Platform::program_search_places() {
  return {system_folder(GetSystemDirectoryW), system_folder(GetSystemWindowsDirectoryW), environment_variable(L"PATH")};
}

ProcessDetails Win32Platform::describe_process(std::uint32_t process_id) {
  ProcessDetails details;
  DWORD session = 0;
  if (ProcessIdToSessionId(process_id, &session) != FALSE) {
    details.session = session;
  }
  // Windows XP has no way to ask for a path with the limited rights a standard user gets.
  const auto query_image_name =
      windows_function<BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD)>(L"kernel32.dll", "QueryFullProcessImageNameW");
  constexpr DWORD query_limited_information = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION, Vista and later
  const KernelHandle process(query_image_name == nullptr ? nullptr
                                                         : OpenProcess(query_limited_information, FALSE, process_id));
  if (process.get() != nullptr) {
    const std::optional<std::wstring> path = grown<std::wstring>([&](wchar_t* buffer, DWORD size) {
      DWORD length = size;
      return query_image_name(process.get(), 0, buffer, &length) != FALSE ? fits(length)
             : GetLastError() == ERROR_INSUFFICIENT_BUFFER                ? too_small()
                                                                          : failed();
    });
    if (path.has_value()) {
      details.path = text_of(*path);
    }
  }
  return details;
}

}  // namespace velmor::win32
