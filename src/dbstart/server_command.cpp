#include "dbstart/server_command.h"

#include "dbstart/quoting.h"

namespace velmor {
namespace {

TextView command_prefix(TextView startype) {
  if (startype == u"不显示") {
    return u"dbsrv12.exe -os 10240k -m -c 8m -qi -n ";
  }
  if (startype == u"显示图标") {
    return u"dbsrv12.exe -os 10240k -m -c 8m -q -n ";
  }
  return u"dbsrv12.exe -os 10240k -m -c 8m -n ";
}

}  // namespace

Text database_file(const ServerSettings& settings) {
  return settings.starpath + u"\\datebase\\" + settings.dbname + u".db";
}

Text server_command_line(const ServerSettings& settings) {
  // Every value from the settings reaches the server as exactly one argument.
  const Text ls_tcpip =
      settings.port.empty() ? Text(u" ") : u" -x " + command_argument(u"tcpip{port=" + settings.port + u"}") + u" ";
  return Text(command_prefix(settings.startype)) + command_argument(settings.servername) + ls_tcpip +
         command_argument(database_file(settings));
}

}  // namespace velmor
