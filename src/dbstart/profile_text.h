#pragma once
// Reading a value from the text of an INI file by the rules the Windows profile functions read
// a file by, for a file whose bytes they would misread.
#include <optional>

#include "platform/text.h"

namespace velmor {

// The value of `key` in the first section named `section`, or nothing when there is none. As
// GetPrivateProfileStringW: names compared ignoring letter case; blanks at the start of a line,
// around the name and around the value dropped; a value enclosed in a pair of single or double
// quotation marks given without them; the first of two equal keys counts.
std::optional<Text> profile_value(TextView text, TextView section, TextView key);

}  // namespace velmor
