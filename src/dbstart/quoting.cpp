#include "dbstart/quoting.h"

namespace velmor {

Text command_argument(TextView value) {
  if (!value.empty() && value.find_first_of(u" \t\"") == TextView::npos) {
    return Text(value);
  }
  Text quoted = u"\"";
  std::size_t backslashes = 0;
  for (const char16_t c : value) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count as escapes only in front of a quote: there they are doubled, and
    // the quote itself escaped.
    quoted.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(backslashes * 2, u'\\');  // before the closing quote
  quoted += u'"';
  return quoted;
}

}  // namespace velmor
