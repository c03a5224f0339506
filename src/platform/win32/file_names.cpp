#include "platform/win32/file_names.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/windows_function.h"

namespace velmor::win32 {
namespace {

// The whole text in upper case; the text as given where the system cannot map it.
std::wstring upper_cased(TextView text) {
  std::wstring out = wide(text);
  if (out.empty()) {
    return out;
  }
  const int length = static_cast<int>(out.size());
  std::wstring mapped(out.size(), L'\0');
  // Simple case mapping keeps the length: one unit for one unit.
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, out.c_str(), length, mapped.data(), length) == length) {
    return mapped;
  }
  return out;
}

}  // namespace

std::optional<bool> equal_ordinal_ignoring_case(TextView a, TextView b) {
  const auto compare =
      windows_function<int(WINAPI*)(LPCWSTR, int, LPCWSTR, int, BOOL)>(L"kernel32.dll", "CompareStringOrdinal");
  if (compare == nullptr) {
    return std::nullopt;
  }
  const std::wstring left = wide(a);
  const std::wstring right = wide(b);
  return compare(left.c_str(), static_cast<int>(left.size()), right.c_str(), static_cast<int>(right.size()), TRUE) ==
         CSTR_EQUAL;
}

bool equal_upper_cased(TextView a, TextView b) {
  return upper_cased(a) == upper_cased(b);
}

}  // namespace velmor::win32
