#pragma once
// Conversions at the Windows boundary and the one way a failed call becomes a RuntimeError.
#include <windows.h>

#include <string>

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

// Throws the RuntimeError of a Windows call that could not be carried out.
[[noreturn]] inline void call_failed(const char* operation) {
  throw RuntimeError(operation, static_cast<std::uint32_t>(GetLastError()));
}

}  // namespace velmor::win32
