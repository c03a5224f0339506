#include "platform/path.h"

namespace velmor {

Text directory_of(TextView file) {
  const auto separator = file.find_last_of(u"\\/");
  if (separator == TextView::npos) {
    return {};
  }
  Text directory(file.substr(0, separator));
  // "C:\velmor.exe" lies in the root "C:\", not in the drive-relative "C:".
  if (directory.size() == 2 && directory[1] == u':') {
    directory += u'\\';
  }
  return directory;
}

TextView file_name_of(TextView path) {
  const auto separator = path.find_last_of(u"\\/");
  return separator == TextView::npos ? path : path.substr(separator + 1);
}

Text resolve_in(TextView directory, TextView file) {
  if (file.find_first_of(u"\\/:") != TextView::npos) {
    return Text(file);
  }
  Text path(directory);
  if (!path.empty() && path.back() != u'\\') {
    path += u'\\';
  }
  return path + Text(file);
}

}  // namespace velmor
