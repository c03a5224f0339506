#include "app/switches.h"

#include <array>
#include <utility>

#include "app/globals.h"
#include "dbstart/carry_out.h"
#include "dbstart/check_report.h"

namespace velmor {
namespace {

constexpr std::u16string_view help_text =
    u"velmor.exe              启动数据库服务器，并登记登录时自动启动\n"
    u"velmor.exe /register    只登记自动启动，不启动服务器（部署工具以 SYSTEM 身份运行时用）\n"
    u"velmor.exe /unregister  删除本程序的自动启动项（卸载命令）\n"
    u"velmor.exe /check       只检查不更改：报告现在运行一次会做什么，以及原因\n"
    u"velmor.exe /?           显示本说明\n"
    u"\n"
    u"退出码（可以相加，如 4 + 16 = 20）：\n"
    u"0   完成\n"
    u"1   运行时错误；/register、/unregister：另一个副本正在运行\n"
    u"2   服务器没有运行，也找不到 dbsrv12.exe\n"
    u"4   自动启动项不在位：写入或删除被拒绝（请以管理员身份运行）、被任务管理器禁用或被策略忽略\n"
    u"8   读不到主机名，也无人可询问服务名\n"
    u"16  没有数据库文件 datebase\\<dbname>.db\n";

// /unregister: every entry whose program is this file, under any name: it needs no setting.
int unregister(Platform& platform) {
  SetupIni unread(platform);
  const RunFacts facts = read_run_facts(platform, unread, {}, RunMode::unregister);
  return carry_out(platform, facts, plan_run(facts, RunMode::unregister));
}

}  // namespace

Switch switch_of(TextView commandline) {
  const auto first = commandline.find_first_not_of(u" \t");
  if (first == TextView::npos) {
    return Switch::none;
  }
  const TextView word = commandline.substr(first, commandline.find_last_not_of(u" \t") + 1 - first);
  if (word.size() < 2 || (word.front() != u'/' && word.front() != u'-')) {
    return Switch::none;
  }
  static constexpr std::array<std::pair<std::u16string_view, Switch>, 4> switches = {{
      {u"register", Switch::register_},
      {u"unregister", Switch::unregister},
      {u"check", Switch::check},
      {u"?", Switch::help},
  }};
  for (const auto& [name, chosen] : switches) {
    if (equal_ascii_ignoring_case(word.substr(1), name)) {
      return chosen;
    }
  }
  return Switch::none;
}

int run_switch(Platform& platform, Switch chosen) {
  switch (chosen) {
    case Switch::unregister: return unregister(platform);
    case Switch::check: {
      const CheckResult result = check(platform);
      platform.show_report(u"velmor /check", result.report);
      return result.exit_code;
    }
    case Switch::help: platform.show_report(u"velmor /?", help_text); return 0;
    case Switch::none:
    case Switch::register_: break;
  }
  return 0;
}

}  // namespace velmor
