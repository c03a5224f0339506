// libFuzzer target: for any settings, the server command line splits, by the rules of the C
// runtime and CommandLineToArgvW, into the fixed arguments of its form, then exactly the server
// name, the TCP/IP option when a port is set, and the database file path.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "dbstart/server_command.h"

namespace {

using velmor::Text;

// Splits the input into five UTF-16 fields at 0xFFFF code units.
std::array<Text, 5> fields_of(const std::uint8_t* data, std::size_t size) {
  std::array<Text, 5> fields;
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

// The arguments after the program name, as the Microsoft C runtime (2008 and later) and
// CommandLineToArgvW find them: 2n backslashes before a quote give n and the quote toggles
// quoting; 2n + 1 give n and a literal quote; a quote right after a closing quote inside
// quoted text is literal; other backslashes are literal.
std::vector<Text> split(std::u16string_view line) {
  std::vector<Text> args;
  std::size_t i = line.find(u' ');  // the program name holds no blank here
  while (i < line.size()) {
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
    if (i >= line.size()) break;
    Text arg;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
      std::size_t backslashes = 0;
      while (i < line.size() && line[i] == u'\\') {
        ++backslashes;
        ++i;
      }
      if (i < line.size() && line[i] == u'"') {
        arg.append(backslashes / 2, u'\\');
        if (backslashes % 2 == 1) {
          arg += u'"';
        } else if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
          arg += u'"';
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(backslashes, u'\\');
        if (i < line.size() && backslashes == 0) {
          arg += line[i++];
        }
      }
    }
    args.push_back(arg);
  }
  return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto [startype, servername, port, starpath, dbname] = fields_of(data, size);
  const Text line = velmor::server_command_line({startype, servername, port, starpath, dbname});

  // The program name and the form follow the setting, and nothing else.
  const std::u16string_view prefix = startype == u"不显示"     ? u"dbsrv12.exe -os 10240k -m -c 8m -qi -n "
                                     : startype == u"显示图标" ? u"dbsrv12.exe -os 10240k -m -c 8m -q -n "
                                                               : u"dbsrv12.exe -os 10240k -m -c 8m -n ";
  if (!line.starts_with(prefix)) {
    std::abort();
  }
  std::vector<Text> expected = split(prefix);
  expected.push_back(servername);
  if (!port.empty()) {
    expected.emplace_back(u"-x");
    expected.push_back(u"tcpip{port=" + port + u"}");
  }
  expected.push_back(starpath + u"\\datebase\\" + dbname + u".db");
  if (split(line) != expected) {
    std::abort();
  }
  return 0;
}
