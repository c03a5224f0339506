#pragma once
// An in-memory platform: its own files, registry, process table and windows. It records what
// was called, in order, and can make any operation fail, either with an unsuccessful result or
// as a call that cannot be carried out (RuntimeError).
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace velmor::fake {

// Every operation of the platform, once: the enum and the names in the call log come from it.
// clang-format off
#define VELMOR_FAKE_OPERATIONS(X) \
  X(command_line) X(module_file_name) X(run_until_no_window) X(lock_instance) X(release_instance_lock) X(sleep) \
  X(find_window) X(open_window) X(close_window) X(control_text) X(set_control_text) X(set_focus) X(message_box) \
  X(show_report) X(write_output) X(report_event) X(recent_events) X(register_event_source) \
  X(unregister_event_source) \
  X(read_ini) X(write_ini) X(read_registry_string) X(write_registry_string) X(read_logon_binary) \
  X(read_logon_dword) X(registry_value_names) X(delete_registry_value) X(may_write_registry_key) X(settings_file_access) \
  X(read_settings_file) X(write_new_file) X(replace_file) X(move_file) X(delete_file) X(file_state) \
  X(may_write_file) X(long_path) \
  X(run) X(program_search_places) X(describe_process) X(tcp_port_listener) X(run_context) X(create_process_snapshot) X(first_process) X(next_process) X(open_process_for_termination) \
  X(terminate_process) X(close_handle) \
  X(from_ansi) X(to_ansi) X(to_lower) X(equal_ignoring_case)
// clang-format on

enum class Op {
#define VELMOR_OP_ENUM(name) name,
  VELMOR_FAKE_OPERATIONS(VELMOR_OP_ENUM)
#undef VELMOR_OP_ENUM
};

const char* op_name(Op op);

enum class Failure {
  unsuccessful,  // the call returns its "did not work" result
  call_fails,    // the call itself cannot be carried out: RuntimeError
};

struct FakeWindow {
  std::string name;  // the definition's name, e.g. "w_setup"
  Text title;
  bool visible = false;
  bool open = true;
  WindowEvents* events = nullptr;
  std::map<std::string, Text, std::less<>> texts;
  std::string focus;
};

struct FakeProcess {
  std::uint32_t id;
  std::string file_name;  // as the system reports it, ANSI
};

struct MessageBoxShown {
  Text title;
  Text text;
};

enum class RegistryType { plain_string, expandable_string, binary, dword, other };

struct RegistryValue {
  Text name;  // as written
  Text data;
  RegistryType type = RegistryType::plain_string;
  std::string bytes;  // of a binary or a DWORD value
};

class FakePlatform : public Platform {
 public:
  FakePlatform();

  // --- set-up and inspection used by tests ---
  Text command_line_text = u"\"C:\\app\\velmor.exe\"";
  Text program_file = u"C:\\app\\velmor.exe";
  std::vector<FakeProcess> processes;
  std::vector<Text> foreign_window_titles;  // top-level windows of other programs
  std::vector<FakeWindow> windows;          // index + 1 is the WindowId
  std::vector<MessageBoxShown> message_boxes;
  std::vector<RuntimeError> reported_errors;
  std::vector<Text> launched;           // command lines run
  std::vector<Text> launched_in;        // and the working folder of each
  std::vector<Text> launched_programs;  // and the program file started
  struct Event {
    Text source;
    LoggedEvent event;
  };
  std::vector<Event> event_log;          // the Application log, oldest first
  std::map<Text, Text> event_sources;    // registered sources and their message files
  std::vector<MessageBoxShown> reports;  // shown by show_report
  std::vector<Text> outputs;             // written by write_output
  bool output_attached = false;          // a console, file, pipe or device to write to
  std::vector<std::string> calls;        // "op" or "op detail", in order
  // Plays the user while a response window is open; without it the user closes the window
  // from its title bar.
  std::function<void(FakePlatform&, WindowId)> user;
  bool lock_held_elsewhere = false;
  bool display_visible = true;     // false: a service's window station, which nobody sees
  int settings_locked_probes = 0;  // how many access checks find the settings file held open
  std::uint32_t slept_ms = 0;
  // Settings files as bytes, by lower-case full path; the profile reads and writes see the
  // separate structured store below.
  std::map<Text, std::string> raw_files;
  // How replace_file fails, as the system's error code; the files are left as its
  // documentation says for that code.
  std::uint32_t replace_error = 0;
  bool ansi_utf8 = false;
  // What %NAME% in an expandable string stands for.
  std::map<Text, Text> environment = {{u"systemdrive", u"D:"}};
  bool registry_32bit_view = false;  // the 32-bit build on 64-bit Windows
  bool windows_64bit = false;        // also true with registry_32bit_view
  // Other files that exist, by lower-case full path: SQL Anywhere's server on PATH.
  std::set<Text> disk_files = {u"c:\\sqlany12\\bin32\\dbsrv12.exe"};
  std::map<Text, FileState> file_states;  // what a look at these paths finds, whatever else holds
  std::set<Text> folders;                 // by lower-case full path, besides the installed datebase
  SearchPlaces search_places = {u"C:\\Windows\\system32", u"C:\\Windows", u"C:\\SQLAny12\\Bin32"};
  bool databases_installed = true;                       // <program folder>\datebase\*.db exist, as installed
  std::map<Text, Text> long_paths;                       // 8.3 short forms, lower case, and their long paths
  bool registry_writes_dropped = false;                  // a filter that drops writes and reports success
  std::map<std::uint16_t, std::uint32_t> tcp_listeners;  // port and the process listening on it
  std::map<std::uint32_t, Text> process_paths;           // where describe_process tells another path

  // Fails the calls of `op` after `skip` successful ones; `times` < 0: from then on.
  void fail(Op op, Failure how, int skip = 0, int times = -1);

  void set_ini(TextView path, TextView section, TextView key, TextView value);
  std::optional<Text> ini_value(TextView path, TextView section, TextView key) const;
  void set_registry(TextView key_path, TextView value_name, TextView data,
                    RegistryType type = RegistryType::plain_string, RegistryView view = RegistryView::own);
  void set_registry_bytes(TextView key_path, TextView value_name, std::string bytes, RegistryType type,
                          RegistryView view = RegistryView::own);
  std::optional<Text> registry_value(TextView key_path, TextView value_name,
                                     RegistryView view = RegistryView::own) const;
  FakeWindow& window(WindowId id);
  // The window as the user sees it: types into a control, presses a button, closes it.
  void type(WindowId id, std::string_view control, TextView text);
  void click(WindowId id, std::string_view control);
  std::size_t open_handle_count() const { return open_handles_.size(); }
  std::size_t open_window_count() const;
  std::vector<std::string> calls_of(Op op) const;

  // --- Platform ---
  Text command_line() override;
  Text module_file_name() override;
  void run_until_no_window() override;
  void report_runtime_error(const RuntimeError& error) override;
  InstanceLock lock_instance(TextView name) override;
  void release_instance_lock() override;
  void sleep(std::uint32_t milliseconds) override;
  WindowId find_window(TextView title) override;
  WindowId open_window(const WindowDefinition& definition, WindowEvents& events) override;
  void close_window(WindowId window) override;
  Text control_text(WindowId window, std::string_view control) override;
  void set_control_text(WindowId window, std::string_view control, TextView text) override;
  void set_focus(WindowId window, std::string_view control) override;
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
  Text resolve(TextView file) const;

 private:
  struct Rule {
    Op op;
    Failure how;
    int skip;
    int times;
  };
  struct Snapshot {
    std::vector<FakeProcess> entries;
    std::size_t next = 0;
  };
  using Section = std::map<Text, Text>;     // keys folded to lower case
  using IniFile = std::map<Text, Section>;  // sections folded to lower case

  // Records the call; true when it is to return its unsuccessful result. Throws for call_fails.
  bool enter(Op op, const std::string& detail = {});
  // The key as stored: HKLM\Software in the view's half of a 64-bit registry.
  Text stored_key(TextView key_path, RegistryView view) const;
  const RegistryValue* registry_entry(TextView key_path, TextView value_name, RegistryView view) const;
  static bool fill(Snapshot& snapshot, s_process& record);
  Text expand(TextView data) const;

  std::vector<Rule> rules_;
  std::map<Text, IniFile> files_;  // by lower-case full path
  std::map<Text, std::map<Text, RegistryValue>> registry_;
  std::map<Handle, Snapshot> snapshots_;
  std::map<Handle, std::uint32_t> process_handles_;
  std::set<Handle> open_handles_;
  Handle next_handle_ = 0x100;
  int next_file_ = 1;
};

// Text conversions for readable test output and set-up.
std::string narrow(TextView text);
Text fold(TextView text);

}  // namespace velmor::fake
