#include "platform/path.h"

#include <algorithm>

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

TextView program_of(TextView command) {
  if (command.starts_with(u'"')) {
    const TextView rest = command.substr(1);
    return rest.substr(0, rest.find(u'"'));
  }
  return command.substr(0, command.find_first_of(u" \t"));
}

Text with_exe_extension(TextView path) {
  return file_name_of(path).find(u'.') == TextView::npos ? Text(path) + u".exe" : Text(path);
}

bool is_full_path(TextView path) {
  const auto separator = [](char16_t c) { return c == u'\\' || c == u'/'; };
  if (path.size() >= 3 && path[1] == u':' && separator(path[2])) {
    return true;
  }
  return path.size() >= 3 && separator(path[0]) && separator(path[1]) && !separator(path[2]);
}

std::vector<Text> program_search_folders(TextView own_folder, TextView system_folder, TextView windows_folder,
                                         TextView path_variable) {
  std::vector<Text> folders{Text(own_folder), Text(system_folder), Text(windows_folder)};
  for (std::size_t begin = 0; begin <= path_variable.size();) {
    const std::size_t end = std::min(path_variable.find(u';', begin), path_variable.size());
    TextView entry = path_variable.substr(begin, end - begin);
    if (entry.size() >= 2 && entry.front() == u'"' && entry.back() == u'"') {
      entry = entry.substr(1, entry.size() - 2);
    }
    if (is_full_path(entry)) {
      folders.emplace_back(entry);
    }
    begin = end + 1;
  }
  // Each folder once (PATH repeats the system folder, in another letter case or with a closing
  // backslash): the first place is the one that counts.
  const auto same = [](TextView a, TextView b) {
    const auto bare = [](TextView folder) {
      return folder.size() > 3 && folder.back() == u'\\' ? folder.substr(0, folder.size() - 1) : folder;
    };
    return equal_ascii_ignoring_case(bare(a), bare(b));
  };
  std::vector<Text> unique;
  for (Text& folder : folders) {
    if (std::none_of(unique.begin(), unique.end(), [&](const Text& kept) { return same(kept, folder); })) {
      unique.push_back(std::move(folder));
    }
  }
  return unique;
}

}  // namespace velmor
