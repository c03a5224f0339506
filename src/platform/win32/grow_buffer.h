#pragma once
// Windows hands variable-length results out through a buffer of the caller's size and says "too
// small" in several ways; the value may even grow between two calls. One loop for all of them:
// each call site only says what its function's answer means.
#include <windows.h>

#include <cstddef>
#include <optional>

namespace velmor::win32 {

// What one call made of its buffer: fits (count: the units written), too small (count: the size
// to try next, 0 when unknown), or failed.
struct Filled {
  enum Outcome { fits, too_small, failed } outcome = failed;
  std::size_t count = 0;
};
inline constexpr auto fits = [](std::size_t count) { return Filled{Filled::fits, count}; };
inline constexpr auto too_small = [](std::size_t needed = 0) { return Filled{Filled::too_small, needed}; };
inline constexpr auto failed = [] { return Filled{Filled::failed}; };

// GetLongPathNameW's and GetEnvironmentVariableW's way: the length when it fits, else the size
// needed with the NUL; 0 for nothing.
inline Filled length_or_needed(DWORD result, DWORD size) {
  return result == 0 ? failed() : result < size ? fits(result) : too_small(result);
}

// Calls `call(buffer, size)` with a Buffer (std::wstring, or std::string of bytes) that grows
// until the result fits; nothing when the call fails or would pass `largest` units.
template <typename Buffer, typename Call>
std::optional<Buffer> grown(Call call, std::size_t size = MAX_PATH, std::size_t largest = std::size_t{1} << 24U) {
  for (;;) {
    Buffer buffer(size, typename Buffer::value_type{});
    const Filled filled = call(buffer.data(), static_cast<DWORD>(size));
    if (filled.outcome == Filled::fits) {
      buffer.resize(filled.count);
      return buffer;
    }
    if (filled.outcome == Filled::failed || size >= largest) {
      return std::nullopt;
    }
    size = filled.count > size ? filled.count : size * 2;
  }
}

}  // namespace velmor::win32
