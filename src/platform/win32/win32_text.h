#pragma once
// Conversions at the Windows boundary and the one way a failed call becomes a RuntimeError.
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/runtime_error.h"
#include "platform/text.h"

namespace velmor::win32 {

// wchar_t is UTF-16 on Windows: the conversion copies code units one for one.
inline std::wstring wide(TextView text) {
  return {text.begin(), text.end()};
}
inline Text text_of(std::wstring_view wide_text) {
  return {wide_text.begin(), wide_text.end()};
}

// The UTF-8 of a run-time error's operation, for the report; invalid bytes become U+FFFD.
// A local time as the program writes times: "2026-12-11 08:02:17".
inline Text time_text(const SYSTEMTIME& time) {
  const auto padded = [](unsigned value, std::size_t width) {
    const std::wstring digits = std::to_wstring(value);
    return std::wstring(width > digits.size() ? width - digits.size() : 0, L'0') + digits;
  };
  return text_of(padded(time.wYear, 4) + L"-" + padded(time.wMonth, 2) + L"-" + padded(time.wDay, 2) + L" " +
                 padded(time.wHour, 2) + L":" + padded(time.wMinute, 2) + L":" + padded(time.wSecond, 2));
}

// Throws the RuntimeError of a Windows call that could not be carried out.
[[noreturn]] inline void call_failed(const char* operation) {
  throw RuntimeError(operation, static_cast<std::uint32_t>(GetLastError()));
}

}  // namespace velmor::win32
