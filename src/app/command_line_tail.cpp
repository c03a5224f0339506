#include "app/command_line_tail.h"

namespace velmor {

TextView command_line_tail(TextView line) {
  if (line.empty()) {
    return {};
  }
  if (line.front() == u'"') {
    const auto closing = line.find(u'"', 1);
    if (closing == TextView::npos) {
      return line.substr(1);  // never closed: everything after the opening quote
    }
    // The one character after the closing quote is skipped, whatever it is.
    if (line.size() - closing <= 2) {
      return {};
    }
    return line.substr(closing + 2);
  }
  const auto blank = line.find(u' ', 1);
  if (blank == TextView::npos) {
    return {};
  }
  return line.substr(blank + 1);
}

}  // namespace velmor
