// Text conversions that need the system: the ANSI code page and letter case.
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace velmor::win32 {

Text Win32Platform::from_ansi(std::string_view ansi) {
  if (ansi.empty()) {
    return {};
  }
  const int size = static_cast<int>(ansi.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  if (length <= 0) {
    call_failed("MultiByteToWideChar");
  }
  std::wstring wide_text(static_cast<std::size_t>(length), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide_text.data(), length) != length) {
    call_failed("MultiByteToWideChar");
  }
  return text_of(wide_text);
}

Text Win32Platform::to_lower(TextView text) {
  std::wstring wide_text = wide(text);
  if (!wide_text.empty()) {
    CharLowerBuffW(wide_text.data(), static_cast<DWORD>(wide_text.size()));
  }
  return text_of(wide_text);
}

}  // namespace velmor::win32
