#pragma once
// File names compared as Windows compares them: letter case ignored by the system's own case
// table. Both ways are exposed so that the test helpers can hold them against each other.
#include <optional>

#include "platform/text.h"

namespace velmor::win32 {

// CompareStringOrdinal's answer, ignoring case (Vista and later); nothing where Windows lacks it.
std::optional<bool> equal_ordinal_ignoring_case(TextView a, TextView b);

// Windows XP's way: both upper-cased by the system (LCMapStringW, invariant locale, the file
// systems' rules), then compared unit by unit.
bool equal_upper_cased(TextView a, TextView b);

}  // namespace velmor::win32
