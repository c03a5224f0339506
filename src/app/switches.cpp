#include "app/switches.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/globals.h"
#include "app/run_event.h"
#include "dbstart/carry_out.h"
#include "dbstart/check_report.h"
#include "platform/runtime.h"

namespace velmor {
namespace {

constexpr std::u16string_view help_text =
    u"velmor.exe              启动数据库服务器，并登记登录时自动启动\n"
    u"velmor.exe /register    只登记自动启动，不启动服务器（部署工具以 SYSTEM 身份运行时用）\n"
    u"velmor.exe /unregister  删除本程序的所有自动启动项（卸载命令）\n"
    u"velmor.exe /check       只检查不更改：报告现在运行一次会做什么，以及原因\n"
    u"velmor.exe /?           显示本说明\n"
    u"开关后面只可以跟 /quiet、/q、/qn、/silent、/s、/norestart，它们不改变任何事。\n"
    u"\n"
    u"退出码（可以相加，如 4 + 16 = 20）：\n"
    u"0     完成\n"
    u"1     运行时错误（例如 setup.ini 一直被占用）\n"
    u"2     服务器没有运行，也找不到 dbsrv12.exe\n"
    u"4     自动启动项不在位：写入或删除被拒绝（请以管理员身份运行）、被任务管理器禁用或被策略忽略\n"
    u"8     读不到主机名，也无人可询问服务名\n"
    u"16    没有数据库文件 datebase\\<dbname>.db\n"
    u"32    自动启动项启动的是本程序的另一个副本（与 16 一起）\n"
    u"87    命令行参数无效：什么也没做\n"
    u"1618  /register、/unregister：另一个副本正在运行，什么也没做，请稍后重试\n";

}  // namespace

RunRecord unregister(Platform& platform) {
  SetupIni unread(platform);
  RunFacts facts = read_run_facts(platform, unread, {}, RunMode::unregister);
  RunPlan plan = plan_run(facts, RunMode::unregister);
  RunOutcome outcome = carry_out(platform, facts, plan);
  return {std::move(facts), std::move(plan), std::move(outcome)};
}

namespace {

// The words of a command line, split at blanks and tabs, without the quotes around them.
std::vector<Text> words_of(TextView commandline) {
  std::vector<Text> words;
  Text word;
  for (const char16_t c : Text(commandline) + u" ") {
    if (c == u' ' || c == u'\t') {
      if (!word.empty()) {
        words.push_back(std::move(word));
      }
      word.clear();
    } else if (c != u'"') {
      word += c;
    }
  }
  return words;
}

bool is_one_of(TextView word, std::initializer_list<std::u16string_view> names) {
  return word.size() >= 2 && (word.front() == u'/' || word.front() == u'-') &&
         std::any_of(names.begin(), names.end(),
                     [&](std::u16string_view name) { return equal_ascii_ignoring_case(word.substr(1), name); });
}

constexpr std::array<std::pair<std::u16string_view, Switch>, 4> switches = {{
    {u"register", Switch::register_},
    {u"unregister", Switch::unregister},
    {u"check", Switch::check},
    {u"?", Switch::help},
}};

}  // namespace

Switch switch_of(TextView commandline) {
  const std::vector<Text> words = words_of(commandline);
  if (words.empty() || (words[0].front() != u'/' && words[0].front() != u'-')) {
    return Switch::none;
  }
  const auto* const known = std::find_if(switches.begin(), switches.end(), [&](const auto& known_switch) {
    return is_one_of(words[0], {known_switch.first});
  });
  if (known == switches.end()) {
    return Switch::unknown;
  }
  // Installers' quiet flags change nothing; anything else means the tool expects what this
  // program does not do.
  const bool only_quiet_flags = std::all_of(words.begin() + 1, words.end(), [](const Text& word) {
    return is_one_of(word, {u"quiet", u"q", u"qn", u"silent", u"s", u"norestart"});
  });
  return only_quiet_flags ? known->second : Switch::invalid;
}

bool starts_no_plain_run(TextView arguments) {
  const Switch chosen = switch_of(arguments);
  return chosen != Switch::none && chosen != Switch::unknown;
}

Text outcome_line(Switch chosen, int exit_code) {
  Text line = chosen == Switch::register_ ? u"velmor /register：" : u"velmor /unregister：";
  if (exit_code == exit_busy_retry) {
    line += u"另一个副本正在运行，什么也没做，请稍后重试";
  } else if (exit_code == exit_runtime_error) {
    line += u"运行出错而结束，失败的操作写在应用程序日志中（事件 3001）";
  } else if (chosen == Switch::register_) {
    line += (exit_code & exit_autostart_missing) != 0 ? u"自动启动项不在位（写入被拒绝、被任务管理器禁用或被策略忽略）"
                                                      : u"自动启动项已就位，登录时启动本程序";
    if ((exit_code & exit_no_database) != 0) {
      line += u"；还没有数据库文件";
    }
    if ((exit_code & exit_name_not_asked) != 0) {
      line += u"；读不到主机名，没有询问服务名";
    }
  } else {
    line += (exit_code & exit_autostart_missing) != 0 ? u"仍有启动本程序的自动启动项（删除被拒绝）"
                                                      : u"已没有启动本程序的自动启动项";
  }
  const std::string code = std::to_string(exit_code);
  return line + u"；退出码 " + Text(code.begin(), code.end()) + u"\n";
}

int run_switch(Platform& platform, Switch chosen) {
  switch (chosen) {
    case Switch::check: {
      const CheckResult result = check(platform);
      platform.show_report(u"velmor /check", result.report + last_runs(platform.recent_events(event_source, 5)));
      return result.exit_code;
    }
    case Switch::help: platform.show_report(u"velmor /?", help_text); return 0;
    case Switch::invalid: platform.show_report(u"velmor /?", help_text); return exit_invalid_parameter;
    case Switch::none:
    case Switch::unknown:
    case Switch::register_:
    case Switch::unregister: break;  // runs that take the guard: velmor_app
  }
  return 0;
}

}  // namespace velmor
