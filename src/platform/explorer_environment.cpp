#include "platform/explorer_environment.h"

#include <array>
#include <utility>

namespace velmor {

Text with_explorer_names(TextView data, const ExplorerFolders& folders) {
  struct ExplorerName {
    std::u16string_view as_32bit;
    std::u16string_view as_explorer;
    const Text& value;
  };
  const std::array<ExplorerName, 2> explorer_names = {{
      {u"ProgramFiles", u"ProgramW6432", folders.program_files},
      {u"CommonProgramFiles", u"CommonProgramW6432", folders.common_program_files},
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
    Text name(data.substr(open + 1, close - open - 1));
    Text replaced = u"%" + name + u"%";
    for (const auto& [as_32bit, as_explorer, value] : explorer_names) {
      if (equal_ascii_ignoring_case(name, as_32bit)) {
        // A value with a '%' would be taken for names by the expansion that follows.
        replaced = value.empty() || value.find(u'%') != Text::npos ? u"%" + Text(as_explorer) + u"%" : value;
      }
    }
    out += Text(data.substr(0, open)) + replaced;
    data.remove_prefix(close + 1);
  }
}

}  // namespace velmor
