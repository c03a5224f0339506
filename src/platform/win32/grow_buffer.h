#pragma once
// Windows hands variable-length results out through a buffer of the caller's size: too small, it
// says so in one of several ways, and the value may even grow between two calls. One loop for
// all of them; each call site only says what its function's answer means.
#include <windows.h>

#include <cstddef>
#include <optional>

namespace velmor::win32 {

// What one call made of the buffer it was given.
struct Filled {
  enum Outcome { fits, too_small, failed } outcome;
  std::size_t count;  // fits: the units written; too_small: the size to try next, if known (else 0)
};

inline Filled fits(std::size_t count) {
  return {Filled::fits, count};
}
inline Filled too_small(std::size_t needed = 0) {
  return {Filled::too_small, needed};
}
inline Filled failed() {
  return {Filled::failed, 0};
}

// The convention of GetLongPathNameW and GetEnvironmentVariableW: the length written when it fits,
// else the size needed with the terminating NUL; 0 for "nothing".
inline Filled length_or_needed(DWORD result, DWORD size) {
  return result == 0 ? failed() : result < size ? fits(result) : too_small(result);
}

// Calls `call(buffer, size)` with a buffer that grows until the result fits: Buffer is a
// std::wstring of characters or a std::string of bytes. Nothing when the call fails or the
// result would pass `largest` units.
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
