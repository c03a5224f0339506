// Text conversions that need the system: the ANSI code page and letter case.
#include "platform/win32/file_names.h"
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

std::optional<std::string> Win32Platform::to_ansi(TextView text) {
  if (text.empty()) {
    return std::string();
  }
  const std::wstring wide_text = wide(text);
  const int size = static_cast<int>(wide_text.size());
  // Best fit would turn characters into look-alikes; the used-default flag tells when one has
  // no exact form. A UTF-8 code page has room for all and takes neither.
  const bool utf8 = ansi_is_utf8();
  const DWORD flags = utf8 ? 0U : DWORD{WC_NO_BEST_FIT_CHARS};
  BOOL used_default = FALSE;
  BOOL* const used_default_out = utf8 ? nullptr : &used_default;
  const int length = WideCharToMultiByte(CP_ACP, flags, wide_text.data(), size, nullptr, 0, nullptr, used_default_out);
  if (length <= 0) {
    call_failed("WideCharToMultiByte");
  }
  std::string ansi(static_cast<std::size_t>(length), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, wide_text.data(), size, ansi.data(), length, nullptr, used_default_out) !=
      length) {
    call_failed("WideCharToMultiByte");
  }
  if (used_default != FALSE) {
    return std::nullopt;
  }
  return ansi;
}

bool Win32Platform::ansi_is_utf8() {
  return GetACP() == CP_UTF8;
}

Text Win32Platform::to_lower(TextView text) {
  std::wstring wide_text = wide(text);
  if (!wide_text.empty()) {
    CharLowerBuffW(wide_text.data(), static_cast<DWORD>(wide_text.size()));
  }
  return text_of(wide_text);
}

bool Win32Platform::equal_ignoring_case(TextView a, TextView b) {
  // CompareStringOrdinal compares as the file system does, from Vista on; Windows XP lacks it, and
  // a program that imported it would not load there at all.
  const std::optional<bool> ordinal = equal_ordinal_ignoring_case(a, b);
  return ordinal.has_value() ? *ordinal : equal_upper_cased(a, b);
}

}  // namespace velmor::win32
