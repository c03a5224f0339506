// The application life cycle on Windows: command line, program file, message loop and the
// report of a run-time error.
#include <string>
#include <utility>

#include "platform/win32/grow_buffer.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace velmor::win32 {

Text Win32Platform::command_line() {
  const wchar_t* line = GetCommandLineW();
  return line == nullptr ? Text() : text_of(line);
}

Text Win32Platform::module_file_name() {
  // The path may be longer than MAX_PATH; a result that fills the buffer was cut short.
  const std::optional<std::wstring> path = grown<std::wstring>(
      [](wchar_t* buffer, DWORD size) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer, size);
        return length == 0 ? failed() : length < size ? fits(length) : too_small();
      },
      MAX_PATH, 32768);
  if (!path.has_value()) {
    call_failed("GetModuleFileNameW");
  }
  return text_of(*path);
}

void Win32Platform::run_until_no_window() {
  while (!windows_.empty() && pump_one(nullptr)) {
  }
}

InstanceLock Win32Platform::lock_instance(TextView name) {
  // Local\: the logon session's namespace, the same scope as the window search.
  const std::wstring full_name = L"Local\\" + wide(name);
  KernelHandle mutex(CreateMutexW(nullptr, FALSE, full_name.c_str()));
  const DWORD error = GetLastError();
  if (mutex.get() == nullptr) {
    // Refused access to a lock of this name means another user's copy made it.
    return error == ERROR_ACCESS_DENIED ? InstanceLock::held_elsewhere : InstanceLock::unavailable;
  }
  if (error == ERROR_ALREADY_EXISTS) {
    return InstanceLock::held_elsewhere;
  }
  instance_lock_ = std::move(mutex);  // held until the process ends
  return InstanceLock::acquired;
}

void Win32Platform::release_instance_lock() {
  instance_lock_ = KernelHandle();
}

void Win32Platform::sleep(std::uint32_t milliseconds) {
  Sleep(milliseconds);
}

void Win32Platform::report_runtime_error(const RuntimeError& error) {
  std::wstring text = L"程序运行出错，将要结束。\n\n失败的操作：";
  text += wide(text_of_utf8(error.operation()));
  text += L"\n系统错误码：" + std::to_wstring(error.system_code());
  // A quit message already queued (the main window closed before the error) ends a box's own
  // message loop at once: the report would flash by unread. It is taken off for the box and put
  // back after.
  MSG quit{};
  const bool quitting = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
  MessageBoxW(nullptr, text.c_str(), L"velmor", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  if (quitting) {
    PostQuitMessage(static_cast<int>(quit.wParam));
  }
}

}  // namespace velmor::win32
