#pragma once
// Every runtime operation the program uses, as one interface. The program reaches the operating
// system only through it: win32/ implements it on the Windows API, the tests on an in-memory fake.
//
// Two kinds of failure are kept apart. An unsuccessful result comes back as the return value
// (false, 0, empty). A call that cannot be carried out at all throws RuntimeError, which stops
// the running handler at that step and ends the program with one report (see runtime.h).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime_error.h"
#include "platform/text.h"
#include "platform/window_definition.h"
#include "process/s_process.h"

namespace velmor {

using Handle = std::uintptr_t;    // an owned system handle; 0 means none
using WindowId = std::uintptr_t;  // a window of this program, or one found by title; 0: none

// What a window does on its events; the window code calls these, the subsystem owning the
// behaviour implements them.
class WindowEvents {
 public:
  WindowEvents() = default;
  WindowEvents(const WindowEvents&) = delete;
  WindowEvents& operator=(const WindowEvents&) = delete;
  WindowEvents(WindowEvents&&) = delete;
  WindowEvents& operator=(WindowEvents&&) = delete;
  virtual ~WindowEvents() = default;
  virtual void open(WindowId self) = 0;
  virtual void clicked(WindowId self, std::string_view control) = 0;
};

// Whether a lock that only one copy of the program can hold was taken.
enum class InstanceLock {
  acquired,        // this process holds it until it ends
  held_elsewhere,  // another copy holds it
  unavailable,     // it could not be made at all
};

// What a look at a path found.
enum class FileState {
  disk_file,  // an existing file on a disk: not a folder, not a device such as NUL
  none,       // no such file, or a device of that name, or no name a file can have
  folder,     // a folder of that name
  unknown,    // the look itself failed: access denied on the way, a drive not ready, too long
};

// Where a program named without a folder is looked for, besides the program's own folder.
struct SearchPlaces {
  Text system_folder;
  Text windows_folder;
  Text path_variable;  // PATH, as the process has it
};

// What Windows tells of a running process; nothing where it will not say.
struct ProcessDetails {
  std::optional<std::uint32_t> session;
  std::optional<Text> path;
};

// Who runs the program, where and when, as Windows tells it.
struct RunContext {
  Text user;
  std::optional<std::uint32_t> session;
  std::optional<bool> elevated;  // nothing where Windows has no elevation (XP)
  Text computer;
  Text windows;     // version and build: "10.0.19045"
  Text local_time;  // "2026-12-11 08:02:17"
};

// The Application log's kinds of event.
enum class EventType { information, warning, error };

// An event of the Application log, as read back.
struct LoggedEvent {
  Text time;  // local time, "2026-12-11 08:02:17"
  std::uint32_t id = 0;
  EventType type = EventType::information;
  std::vector<Text> strings;  // its insertion strings
};

// Whether a settings file can be opened for reading now.
struct FileAccess {
  enum Kind {
    missing,   // no such file (or a folder of that name): the reads give their defaults
    readable,  // there, and open to readers
    refused,   // there, but held by another program without sharing, or not ours to read
  } kind;
  std::uint32_t system_code;  // why it was refused
};

class Platform {
 public:
  Platform() = default;
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;
  Platform(Platform&&) = delete;
  Platform& operator=(Platform&&) = delete;
  virtual ~Platform() = default;

  // --- Application life cycle ---
  // The process's whole command line, as the system hands it over.
  virtual Text command_line() = 0;
  // The full path of the program file itself.
  virtual Text module_file_name() = 0;
  // Keeps the program alive while any of its windows is open; returns when none is left.
  virtual void run_until_no_window() = 0;
  // Shows the one report of a run-time error before the program ends.
  virtual void report_runtime_error(const RuntimeError& error) = 0;
  // Takes the lock of this name in the user's logon session, atomically.
  virtual InstanceLock lock_instance(TextView name) = 0;
  // Lets another copy take it before this one ends.
  virtual void release_instance_lock() = 0;
  // Waits; nothing else of the program runs meanwhile.
  virtual void sleep(std::uint32_t milliseconds) = 0;

  // --- Windows ---
  // Any top-level window with exactly this title, hidden ones too; 0 when there is none.
  virtual WindowId find_window(TextView title) = 0;
  // Creates the window and runs events.open within the call; for a response window the call
  // returns only after the window has closed. `events` must outlive the window.
  virtual WindowId open_window(const WindowDefinition& definition, WindowEvents& events) = 0;
  // Closes the window; with no window left the program ends.
  virtual void close_window(WindowId window) = 0;
  virtual Text control_text(WindowId window, std::string_view control) = 0;
  virtual void set_control_text(WindowId window, std::string_view control, TextView text) = 0;
  virtual void set_focus(WindowId window, std::string_view control) = 0;
  // A modal box with one OK button; returns when dismissed.
  virtual void message_box(TextView title, TextView text) = 0;
  // Writes a text for the person or tool that started the program: into the console it was
  // started from, or the file, pipe or device its output goes to, each in the form its readers
  // decode. False where the output goes nowhere.
  virtual bool write_output(TextView text) = 0;
  // A text for the person who asked for it: write_output, or where the output goes nowhere, a
  // box (when seen). Never a box when the output is redirected anywhere.
  virtual void show_report(TextView title, TextView text) = 0;
  // Whether this window station has visible display surfaces, so that a person can answer a box
  // or a dialog: not so on a service's (a deployment tool's run as SYSTEM). True where it cannot
  // be told. Asked at start; the answer holds for the whole run.
  virtual bool display_is_visible() = 0;

  // --- Application log ---
  // Writes one event under `source`, its strings inserted into the message of `id`; false where
  // it was refused. Never throws: a log that cannot be written changes nothing else.
  virtual bool report_event(TextView source, EventType type, std::uint32_t id,
                            const std::vector<Text>& strings) noexcept = 0;
  // The newest events of `source`, newest first, at most `count`; nothing where the log cannot
  // be read.
  virtual std::optional<std::vector<LoggedEvent>> recent_events(TextView source, std::size_t count) = 0;
  // Registers `source` under the Application log with `message_file` (a program carrying the
  // message table) as its messages; false where refused.
  virtual bool register_event_source(TextView source, TextView message_file) = 0;
  // Removes the registration where it names `message_file`; true also where there is none.
  virtual bool unregister_event_source(TextView source, TextView message_file) = 0;

  // --- Settings ---
  // The value, whole; `fallback` when file, section or key is missing. A bare file name
  // denotes the file in the program's own directory.
  virtual Text read_ini(TextView file, TextView section, TextView key, TextView fallback) = 0;
  // Creates file, section and key as needed; false when the file could not be written.
  virtual bool write_ini(TextView file, TextView section, TextView key, TextView value) = 0;
  // The view of HKLM\Software a registry call reads or writes. 64-bit Windows keeps two, and
  // starts the Run entries of both at logon: the 64-bit one, and the 32-bit one (WOW6432Node)
  // where a 32-bit program's own calls land. On 32-bit Windows all three are the one registry.
  enum class RegistryView { own, view64, view32 };
  // A string value under a key path that begins with the root key's name; nothing when the
  // value is missing, unreadable or not a string of the kinds asked for. An expandable string
  // is given expanded as Explorer expands it at logon (see explorer_environment.h).
  enum class StringKinds { plain, plain_or_expandable };
  virtual std::optional<Text> read_registry_string(TextView key_path, TextView value_name, StringKinds kinds,
                                                   RegistryView view) = 0;
  // Creates or overwrites a string value; false when refused.
  virtual bool write_registry_string(TextView key_path, TextView value_name, TextView value, RegistryView view) = 0;
  // Values as Explorer reads them at logon: in the 64-bit view on 64-bit Windows, whatever view
  // this program's own reads and writes above land in. Nothing when missing or of another type.
  virtual std::optional<std::string> read_logon_binary(TextView key_path, TextView value_name) = 0;
  virtual std::optional<std::uint32_t> read_logon_dword(TextView key_path, TextView value_name) = 0;
  // The names of the values under the key, in the registry's order; none when it cannot be read.
  virtual std::vector<Text> registry_value_names(TextView key_path, RegistryView view) = 0;
  // True also when there was no such value.
  virtual bool delete_registry_value(TextView key_path, TextView value_name, RegistryView view) = 0;
  // Whether this user may set values under the key, asked without setting any.
  virtual bool may_write_registry_key(TextView key_path, RegistryView view) = 0;
  // Whether this program's own registry values land in the 32-bit view of a 64-bit Windows.
  virtual bool registry_is_32bit_view() = 0;
  // Whether Windows is 64-bit, with the registry's two views.
  virtual bool windows_is_64bit() = 0;
  // A settings file as a whole, named as for read_ini.
  virtual FileAccess settings_file_access(TextView file) = 0;
  // Its bytes; nothing when it is missing or cannot be read.
  virtual std::optional<std::string> read_settings_file(TextView file) = 0;

  // --- Files, by full path ---
  // A new file with a name of its own in `folder`, holding these bytes on disk: its full path,
  // or nothing when it could not be made (then no part of it is left).
  virtual std::optional<Text> write_new_file(TextView folder, std::string_view bytes) = 0;
  // `replacement` takes the place and name of `replaced`, whose old file is renamed to `backup`
  // on the way (ReplaceFileW). 0 when done, else the system's error code: its documented
  // meanings tell where each file was left (replace_file.h).
  virtual std::uint32_t replace_file(TextView replaced, TextView replacement, TextView backup) = 0;
  // Renames a file; false when that could not be done, or when `to` exists.
  virtual bool move_file(TextView from, TextView to) = 0;
  virtual bool delete_file(TextView path) = 0;
  // What is at this full path.
  virtual FileState file_state(TextView path) = 0;
  bool file_exists(TextView path) { return file_state(path) == FileState::disk_file; }
  // Whether this user may write the file, or make it where it does not exist, asked without
  // writing.
  virtual bool may_write_file(TextView path) = 0;
  // The long form of a path that may hold 8.3 short names (C:\PROGRA~1); the path as given where
  // it cannot be looked up.
  virtual Text long_path(TextView path) = 0;

  // --- Processes ---
  // Starts the program file `program` with this command line, in `working_folder`, and returns
  // without waiting: the new process's id; nothing if it failed.
  virtual std::optional<std::uint32_t> run(TextView program, TextView command_line, TextView working_folder) = 0;
  virtual SearchPlaces program_search_places() = 0;
  virtual ProcessDetails describe_process(std::uint32_t process_id) = 0;
  // The process listening on this TCP port now (IPv4, any address); nothing where none listens
  // or Windows will not say.
  virtual std::optional<std::uint32_t> tcp_port_listener(std::uint16_t port) = 0;
  virtual RunContext run_context() = 0;
  // A snapshot of all processes; 0 when it cannot be taken.
  virtual Handle create_process_snapshot() = 0;
  // Fill the record with the snapshot's first / next entry; false when there is none.
  virtual bool first_process(Handle snapshot, s_process& record) = 0;
  virtual bool next_process(Handle snapshot, s_process& record) = 0;
  // A handle allowed to terminate the process; 0 when it cannot be opened.
  virtual Handle open_process_for_termination(std::uint32_t process_id) = 0;
  virtual bool terminate_process(Handle process, std::uint32_t exit_code) = 0;
  // Releases a handle; never throws, since it runs from destructors. False if refused.
  virtual bool close_handle(Handle handle) noexcept = 0;

  // --- Text ---
  // Text in the system's ANSI code page, up to its end.
  virtual Text from_ansi(std::string_view ansi) = 0;
  // The text in the system's ANSI code page; nothing when a character has no exact form there.
  virtual std::optional<std::string> to_ansi(TextView text) = 0;
  virtual Text to_lower(TextView text) = 0;
  // Equal when letter case is ignored, as the file system compares names.
  virtual bool equal_ignoring_case(TextView a, TextView b) = 0;
  // Whether the ANSI code page is UTF-8, which holds every character.
  virtual bool ansi_is_utf8() = 0;
};

}  // namespace velmor
