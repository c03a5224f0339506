// libFuzzer target: the command-line tail of any wide command line stays within the line and
// is a suffix of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/command_line_tail.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t length = size / sizeof(char16_t);
  // An exactly sized heap copy, so AddressSanitizer sees any read past the line's end.
  const auto line = std::make_unique<char16_t[]>(length == 0 ? 1 : length);
  if (length > 0) {
    std::memcpy(line.get(), data, length * sizeof(char16_t));
  }
  const std::u16string_view view(line.get(), length);
  const std::u16string_view tail = velmor::command_line_tail(view);
  if (tail.size() > view.size()) {
    std::abort();
  }
  if (!tail.empty() && (tail.data() + tail.size() != view.data() + view.size())) {
    std::abort();  // not a suffix
  }
  if (!view.empty() && view.front() != u'"' && view.find(u' ', 1) == std::u16string_view::npos && !tail.empty()) {
    std::abort();  // an unquoted name without a blank has no tail
  }
  return 0;
}
