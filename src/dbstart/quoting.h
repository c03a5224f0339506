#pragma once
#include "platform/text.h"

namespace velmor {

// A path with a blank in double quotes, so that a command line carries it as one argument;
// any other path as it is.
inline Text quoted_if_blank(TextView path) {
  if (path.find(u' ') == TextView::npos) {
    return Text(path);
  }
  return u"\"" + Text(path) + u"\"";
}

}  // namespace velmor
