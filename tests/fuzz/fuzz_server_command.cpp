// libFuzzer target: the server command line for arbitrary settings starts with one of the three
// prefixes and ends with the database file path, quoted when it holds a blank.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "dbstart/server_command.h"

namespace {

// Splits the input into five UTF-16 fields at 0xFFFF code units.
std::array<velmor::Text, 5> fields_of(const std::uint8_t* data, std::size_t size) {
  std::array<velmor::Text, 5> fields;
  std::size_t field = 0;
  for (std::size_t i = 0; i + 1 < size && field < fields.size(); i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0xFFFF) {
      ++field;
    } else {
      fields[field] += unit;
    }
  }
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto [startype, servername, port, starpath, dbname] = fields_of(data, size);
  const velmor::Text line = velmor::server_command_line({startype, servername, port, starpath, dbname});

  // The form follows the setting, and nothing else.
  const std::u16string_view prefix = startype == u"不显示"     ? u"dbsrv12.exe -os 10240k -m -c 8m -qi -n "
                                     : startype == u"显示图标" ? u"dbsrv12.exe -os 10240k -m -c 8m -q -n "
                                                               : u"dbsrv12.exe -os 10240k -m -c 8m -n ";
  if (!line.starts_with(prefix) || !line.substr(prefix.size()).starts_with(servername)) {
    std::abort();
  }
  // The database file ends the line, as one argument.
  const velmor::Text path = starpath + u"\\datebase\\" + dbname + u".db";
  const velmor::Text expected_end = path.find(u' ') == velmor::Text::npos ? path : u"\"" + path + u"\"";
  if (!line.ends_with(expected_end) || line.size() < prefix.size() + servername.size() + expected_end.size()) {
    std::abort();
  }
  // Between name and path: one blank, or the TCP/IP option when a port is set.
  const velmor::Text middle = line.substr(prefix.size() + servername.size(),
                                          line.size() - prefix.size() - servername.size() - expected_end.size());
  if (middle != (port.empty() ? velmor::Text(u" ") : u" -x tcpip{port=" + port + u"} ")) {
    std::abort();
  }
  return 0;
}
