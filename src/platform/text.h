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
// And back: UTF-8 as the program's string type.
Text text_of_utf8(std::string_view utf8);

// Equal when the letters A to Z are taken in either case: enough for names that Windows compares
// ignoring case where the wanted name is ASCII (INI sections and keys, environment names).
bool equal_ascii_ignoring_case(TextView a, TextView b);

}  // namespace velmor
