#pragma once
// The command line that starts the database server, dbsrv12.exe.
#include "platform/text.h"

namespace velmor {

inline constexpr std::u16string_view server_executable = u"dbsrv12.exe";

struct ServerSettings {
  Text startype;    // which form: quiet without icon, quiet with icon, or not quiet
  Text servername;  // the name the server goes by on the network
  Text port;        // empty: no TCP/IP option
  Text starpath;    // the folder below which "datebase" holds the database file
  Text dbname;      // the database file's name without ".db"
};

// The database file the server is started for: "datebase" below the start path.
Text database_file(const ServerSettings& settings);

Text server_command_line(const ServerSettings& settings);

}  // namespace velmor
