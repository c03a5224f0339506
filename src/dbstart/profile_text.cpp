#include "dbstart/profile_text.h"

#include <algorithm>

namespace velmor {
namespace {

// The profile functions' white space: C's isspace, and ^Z, the DOS end of file.
bool blank(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r') || c == u'\x1A';
}

TextView trimmed(TextView text) {
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// The name of a section header line ("[name]", up to its last bracket), or nothing.
std::optional<TextView> section_name(TextView line) {
  const auto close = line.rfind(u']');
  if (!line.starts_with(u'[') || close == TextView::npos) {
    return std::nullopt;
  }
  return line.substr(1, close - 1);
}

TextView without_quotes(TextView value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::optional<Text> profile_value(TextView text, TextView section, TextView key) {
  bool inside = false;
  while (!text.empty()) {
    const auto end = std::min(text.find(u'\n'), text.size());
    const TextView line = trimmed(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));

    if (const std::optional<TextView> name = section_name(line)) {
      if (inside) {
        return std::nullopt;  // only the first section of that name is read
      }
      inside = equal_ascii_ignoring_case(*name, trimmed(section));
      continue;
    }
    const auto equals = line.find(u'=');
    if (inside && equals != TextView::npos &&
        equal_ascii_ignoring_case(trimmed(line.substr(0, equals)), trimmed(key))) {
      return Text(without_quotes(trimmed(line.substr(equals + 1))));
    }
  }
  return std::nullopt;
}

}  // namespace velmor
