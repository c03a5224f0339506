// A report for the person who asked for it (velmor.exe /check, /?), wherever they look.
#include <string>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace velmor::win32 {
namespace {

bool write_all(HANDLE out, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(out, data, size, &written, nullptr) != FALSE && written == size;
}

}  // namespace

void Win32Platform::show_report(TextView title, TextView text) {
  std::wstring lines;
  for (const char16_t unit : text) {
    lines += unit == u'\n' ? std::wstring(L"\r\n") : std::wstring(1, static_cast<wchar_t>(unit));
  }
  const auto bytes = static_cast<DWORD>(lines.size()) * DWORD{sizeof(wchar_t)};
  // Redirected into a file or a pipe: UTF-16 LE with its mark keeps every character, and
  // Notepad (Windows XP's too) and `type` show it right.
  const HANDLE redirected = GetStdHandle(STD_OUTPUT_HANDLE);
  const DWORD kind =
      redirected == nullptr || redirected == INVALID_HANDLE_VALUE ? FILE_TYPE_UNKNOWN : GetFileType(redirected);
  if (kind == FILE_TYPE_DISK || kind == FILE_TYPE_PIPE) {
    const wchar_t mark = 0xFEFF;
    write_all(redirected, &mark, sizeof mark);
    write_all(redirected, lines.data(), bytes);
    return;
  }
  // Started from a console (cmd): into it. A GUI program has none of its own.
  if (AttachConsole(ATTACH_PARENT_PROCESS) != FALSE) {
    const HANDLE opened = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    const KernelHandle console(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
    DWORD written = 0;
    const bool shown =
        console.get() != nullptr &&
        WriteConsoleW(console.get(), lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) != FALSE;
    FreeConsole();
    if (shown) {
      return;
    }
  }
  // From the Run dialog or a shortcut: a box, whose text Ctrl+C copies.
  if (display_is_visible()) {
    MessageBoxW(nullptr, lines.c_str(), wide(title).c_str(), MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
  }
}

}  // namespace velmor::win32
