// Text for the person or tool that started the program (velmor.exe /check, /?, the line of
// /register), wherever they read it: each destination in the form its readers decode.
#include <algorithm>
#include <array>
#include <string>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/windows_function.h"

namespace velmor::win32 {
namespace {

// Windows XP's and 7's consoles refuse one write of about 64 KB.
constexpr std::size_t console_piece = 8192;

bool write_all(HANDLE out, const void* data, std::size_t size) {
  DWORD written = 0;
  return WriteFile(out, data, static_cast<DWORD>(size), &written, nullptr) != FALSE && written == size;
}

bool write_text(HANDLE out, const std::wstring& text) {
  return write_all(out, text.data(), text.size() * sizeof(wchar_t));
}

std::string encoded(const std::wstring& text, UINT code_page) {
  if (text.empty()) {
    return {};
  }
  const int size =
      WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  }
  return bytes;
}

bool write_console(HANDLE console, const std::wstring& text) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t piece = std::min(console_piece, text.size() - at);
    if (at + piece < text.size() && IS_HIGH_SURROGATE(text[at + piece - 1])) {
      --piece;  // a character is never cut in two
    }
    DWORD written = 0;
    if (WriteConsoleW(console, text.data() + at, static_cast<DWORD>(piece), &written, nullptr) == FALSE ||
        written == 0) {
      return false;
    }
    at += written;
  }
  return true;
}

// What findstr, more, for /f and PowerShell decode a pipe with: the code page of the console the
// program was started from, else the OEM code page. A GUI program has no console of its own.
UINT pipe_code_page() {
  UINT code_page = GetConsoleOutputCP();
  if (code_page == 0 && AttachConsole(ATTACH_PARENT_PROCESS) != FALSE) {
    code_page = GetConsoleOutputCP();
    FreeConsole();
  }
  return code_page != 0 ? code_page : GetOEMCP();
}

// Whether a file starts with UTF-16 LE's mark. The handle cmd gives for ">>" may not read: the
// file is opened again for reading (ReOpenFile, Vista on); where it cannot be, no.
bool starts_with_utf16_mark(HANDLE file) {
  const auto reopen_file =
      windows_function<HANDLE(WINAPI*)(HANDLE, DWORD, DWORD, DWORD)>(L"kernel32.dll", "ReOpenFile");
  if (reopen_file == nullptr) {
    return false;
  }
  const HANDLE opened = reopen_file(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0);
  const KernelHandle reader(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
  std::array<unsigned char, 2> head{};
  DWORD read = 0;
  return reader.get() != nullptr && ReadFile(reader.get(), head.data(), 2, &read, nullptr) != FALSE && read == 2 &&
         head[0] == 0xFF && head[1] == 0xFE;
}

// An empty file gets UTF-16 LE with its mark; a file with text gets more of the same form, so
// that one file has one encoding: UTF-16 LE after a mark, else the ANSI code page (a batch
// file's log).
bool write_file(HANDLE file, const std::wstring& text) {
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) == FALSE) {
    return false;
  }
  if (size.QuadPart == 0) {
    return write_text(file, L"\xFEFF" + text);
  }
  if (starts_with_utf16_mark(file)) {
    return write_text(file, text);
  }
  const std::string ansi = encoded(text, CP_ACP);
  return write_all(file, ansi.data(), ansi.size());
}

std::wstring with_crlf(TextView text) {
  std::wstring lines;
  for (const char16_t unit : text) {
    lines += unit == u'\n' ? std::wstring(L"\r\n") : std::wstring(1, static_cast<wchar_t>(unit));
  }
  return lines;
}

}  // namespace

bool Win32Platform::write_output(TextView text) {
  const std::wstring lines = with_crlf(text);
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  const DWORD kind = out == nullptr || out == INVALID_HANDLE_VALUE ? FILE_TYPE_UNKNOWN : GetFileType(out);
  DWORD mode = 0;
  switch (kind) {
    case FILE_TYPE_CHAR: {
      if (GetConsoleMode(out, &mode) != FALSE) {
        return write_console(out, lines);  // a console this program inherited
      }
      // NUL, a serial port: what was asked for is done there, whatever the device keeps of it.
      const std::string bytes = encoded(lines, pipe_code_page());
      write_all(out, bytes.data(), bytes.size());
      return true;
    }
    case FILE_TYPE_DISK: return write_file(out, lines);
    case FILE_TYPE_PIPE: {
      const std::string bytes = encoded(lines, pipe_code_page());
      return write_all(out, bytes.data(), bytes.size());
    }
    default: break;
  }
  // Started from cmd, a GUI program has no output of its own: its parent's console.
  if (AttachConsole(ATTACH_PARENT_PROCESS) == FALSE) {
    return false;
  }
  const HANDLE opened = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  const KernelHandle console(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
  const bool shown = console.get() != nullptr && write_console(console.get(), lines);
  FreeConsole();
  return shown;
}

void Win32Platform::show_report(TextView title, TextView text) {
  // From the Run dialog or a shortcut: a box, whose text Ctrl+C copies.
  if (!write_output(text) && display_is_visible()) {
    MessageBoxW(nullptr, with_crlf(text).c_str(), wide(title).c_str(), MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
  }
}

}  // namespace velmor::win32
