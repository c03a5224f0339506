#pragma once
// The program's one string type: UTF-16, as Windows speaks it. Conversion happens only
// at the platform boundary.
#include <string>
#include <string_view>

namespace velmor {
using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8, for texts that travel in byte strings (the operation named in a run-time error).
std::string utf8_of(TextView text);
}  // namespace velmor
