#pragma once
// The platform on the real Windows API. Each concern lives in its own file: application.cpp
// (life cycle, instance lock and errors), windows.cpp (windows built from definitions),
// profile.cpp (INI files), settings_file.cpp (the file as a whole), registry.cpp,
// process_start.cpp, process_snapshot.cpp, text.cpp, report.cpp.
#include <windows.h>

#include <exception>
#include <map>
#include <memory>

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

namespace velmor::win32 {

struct Win32Window;

class Win32Platform : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;
  Win32Platform(Win32Platform&&) = delete;
  Win32Platform& operator=(Win32Platform&&) = delete;

  Text command_line() override;
  Text module_file_name() override;
  void run_until_no_window() override;
  void report_runtime_error(const RuntimeError& error) override;
  InstanceLock lock_instance(TextView name) override;
  void release_instance_lock() override;
  void sleep(std::uint32_t milliseconds) override;

  WindowId find_window(TextView title) override;
  WindowId open_window(const WindowDefinition& definition, WindowEvents& events) override;
  void close_window(WindowId id) override;
  Text control_text(WindowId id, std::string_view control) override;
  void set_control_text(WindowId id, std::string_view control, TextView text) override;
  void set_focus(WindowId id, std::string_view control) override;
  void message_box(TextView title, TextView text) override;
  bool write_output(TextView text) override;
  bool report_event(TextView source, EventType type, std::uint32_t id,
                    const std::vector<Text>& strings) noexcept override;
  std::optional<std::vector<LoggedEvent>> recent_events(TextView source, std::size_t count) override;
  bool register_event_source(TextView source, TextView message_file) override;
  bool unregister_event_source(TextView source, TextView message_file) override;
  void show_report(TextView title, TextView text) override;
  bool display_is_visible() override;

  Text read_ini(TextView file, TextView section, TextView key, TextView fallback) override;
  bool write_ini(TextView file, TextView section, TextView key, TextView value) override;
  std::optional<Text> read_registry_string(TextView key_path, TextView value_name, StringKinds kinds,
                                           RegistryView view) override;
  bool write_registry_string(TextView key_path, TextView value_name, TextView value, RegistryView view) override;
  std::optional<std::string> read_logon_binary(TextView key_path, TextView value_name) override;
  std::optional<std::uint32_t> read_logon_dword(TextView key_path, TextView value_name) override;
  std::vector<Text> registry_value_names(TextView key_path, RegistryView view) override;
  bool delete_registry_value(TextView key_path, TextView value_name, RegistryView view) override;
  bool may_write_registry_key(TextView key_path, RegistryView view) override;
  bool registry_is_32bit_view() override;
  bool windows_is_64bit() override;
  FileAccess settings_file_access(TextView file) override;
  std::optional<std::string> read_settings_file(TextView file) override;
  std::optional<Text> write_new_file(TextView folder, std::string_view bytes) override;
  std::uint32_t replace_file(TextView replaced, TextView replacement, TextView backup) override;
  bool move_file(TextView from, TextView to) override;
  bool delete_file(TextView path) override;
  FileState file_state(TextView path) override;
  bool may_write_file(TextView path) override;
  Text long_path(TextView path) override;

  std::optional<std::uint32_t> run(TextView program, TextView command_line, TextView working_folder) override;
  SearchPlaces program_search_places() override;
  ProcessDetails describe_process(std::uint32_t process_id) override;
  std::optional<std::uint32_t> tcp_port_listener(std::uint16_t port) override;
  RunContext run_context() override;
  Handle create_process_snapshot() override;
  bool first_process(Handle snapshot, s_process& record) override;
  bool next_process(Handle snapshot, s_process& record) override;
  Handle open_process_for_termination(std::uint32_t process_id) override;
  bool terminate_process(Handle process, std::uint32_t exit_code) override;
  bool close_handle(Handle handle) noexcept override;

  Text from_ansi(std::string_view ansi) override;
  Text to_lower(TextView text) override;
  bool equal_ignoring_case(TextView a, TextView b) override;
  std::optional<std::string> to_ansi(TextView text) override;
  bool ansi_is_utf8() override;

 private:
  static LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle_message(Win32Window& window, UINT message, WPARAM wparam, LPARAM lparam);
  Win32Window& window_of(WindowId id);
  HWND control_of(WindowId id, std::string_view control);
  // Pumps one message; false on WM_QUIT. A handler's run-time error caught at the window
  // procedure is thrown on from here, where only C++ frames lie above.
  bool pump_one(HWND modal);
  void rethrow_pending();
  // Destroys a window of ours at once and forgets it; nothing for nullptr or a window gone.
  void destroy_now(HWND hwnd);
  Text ini_path(TextView file);

  HINSTANCE instance_;
  ATOM window_class_ = 0;
  std::map<HWND, std::unique_ptr<Win32Window>> windows_;
  std::exception_ptr pending_error_;
  Text program_directory_;  // where a bare settings file name lies
  KernelHandle instance_lock_;
  bool display_visible_;
};

}  // namespace velmor::win32
