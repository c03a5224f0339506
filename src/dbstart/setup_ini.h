#pragma once
// The program's settings file: setup.ini in the start directory, section "database".
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
inline constexpr std::u16string_view ip = u"ip";                  // read, not used
inline constexpr std::u16string_view port = u"port";              // TCP/IP port of the server
}  // namespace setup_key

namespace setup_default {
inline constexpr std::u16string_view startype = u"显示图标";
inline constexpr std::u16string_view dbname = u"qzdb";
inline constexpr std::u16string_view port = u"3362";
}  // namespace setup_default

// Section "database" of a settings file, named bare ("setup.ini": the start directory's) or
// with its directory.
class SetupIni {
 public:
  explicit SetupIni(Platform& platform, TextView file = setup_ini_name) : platform_(platform), file_(file) {}

  // The stored value; `fallback` when file, section or key is missing. A present empty value
  // reads as empty.
  Text read(TextView key, TextView fallback) { return platform_.read_ini(file_, database_section, key, fallback); }
  // The outcome of a write is not examined: the next read shows what the file holds.
  void write(TextView key, TextView value) { platform_.write_ini(file_, database_section, key, value); }

 private:
  Platform& platform_;
  Text file_;
};

}  // namespace velmor
