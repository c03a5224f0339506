#include "dbstart/check_report.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "app/globals.h"
#include "dbstart/host_name.h"
#include "dbstart/plan_text.h"
#include "dbstart/run_plan.h"
#include "dbstart/settings_encoding.h"
#include "dbstart/w_db_start.h"
#include "platform/path.h"
#include "platform/runtime.h"

#ifndef VELMOR_VERSION
#define VELMOR_VERSION "?"
#endif

namespace velmor {
namespace {

class Report {
 public:
  void line(std::initializer_list<TextView> parts) {
    for (const TextView part : parts) {
      text_ += part;
    }
    text_ += u'\n';
  }
  [[nodiscard]] const Text& text() const { return text_; }

 private:
  Text text_;
};

Text number(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  return {digits.begin(), digits.end()};
}

TextView yes_no(bool yes) {
  return yes ? u"是" : u"否";
}

// The Run key as Windows names it in that view: the 32-bit view of 64-bit Windows is WOW6432Node.
Text key_in_view(Platform& platform, RunView view) {
  const bool view32 = platform.windows_is_64bit() &&
                      (view == RunView::view32 || (view == RunView::own && platform.registry_is_32bit_view()));
  if (!view32) {
    return Text(autostart_key) + (platform.windows_is_64bit() ? u"（64 位视图）" : u"");
  }
  const TextView software = u"HKEY_LOCAL_MACHINE\\Software\\";
  return Text(software) + u"WOW6432Node\\" + Text(autostart_key.substr(software.size())) + u"（32 位视图）";
}

TextView encoding_name(const std::string& bytes, bool ansi_is_utf8) {
  if (bytes.starts_with("\xFF\xFE")) {
    return u"UTF-16 LE（Unicode），照原样读写";
  }
  if (!misread_unicode_text(bytes, ansi_is_utf8).has_value()) {
    return u"ANSI（系统代码页），照原样读写";
  }
  return bytes.starts_with("\xFE\xFF") ? u"UTF-16 BE：可写的运行先改存为 UTF-16 LE，否则只读不写"
                                       : u"UTF-8：可写的运行先改存为 UTF-16 LE，否则只读不写";
}

TextView server_text(ServerStep step) {
  switch (step) {
    case ServerStep::not_asked: return u"";
    case ServerStep::no_database: return u"不启动服务器：没有数据库文件（退出码 16）";
    case ServerStep::already_running: return u"服务器已在运行，不再启动";
    case ServerStep::start: return u"启动服务器：";
    case ServerStep::not_found: return u"不启动服务器：找不到 dbsrv12.exe（退出码 2）";
  }
  return u"";
}

void settings_lines(Report& out, Platform& platform, const std::optional<std::string>& bytes, FileAccess access,
                    const Text& ini_path) {
  out.line({u"配置文件：", ini_path});
  if (bytes.has_value()) {
    out.line({u"  编码：", encoding_name(*bytes, platform.ansi_is_utf8())});
  } else if (access.kind != FileAccess::readable) {
    out.line({u"  ", access.kind == FileAccess::missing ? u"不存在：运行时新建，各项取默认值"
                                                        : u"现在读不到（被其他程序占用或无权读取）"});
  }
  out.line({u"  本用户可写：", yes_no(platform.may_write_file(ini_path))});
}

void entry_lines(Report& out, Platform& platform, const RunFacts& facts, const RunPlan& plan) {
  for (std::size_t i = 0; i < facts.entries.size(); ++i) {
    const EntryFacts& entry = facts.entries[i];
    out.line({u"自动启动项：", key_in_view(platform, entry.view), u"，值 ", entry.name});
    if (!entry.value.has_value()) {
      out.line({u"  ", starts_text(entry.starts)});
    } else {
      out.line({u"  值：", *entry.value});
      out.line({u"  启动：", entry.program, u"：", starts_text(entry.starts)});
      if (!entry.arguments.empty()) {
        out.line({u"  参数：", entry.arguments});
      }
      if (entry.starts == EntryStarts::another_program && entry.named) {
        out.line({u"  那个副本的数据库文件：", entry.copy_has_database ? u"存在" : u"不存在"});
      }
      out.line({u"  任务管理器开关：", entry.switched_off ? u"已禁用" : u"启用"});
    }
    out.line({u"  本用户可写：", yes_no(entry.may_write)});
    for (const EntryStep& step : plan.steps) {
      if (step.entry == i) {
        const bool writes = step.action == EntryAction::write || step.action == EntryAction::quote ||
                            step.action == EntryAction::replace;
        out.line({u"  运行时：", step_text(step.action), writes ? u"：" : u"", writes ? facts.program.command : Text(),
                  step.switch_on ? u"，并在任务管理器中重新启用" : u""});
      }
    }
  }
  out.line(
      {u"策略 DisableLocalMachineRun：", facts.policy == RunKeyPolicy::none ? u"未设置"
                                         : facts.policy == RunKeyPolicy::machine
                                             ? u"已由本机策略设置（HKEY_LOCAL_MACHINE）：Windows 忽略本机的 Run 项"
                                             : u"已由用户策略设置（HKEY_CURRENT_USER）：Windows 忽略本机的 Run 项"});
}

// Whether another program listens on the server's port now: the server could not.
void port_line(Report& out, Platform& platform, const RunFacts& facts) {
  const TextView port = facts.settings.port;
  std::uint32_t value = 0;
  for (const char16_t digit : port) {
    value = digit >= u'0' && digit <= u'9' && value <= 65535 ? value * 10 + (digit - u'0') : 65536;
  }
  if (port.empty() || value > 65535) {
    return;  // no TCP option, or one the server would refuse itself
  }
  const auto number_of_port = static_cast<std::uint16_t>(value);
  const std::optional<std::uint32_t> listener = platform.tcp_port_listener(number_of_port);
  if (!listener.has_value()) {
    out.line({u"TCP 端口 ", port, u"：现在没有程序在监听"});
    return;
  }
  if (*listener == 0) {  // Windows (and Wine) may not tell the owner
    out.line({u"TCP 端口 ", port, u"：有程序在监听，Windows 未告知是哪个进程",
              facts.running.empty() ? u"：服务器无法在这个端口监听" : u"（可能是运行中的 dbsrv12.exe）"});
    return;
  }
  const bool server = std::any_of(facts.running.begin(), facts.running.end(),
                                  [&](const RunningServer& running) { return running.id == *listener; });
  const std::optional<Text> program = platform.describe_process(*listener).path;
  out.line({u"TCP 端口 ", port, u"：进程 ", number(*listener), u"（", program.value_or(u"Windows 未告知路径"),
            u"）在监听", server ? u"：运行中的 dbsrv12.exe" : u"：不是 dbsrv12.exe，服务器无法在这个端口监听"});
}

void server_lines(Report& out, Platform& platform, const RunFacts& facts) {
  const FileState state = facts.database_state;
  const TextView database_text = state == FileState::disk_file ? u"存在"
                                 : state == FileState::unknown
                                     ? u"无法查看（无权访问、驱动器未就绪或路径太长）：运行时照常启动服务器"
                                     : u"不存在（或是文件夹、设备名）：运行时不启动服务器";
  out.line({u"数据库文件：", facts.database, u"：", database_text});
  if (facts.server.program.has_value()) {
    out.line({u"服务器程序：", *facts.server.program});
  } else {
    out.line({u"服务器程序：找不到 dbsrv12.exe，查找过（不含当前文件夹）："});
    for (const Text& folder : facts.server.folders) {
      out.line({u"  ", folder});
    }
  }
  out.line({u"服务器命令行：", server_command_line(facts.settings)});
  if (facts.running.empty()) {
    out.line({u"运行中的 dbsrv12.exe：无"});
  }
  for (const RunningServer& server : facts.running) {
    out.line({u"运行中的 dbsrv12.exe：进程 ", number(server.id), u"，会话 ",
              server.details.session.has_value() ? number(*server.details.session) : Text(u"?"), u"，",
              server.details.path.value_or(u"（Windows 未告知路径）")});
    if (server.details.path.has_value() && facts.server.program.has_value() &&
        !platform.equal_ignoring_case(*server.details.path, *facts.server.program)) {
      out.line({u"  不是本程序会启动的服务器程序（另一个产品或另一个副本的服务器）：本客户端的数据库可能不在其中"});
    }
  }
  port_line(out, platform, facts);
}

}  // namespace

CheckResult check(Platform& platform) {
  Report out;
  const ThisProgram program = this_program(platform, gs_path);
  const TextView bits = sizeof(void*) == 8 ? u"64" : u"32";
  const std::string version = VELMOR_VERSION;
  out.line({u"velmor /check：只检查，不做任何更改"});
  out.line({u"程序文件：", program.path, u"（", bits, u" 位版本，版本 ", Text(version.begin(), version.end()), u"）"});
  const RunContext context = platform.run_context();
  out.line({u"运行者：", context.user,
            !context.elevated.has_value() ? u"（Windows 未告知是否提升）"
            : *context.elevated           ? u"（已提升：管理员）"
                                          : u"（未提升）",
            u"，计算机 ", context.computer, u"，Windows ", context.windows, u"，时间 ", context.local_time});

  // setup.ini as a run finds it; the run's own writes are kept in memory.
  SetupIni ini(platform);
  const std::optional<std::string> bytes = ini.prepare_dry_run();
  const FileAccess access = platform.settings_file_access(setup_ini_name);
  settings_lines(out, platform, bytes, access, resolve_in(gs_path, setup_ini_name));
  const Text ls_diskname = read_host_name(platform);
  const SettingsPlan settings = plan_settings(bytes.has_value() || access.kind != FileAccess::refused, ls_diskname,
                                              platform.display_is_visible());
  if (settings.stop) {
    out.line({u"结论：现在运行一次会等待约 2 秒，仍读不到配置文件就停止，不做任何事（退出码 1）"});
    return {out.text(), exit_runtime_error};
  }
  for (const auto& [key, value] : settings.writes) {
    ini.write(key, value);
  }

  const RunFacts facts = read_run_facts(platform, ini, ls_diskname, RunMode::plain);
  const RunPlan plan = plan_run(facts, RunMode::plain);
  out.line(
      {u"  startype=", facts.settings.startype, u"  dbname=", facts.settings.dbname, u"  port=", facts.settings.port});
  if (ls_diskname.empty()) {
    out.line({u"主机名（注册表 NV HostName）：未知：",
              settings.dialog ? u"运行时先弹出对话框询问服务名" : u"无人可见，不询问服务名（退出码 8）"});
  } else {
    out.line({u"主机名（注册表 NV HostName）：", ls_diskname, u"：运行时写入 servername"});
  }
  out.line({u"  服务名（-n）：", facts.settings.servername});
  server_lines(out, platform, facts);
  entry_lines(out, platform, facts, plan);

  // The verdict: the plan of a plain run by this user now.
  out.line({u"结论：现在运行一次会"});
  out.line({u"  ", server_text(plan.server), plan.server == ServerStep::start ? *facts.server.program : Text()});
  if (plan.left_to_copy) {
    out.line({u"  自动启动项留给另一个副本，不写入（退出码 32）"});
  } else if (!plan.in_place_expected) {
    out.line({u"  自动启动项仍不在位：显示提示框，退出码 4（请以管理员身份运行一次）"});
  }
  if (facts.policy != RunKeyPolicy::none) {
    out.line({u"  策略使 Windows 忽略本机的 Run 项"});
  }
  const int exit_code = (plan.exit_code & (exit_no_database | exit_server_not_started)) |
                        (plan.in_place_now ? 0 : exit_autostart_missing);
  const bool server = plan.server == ServerStep::start || plan.server == ServerStep::already_running;
  out.line({u"现在登录时：",
            !plan.in_place_now ? u"Windows 不会启动本程序（没有启用的自动启动项启动它）"
            : server           ? u"启动或找到服务器"
                               : u"本程序运行，但服务器不会启动",
            u"；退出码 ", number(static_cast<std::uint64_t>(exit_code))});
  return {out.text(), exit_code};
}

}  // namespace velmor
