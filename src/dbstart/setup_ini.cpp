#include "dbstart/setup_ini.h"

#include "app/globals.h"
#include "dbstart/profile_text.h"
#include "dbstart/settings_encoding.h"
#include "platform/path.h"
#include "platform/replace_file.h"

namespace velmor {

Text one_line(TextView value) {
  constexpr TextView blanks = u" \t";
  const auto start = value.find_first_not_of(u" \t\r\n");
  if (start == TextView::npos) {
    return {};
  }
  TextView line = value.substr(start);
  line = line.substr(0, line.find_first_of(u"\r\n"));
  line = line.substr(0, line.find_last_not_of(blanks) + 1);
  return Text(line);
}

std::string utf16le_file(TextView text) {
  std::string bytes = "\xFF\xFE";
  bytes.reserve(2 + text.size() * 2);
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFFU);
    bytes += static_cast<char>(unit >> 8U);
  }
  return bytes;
}

Text SetupIni::read(TextView key, TextView fallback) {
  if (dry_writes_.has_value()) {
    for (const auto& [written, value] : *dry_writes_) {
      if (equal_ascii_ignoring_case(written, key)) {
        return value;
      }
    }
  }
  if (unconverted_text_.has_value()) {
    return profile_value(*unconverted_text_, database_section, key).value_or(Text(fallback));
  }
  return platform_.read_ini(file_, database_section, key, fallback);
}

void SetupIni::write(TextView key, TextView value) {
  if (unconverted_text_.has_value()) {
    return;
  }
  const Text line = one_line(value);
  if (dry_writes_.has_value()) {
    dry_writes_->emplace(dry_writes_->begin(), key, line);  // the latest first
    return;
  }
  if (hold_every_character(line)) {
    platform_.write_ini(file_, database_section, key, line);
  }
}

SetupIni SetupIni::named(TextView file) const {
  SetupIni same = *this;
  same.file_ = file;
  return same;
}

Text SetupIni::full_path() const {
  return resolve_in(gs_path, file_);
}

FileAccess SetupIni::prepare() {
  FileAccess access{FileAccess::readable, 0};
  const std::optional<std::string> bytes = wait_until_readable(access);
  if (!bytes.has_value()) {
    return access;
  }
  std::optional<Text> text = misread_unicode_text(*bytes, platform_.ansi_is_utf8());
  if (text.has_value() && !replace_file_safely(platform_, full_path(), utf16le_file(*text))) {
    unconverted_text_ = std::move(text);  // read-only, or held open by the client
  }
  return access;
}

std::optional<std::string> SetupIni::prepare_dry_run() {
  dry_writes_.emplace();
  std::optional<std::string> bytes = platform_.read_settings_file(file_);
  if (bytes.has_value()) {
    unconverted_text_ = misread_unicode_text(*bytes, platform_.ansi_is_utf8());
  }
  return bytes;
}

bool SetupIni::hold_every_character(TextView value) {
  if (platform_.to_ansi(value).has_value()) {
    return true;  // fits: the file stays as other programs of the client know it
  }
  const std::optional<std::string> bytes = platform_.read_settings_file(file_);
  if (!bytes.has_value()) {
    // A missing file is created as UTF-16; one that cannot be read cannot be converted.
    return platform_.settings_file_access(file_).kind == FileAccess::missing &&
           replace_file_safely(platform_, full_path(), utf16le_file({}));
  }
  if (bytes->starts_with("\xFF\xFE")) {
    return true;  // read and written as Unicode already
  }
  // Any other mark is not ours to convert (a UTF-8 or UTF-16BE file that could not be).
  if (bytes->starts_with("\xFE\xFF") || bytes->starts_with("\xEF\xBB\xBF")) {
    return false;
  }
  // Only a file that converts back to the same bytes is rewritten: anything else would change.
  const Text text = platform_.from_ansi(*bytes);
  if (platform_.to_ansi(text) != *bytes) {
    return false;
  }
  return replace_file_safely(platform_, full_path(), utf16le_file(text));
}

std::optional<std::string> SetupIni::wait_until_readable(FileAccess& access) {
  for (std::uint32_t waited = 0;; waited += locked_file_retry_ms) {
    std::optional<std::string> bytes = platform_.read_settings_file(file_);
    if (bytes.has_value()) {
      access = {FileAccess::readable, 0};  // let go of since the last look
      return bytes;
    }
    access = platform_.settings_file_access(file_);
    if (access.kind == FileAccess::missing) {
      return std::nullopt;
    }
    if (access.kind == FileAccess::readable) {
      return platform_.read_settings_file(file_);  // let go of just now
    }
    if (waited >= locked_file_wait_ms) {
      return std::nullopt;
    }
    platform_.sleep(locked_file_retry_ms);
  }
}

}  // namespace velmor
