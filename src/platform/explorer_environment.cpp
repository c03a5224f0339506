#include "platform/explorer_environment.h"

#include <array>
#include <utility>

namespace velmor {

Text with_explorer_names(TextView data) {
  static constexpr std::array<std::pair<std::u16string_view, std::u16string_view>, 2> explorer_names = {{
      {u"ProgramFiles", u"ProgramW6432"},
      {u"CommonProgramFiles", u"CommonProgramW6432"},
  }};
  Text out;
  // Names stand between pairs of percent signs, taken from the left as ExpandEnvironmentStrings
  // takes them.
  for (;;) {
    const auto open = data.find(u'%');
    const auto close = open == TextView::npos ? TextView::npos : data.find(u'%', open + 1);
    if (close == TextView::npos) {
      return out + Text(data);
    }
    TextView name = data.substr(open + 1, close - open - 1);
    for (const auto& [as_32bit, as_explorer] : explorer_names) {
      if (equal_ascii_ignoring_case(name, as_32bit)) {
        name = as_explorer;
      }
    }
    out += Text(data.substr(0, open + 1)) + Text(name) + u"%";
    data.remove_prefix(close + 1);
  }
}

}  // namespace velmor
