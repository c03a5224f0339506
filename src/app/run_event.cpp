#include "app/run_event.h"

#include <string>

#include "dbstart/plan_text.h"

namespace velmor {
namespace {

Text number(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  return {digits.begin(), digits.end()};
}

TextView mode_text(Switch chosen) {
  return chosen == Switch::register_    ? u"velmor /register"
         : chosen == Switch::unregister ? u"velmor /unregister"
                                        : u"velmor（登录或手工运行）";
}

TextView view_text(RunView view) {
  switch (view) {
    case RunView::view64: return u"64 位视图";
    case RunView::view32: return u"32 位视图";
    case RunView::own: break;
  }
  return u"本程序的视图";
}

// The bit that matters most names a warning: no server, then no autostart, then no database,
// then another copy's entry, then no name.
std::uint32_t warning_id(int exit_code) {
  for (const int bit :
       {exit_server_not_started, exit_autostart_missing, exit_no_database, exit_left_to_copy, exit_name_not_asked}) {
    if ((exit_code & bit) != 0) {
      return event_id::warning + static_cast<std::uint32_t>(bit);
    }
  }
  return event_id::warning;
}

Text who_line(const RunContext& who) {
  return u"用户：" + who.user + u"，会话 " + (who.session.has_value() ? number(*who.session) : Text(u"?")) + u"\n";
}

Text server_lines(const RunRecord& record) {
  const RunFacts& facts = record.facts;
  switch (record.plan.server) {
    case ServerStep::start:
      return (record.outcome.server_process.has_value()
                  ? u"服务器：已启动 " + *facts.server.program + u"，进程 " + number(*record.outcome.server_process)
                  : u"服务器：启动失败 " + *facts.server.program) +
             u"\n命令行：" + record.plan.command_line + u"\n";
    case ServerStep::already_running: {
      Text line = u"服务器：已在运行，不再启动：进程";
      for (const RunningServer& server : facts.running) {
        line +=
            u" " + number(server.id) + (server.details.path.has_value() ? u"（" + *server.details.path + u"）" : u"");
      }
      return line + u"\n";
    }
    case ServerStep::no_database: return u"服务器：没有启动：没有数据库文件 " + facts.database + u"\n";
    case ServerStep::not_found: {
      Text line = u"服务器：没有启动：找不到 dbsrv12.exe，查找过：";
      for (const Text& folder : facts.server.folders) {
        line += folder + u"；";
      }
      return line + u"\n";
    }
    case ServerStep::not_asked: break;
  }
  return {};
}

Text entry_lines(const RunRecord& record) {
  Text lines;
  for (std::size_t i = 0; i < record.plan.steps.size(); ++i) {
    const EntryStep& step = record.plan.steps[i];
    const EntryFacts& entry = record.facts.entries[step.entry];
    const StepDone& done = record.outcome.done[i];
    const bool writes = step.action != EntryAction::keep && step.action != EntryAction::leave_to_copy;
    lines += u"自动启动项 " + entry.name + u"（" + Text(view_text(entry.view)) + u"）：" + Text(step_text(step.action));
    if (step.action == EntryAction::leave_to_copy) {
      lines += u"：" + entry.program;
    }
    lines += writes ? (done.value ? u"：完成" : u"：被拒绝") : u"";
    if (step.switch_on) {
      lines += done.switched_on ? u"；任务管理器开关：已重新启用" : u"；任务管理器开关：仍禁用（无权启用）";
    }
    lines += u"（原来：" + Text(starts_text(entry.starts)) + (entry.value ? u"，" + *entry.value : Text()) + u"）\n";
  }
  if (record.facts.policy != RunKeyPolicy::none) {
    lines += u"策略 DisableLocalMachineRun 已设置：Windows 忽略本机的 Run 项\n";
  }
  return lines;
}

}  // namespace

RunEvent run_event(Switch chosen, int exit_code, const RunRecord* record, const RunContext& who) {
  const std::uint32_t done = chosen == Switch::register_    ? event_id::register_done
                             : chosen == Switch::unregister ? event_id::unregister_done
                                                            : event_id::run_done;
  RunEvent event{
      exit_code == 0 ? EventType::information : EventType::warning, exit_code == 0 ? done : warning_id(exit_code), {}};
  Text text = Text(mode_text(chosen)) + u"\n" + who_line(who);
  if (record != nullptr) {
    text += server_lines(*record) + entry_lines(*record);
  }
  if ((exit_code & exit_name_not_asked) != 0) {
    text += u"主机名：读不到，无人可见，没有询问服务名\n";
  }
  text += u"退出码：" + number(static_cast<std::uint64_t>(exit_code));
  event.strings = {text, who.user, number(static_cast<std::uint64_t>(exit_code))};
  return event;
}

RunEvent error_event(Switch chosen, const RuntimeError& error, const RunContext& who) {
  const Text text = Text(mode_text(chosen)) + u"\n" + who_line(who) + u"失败的操作：" +
                    text_of_utf8(error.operation()) + u"\n系统错误码：" + number(error.system_code()) + u"\n退出码：1";
  return {EventType::error, event_id::runtime_error, {text, who.user, u"1"}};
}

Text last_runs(const std::optional<std::vector<LoggedEvent>>& events) {
  if (!events.has_value()) {
    return u"最近的运行：读不到 Windows 的应用程序日志\n";
  }
  if (events->empty()) {
    return u"最近的运行：应用程序日志中没有 velmor 的记录\n";
  }
  Text lines = u"最近的运行（应用程序日志，新的在前）：\n";
  for (const LoggedEvent& event : *events) {
    const TextView outcome = event.type == EventType::error     ? u"运行出错"
                             : event.type == EventType::warning ? u"没有做完"
                                                                : u"完成";
    const auto string = [&](std::size_t i) { return i < event.strings.size() ? event.strings[i] : Text(u"?"); };
    lines += u"  " + event.time + u"  " + string(1) + u"  " + Text(outcome) + u"（事件 " + number(event.id) +
             u"）  退出码 " + string(2) + u"\n";
  }
  return lines;
}

}  // namespace velmor
