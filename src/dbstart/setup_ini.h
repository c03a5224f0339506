#pragma once
// The program's settings file: setup.ini in the start directory, section "database".
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace velmor {

inline constexpr std::u16string_view setup_ini_name = u"setup.ini";
inline constexpr std::u16string_view database_section = u"database";

namespace setup_key {
inline constexpr std::u16string_view apppath = u"apppath";        // start directory, every run
inline constexpr std::u16string_view setup = u"setup";            // "1", every run; read by no one here
inline constexpr std::u16string_view servername = u"servername";  // database server name
inline constexpr std::u16string_view startype = u"startype";      // which server command form
inline constexpr std::u16string_view dbname = u"dbname";          // database file name, autostart value name
inline constexpr std::u16string_view port = u"port";              // TCP/IP port of the server
}  // namespace setup_key

namespace setup_default {
inline constexpr std::u16string_view startype = u"显示图标";
inline constexpr std::u16string_view dbname = u"qzdb";
inline constexpr std::u16string_view port = u"3362";
}  // namespace setup_default

// How long a run waits for a settings file that another program holds open.
inline constexpr std::uint32_t locked_file_wait_ms = 2000;
inline constexpr std::uint32_t locked_file_retry_ms = 100;

// What is stored of a value: its first non-empty line, without surrounding blanks and tabs. A
// line break would end the value in the file and start a new key there.
Text one_line(TextView value);

// The bytes of a UTF-16LE file with its byte order mark.
std::string utf16le_file(TextView text);

// Section "database" of a settings file, named bare ("setup.ini": the start directory's) or
// with its directory.
class SetupIni {
 public:
  explicit SetupIni(Platform& platform, TextView file = setup_ini_name) : platform_(platform), file_(file) {}

  // Before the first read or write of a run: waits while another program holds the file open,
  // rewrites once as UTF-16LE a file saved as UTF-8 or UTF-16BE, which the profile functions
  // would misread, and so decides how this run reads and writes the file. Refused, with the
  // system's code, when the file stays held or unreadable: its reads would silently give defaults.
  FileAccess prepare();
  // For a look that writes nothing: reads the file as a run that converts it would, without
  // waiting for it, and keeps every later write in memory, where the reads see it. The file's
  // bytes; nothing when it is missing or cannot be read now.
  std::optional<std::string> prepare_dry_run();
  // The stored value; `fallback` when file, section or key is missing. A present empty value
  // reads as empty.
  Text read(TextView key, TextView fallback);
  // Stores one_line(value). The outcome is not examined: the next read shows what the file holds.
  // A value the file cannot hold exactly is not written: the old line stays.
  void write(TextView key, TextView value);
  // The same file, with this run's decision, under another of its names.
  [[nodiscard]] SetupIni named(TextView file) const;
  [[nodiscard]] Text full_path() const;

 private:
  // Waits while another program holds the file open. The file's bytes; nothing when there is no
  // file, or when it stays unreadable (then `access` says why).
  std::optional<std::string> wait_until_readable(FileAccess& access);
  // A value outside the ANSI code page would be stored as question marks in an ANSI file:
  // such a file becomes UTF-16 first, with the same text. False when the file cannot hold it.
  bool hold_every_character(TextView value);

  Platform& platform_;
  Text file_;
  // The text of a file the profile functions would misread and this run could not rewrite:
  // this run reads it from here and writes nothing into it, since their ANSI writes would
  // garble it for good. The next run that may rewrite it converts it first.
  std::optional<Text> unconverted_text_;
  // A dry run's writes, by key; nothing for a run that writes.
  std::optional<std::vector<std::pair<Text, Text>>> dry_writes_;
};

}  // namespace velmor
