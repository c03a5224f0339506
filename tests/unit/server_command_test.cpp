#include "dbstart/server_command.h"

#include <gtest/gtest.h>

#include "fake/fake_platform.h"

namespace velmor {
namespace {

struct CommandCase {
  const char* what;
  ServerSettings settings;
  std::u16string_view line;
};

const CommandCase command_cases[] = {
    {"defaults with a host name",
     {u"显示图标", u"SRV1", u"3362", u"D:\\app", u"qzdb"},
     u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} D:\\app\\datebase\\qzdb.db"},
    {"empty port: one blank, no TCP/IP option",
     {u"显示图标", u"SRV1", u"", u"D:\\app", u"qzdb"},
     u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 D:\\app\\datebase\\qzdb.db"},
    {"without icon",
     {u"不显示", u"SRV1", u"3362", u"D:\\app", u"qzdb"},
     u"dbsrv12.exe -os 10240k -m -c 8m -qi -n SRV1 -x tcpip{port=3362} D:\\app\\datebase\\qzdb.db"},
    {"empty form: not quiet",
     {u"", u"SRV1", u"3362", u"D:\\app", u"qzdb"},
     u"dbsrv12.exe -os 10240k -m -c 8m -n SRV1 -x tcpip{port=3362} D:\\app\\datebase\\qzdb.db"},
    {"unknown form: not quiet",
     {u"显示", u"SRV1", u"3362", u"D:\\app", u"qzdb"},
     u"dbsrv12.exe -os 10240k -m -c 8m -n SRV1 -x tcpip{port=3362} D:\\app\\datebase\\qzdb.db"},
    {"form compared exactly",
     {u"不显示 ", u"SRV1", u"3362", u"D:\\app", u"qzdb"},
     u"dbsrv12.exe -os 10240k -m -c 8m -n SRV1 -x tcpip{port=3362} D:\\app\\datebase\\qzdb.db"},
    {"empty database name",
     {u"显示图标", u"SRV1", u"3362", u"D:\\app", u""},
     u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} D:\\app\\datebase\\.db"},
    {"drive root keeps two backslashes",
     {u"显示图标", u"SRV1", u"3362", u"D:\\", u"qzdb"},
     u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} D:\\\\datebase\\qzdb.db"},
    {"a path with a blank is quoted",
     {u"显示图标", u"SRV1", u"3362", u"C:\\Program Files\\app", u"qzdb"},
     u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} \"C:\\Program Files\\app\\datebase\\qzdb.db\""},
    {"a database name with a blank is quoted",
     {u"显示图标", u"SRV1", u"", u"D:\\app", u"my db"},
     u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 \"D:\\app\\datebase\\my db.db\""},
    {"a server name with a blank is one argument",
     {u"显示图标", u"MY SERVER", u"3362", u"D:\\app", u"qzdb"},
     u"dbsrv12.exe -os 10240k -m -c 8m -q -n \"MY SERVER\" -x tcpip{port=3362} D:\\app\\datebase\\qzdb.db"},
    {"a port with a blank keeps the option one argument",
     {u"显示图标", u"SRV1", u"33 62", u"D:\\app", u"qzdb"},
     u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x \"tcpip{port=33 62}\" D:\\app\\datebase\\qzdb.db"},
    {"a quote in the database name is escaped, with the backslashes before it",
     {u"显示图标", u"SRV1", u"", u"D:\\app", u"my db\\\" -xs \"http(port=8080)"},
     u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 \"D:\\app\\datebase\\my db\\\\\\\" -xs \\\"http(port=8080).db\""},
    {"an empty server name is still an argument",
     {u"显示图标", u"", u"", u"D:\\app", u"qzdb"},
     u"dbsrv12.exe -os 10240k -m -c 8m -q -n \"\" D:\\app\\datebase\\qzdb.db"},
    {"Chinese path and names",
     {u"不显示", u"服务器", u"5000", u"D:\\数据", u"库"},
     u"dbsrv12.exe -os 10240k -m -c 8m -qi -n 服务器 -x tcpip{port=5000} D:\\数据\\datebase\\库.db"},
};

TEST(ServerCommandLine, ComposesEachFormCharacterForCharacter) {
  for (const auto& c : command_cases) {
    EXPECT_EQ(server_command_line(c.settings), c.line)
        << c.what << "\n  got: " << fake::narrow(server_command_line(c.settings));
  }
}

}  // namespace
}  // namespace velmor
