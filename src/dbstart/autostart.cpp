#include "dbstart/autostart.h"

#include "dbstart/quoting.h"
#include "platform/path.h"

namespace velmor {

std::vector<RunPlace> run_places(Platform& platform) {
  if (!platform.windows_is_64bit()) {
    return {{RunView::own, startup_approved_key}};
  }
  if (platform.registry_is_32bit_view()) {
    return {{RunView::own, startup_approved_key_32}, {RunView::view64, startup_approved_key}};
  }
  return {{RunView::own, startup_approved_key}, {RunView::view32, startup_approved_key_32}};
}

Text autostart_command(TextView ls_starpath, TextView program_file_name) {
  // Unquoted, a path with blanks lets Windows start C:\Program.exe and the like in its place.
  return command_argument(Text(ls_starpath) + u"\\" + Text(program_file_name));
}

ThisProgram this_program(Platform& platform, TextView ls_starpath) {
  Text path = platform.long_path(platform.module_file_name());
  Text command = autostart_command(ls_starpath, file_name_of(path));
  return {std::move(path), std::move(command)};
}

bool switched_off(Platform& platform, TextView switch_key, TextView name) {
  const std::optional<std::string> mark = platform.read_logon_binary(switch_key, name);
  return mark.has_value() && !mark->empty() && (static_cast<unsigned char>(mark->front()) & 1U) != 0;
}

bool write_entry(Platform& platform, RunView view, TextView name, TextView ls_dir) {
  const bool ll_ret = platform.write_registry_string(autostart_key, name, ls_dir, view);
  return ll_ret && platform.read_registry_string(autostart_key, name, Platform::StringKinds::plain, view) == ls_dir;
}

bool switch_on(Platform& platform, TextView switch_key, TextView name) {
  // Explorer keeps the switches of both views in the 64-bit one.
  return platform.delete_registry_value(switch_key, name, RunView::view64);
}

bool remove_entry(Platform& platform, RunView view, TextView switch_key, TextView name) {
  if (!platform.delete_registry_value(autostart_key, name, view)) {
    return false;
  }
  platform.delete_registry_value(switch_key, name, RunView::view64);
  return true;
}

void report_autostart_missing(Platform& platform, bool policy) {
  platform.message_box(autostart_failed_title, policy ? autostart_policy_text : autostart_failed_text);
}

}  // namespace velmor
