#include "dbstart/check_report.h"

#include <initializer_list>
#include <string>

#include "app/globals.h"
#include "dbstart/autostart.h"
#include "dbstart/host_name.h"
#include "dbstart/server_program.h"
#include "dbstart/settings_encoding.h"
#include "dbstart/setup_ini.h"
#include "dbstart/w_db_start.h"
#include "platform/path.h"

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

TextView view_name(Platform& platform, RunView view) {
  if (!platform.windows_is_64bit()) {
    return u"";
  }
  const bool view32 = view == RunView::view32 || (view == RunView::own && platform.registry_is_32bit_view());
  return view32 ? u"（32 位视图 WOW6432Node）" : u"（64 位视图）";
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

TextView starts_text(EntryStarts starts) {
  switch (starts) {
    case EntryStarts::nothing: return u"没有这一项";
    case EntryStarts::this_program: return u"启动本程序";
    case EntryStarts::this_program_unquoted: return u"启动本程序（路径未加引号，可写时加上）";
    case EntryStarts::another_program: return u"启动另一个程序（文件存在）";
    case EntryStarts::missing_program: return u"启动的程序文件不存在";
  }
  return u"";
}

}  // namespace

CheckResult check(Platform& platform) {
  Report out;
  const ThisProgram program = this_program(platform, gs_path);
  const TextView bits = sizeof(void*) == 8 ? u"64" : u"32";
  const std::string version = VELMOR_VERSION;
  out.line({u"velmor /check：只检查，不做任何更改"});
  out.line({u"程序文件：", program.path, u"（", bits, u" 位版本，版本 ", Text(version.begin(), version.end()), u"）"});

  // setup.ini, read as a run reads it.
  const Text ini_path = resolve_in(gs_path, setup_ini_name);
  SetupIni ini(platform);
  const std::optional<std::string> bytes = ini.prepare_read_only();
  const FileAccess access = platform.settings_file_access(setup_ini_name);
  out.line({u"配置文件：", ini_path});
  if (!bytes.has_value()) {
    out.line({u"  ", access.kind == FileAccess::missing ? u"不存在：运行时新建，各项取默认值"
                                                        : u"现在读不到（被其他程序占用或无权读取）"});
  } else {
    out.line({u"  编码：", encoding_name(*bytes, platform.ansi_is_utf8())});
  }
  out.line({u"  本用户可写：", yes_no(platform.may_write_file(ini_path))});

  const Text ls_diskname = read_host_name(platform);
  const ServerSettings settings = read_run_settings(ini, ls_diskname, gs_path);
  out.line({u"  startype=", settings.startype, u"  dbname=", settings.dbname, u"  port=", settings.port});
  if (ls_diskname.empty()) {
    out.line({u"主机名（注册表 NV HostName）：未知：运行时先弹出对话框询问服务名（无人可见时不问，退出码加 8）"});
  } else {
    out.line({u"主机名（注册表 NV HostName）：", ls_diskname});
  }
  out.line({u"  服务名（-n）：", settings.servername});

  // The launch decision.
  const Text database = database_file(settings);
  const FileState database_state = platform.file_state(database);
  const TextView database_text = database_state == FileState::disk_file ? u"存在"
                                 : database_state == FileState::none
                                     ? u"不存在（或是文件夹、设备名）：运行时不启动服务器"
                                     : u"无法查看（无权访问、驱动器未就绪或路径太长）：运行时照常启动服务器";
  out.line({u"数据库文件：", database, u"：", database_text});

  const Text ls_runstring = server_command_line(settings);
  const ProgramSearch search = find_program(platform, ls_runstring, gs_path);
  if (search.program.has_value()) {
    out.line({u"服务器程序：", *search.program});
  } else {
    out.line({u"服务器程序：找不到 dbsrv12.exe，查找过（不含当前文件夹）："});
    for (const Text& folder : search.folders) {
      out.line({u"  ", folder});
    }
  }
  out.line({u"服务器命令行：", ls_runstring});
  const std::vector<std::uint32_t> running = gf_get_exename->of_getall(server_executable);
  if (running.empty()) {
    out.line({u"运行中的 dbsrv12.exe：无"});
  }
  for (const std::uint32_t id : running) {
    const ProcessDetails details = platform.describe_process(id);
    out.line({u"运行中的 dbsrv12.exe：进程 ", number(id), u"，会话 ",
              details.session.has_value() ? number(*details.session) : Text(u"?"), u"，",
              details.path.value_or(u"（Windows 未告知路径）")});
  }

  // The autostart, in every view where Windows starts it.
  const AutostartState state = judge_autostart(platform, settings.dbname, program.command, program.path);
  const RunEntry* entry = state.this_programs();
  bool switch_off = false;  // of the entry that starts this program
  for (const RunEntry& place : state.entries) {
    out.line({u"自动启动项", view_name(platform, place.view), u"：", autostart_key, u"，值 ", settings.dbname});
    if (place.value.has_value()) {
      out.line({u"  值：", *place.value});
      out.line({u"  启动：", place.program, u"：", starts_text(place.starts)});
      const bool off = switched_off(platform, place.switch_key, settings.dbname);
      switch_off = switch_off || (&place == entry && off);
      out.line({u"  任务管理器开关：", off ? u"已禁用" : u"启用"});
    } else {
      out.line({u"  ", starts_text(place.starts)});
    }
    out.line({u"  本用户可写：", yes_no(platform.may_write_registry_key(autostart_key, place.view))});
  }
  const bool ignored = machine_run_key_ignored(platform);
  out.line({u"策略 DisableLocalMachineRun：", ignored ? u"已设置：Windows 忽略本机的 Run 项" : u"未设置"});

  // The verdict: what a plain run by this user would do now.
  const bool no_database = database_state == FileState::none;
  const bool server = !no_database && (!running.empty() || search.program.has_value());
  out.line({u"结论：现在运行一次会"});
  if (no_database) {
    out.line({u"  不启动服务器：没有数据库文件"});
  } else if (!running.empty()) {
    out.line({u"  服务器已在运行，不再启动"});
  } else if (search.program.has_value()) {
    out.line({u"  启动服务器：", *search.program});
  } else {
    out.line({u"  不启动服务器：找不到 dbsrv12.exe（退出码 2）"});
  }
  if (no_database && entry == nullptr && state.another_program_present()) {
    out.line({u"  自动启动项留给另一个安装的程序，不写入"});
  } else if (entry != nullptr) {
    out.line({u"  保留自动启动项", switch_off ? u"，并在任务管理器中重新启用（需要管理员身份）" : u""});
  } else if (platform.may_write_registry_key(autostart_key, state.entries.front().view)) {
    out.line({u"  写入自动启动项：", program.command});
  } else {
    out.line({u"  无法写入自动启动项：显示提示框，退出码 4（请以管理员身份运行一次）"});
  }
  if (ignored) {
    out.line({u"  策略使 Windows 忽略本机的 Run 项：显示提示框，退出码 4"});
  }
  const bool enabled = entry != nullptr && !switch_off && !ignored;
  const int exit_code = (no_database ? exit_no_database : 0) |
                        (running.empty() && !search.program.has_value() ? exit_server_not_started : 0) |
                        (enabled ? 0 : exit_autostart_missing);
  out.line({u"现在登录时：",
            !enabled ? u"Windows 不会启动本程序（没有启用的自动启动项启动它）"
            : server ? u"启动或找到服务器"
                     : u"本程序运行，但服务器不会启动",
            u"；退出码 ", number(static_cast<std::uint64_t>(exit_code))});
  return {out.text(), exit_code};
}

}  // namespace velmor
