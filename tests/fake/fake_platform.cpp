#include "fake/fake_platform.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/explorer_environment.h"
#include "platform/path.h"
#include "platform/runtime_error.h"

namespace velmor::fake {

const char* op_name(Op op) {
  static constexpr auto names = std::to_array<const char*>({
#define VELMOR_OP_NAME(name) #name,
      VELMOR_FAKE_OPERATIONS(VELMOR_OP_NAME)
#undef VELMOR_OP_NAME
  });
  return names.at(static_cast<std::size_t>(op));
}

std::string narrow(TextView text) {
  return utf8_of(text);
}

Text fold(TextView text) {
  Text out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; });
  return out;
}

namespace {

// The entry under `key`, or nullptr.
template <typename Map>
const typename Map::mapped_type* find_entry(const Map& map, const typename Map::key_type& key) {
  const auto at = map.find(key);
  return at == map.end() ? nullptr : &at->second;
}

}  // namespace

FakePlatform::FakePlatform() = default;

void FakePlatform::fail(Op op, Failure how, int skip, int times) {
  rules_.push_back({op, how, skip, times});
}

bool FakePlatform::enter(Op op, const std::string& detail) {
  calls.push_back(detail.empty() ? std::string(op_name(op)) : std::string(op_name(op)) + " " + detail);
  for (auto& rule : rules_) {
    if (rule.op != op || rule.times == 0) {
      continue;
    }
    if (rule.skip > 0) {
      --rule.skip;
      continue;
    }
    if (rule.times > 0) {
      --rule.times;
    }
    if (rule.how == Failure::call_fails) {
      throw RuntimeError(op_name(op), 87);
    }
    return true;
  }
  return false;
}

std::vector<std::string> FakePlatform::calls_of(Op op) const {
  std::vector<std::string> out;
  const std::string name = op_name(op);
  for (const auto& call : calls) {
    if (call == name || call.rfind(name + " ", 0) == 0) {
      out.push_back(call);
    }
  }
  return out;
}

// --- Set-up and inspection ---

Text FakePlatform::resolve(TextView file) const {
  return fold(resolve_in(directory_of(program_file), file));
}

void FakePlatform::set_ini(TextView path, TextView section, TextView key, TextView value) {
  files_[resolve(path)][fold(section)][fold(key)] = Text(value);
}

std::optional<Text> FakePlatform::ini_value(TextView path, TextView section, TextView key) const {
  const IniFile* file = find_entry(files_, resolve(path));
  const Section* values = file == nullptr ? nullptr : find_entry(*file, fold(section));
  const Text* value = values == nullptr ? nullptr : find_entry(*values, fold(key));
  return value == nullptr ? std::nullopt : std::optional<Text>(*value);
}

Text FakePlatform::stored_key(TextView key_path, RegistryView view) const {
  Text key = fold(key_path);
  if (!(registry_32bit_view || windows_64bit) || !key.starts_with(u"hkey_local_machine\\software\\")) {
    return key;
  }
  const bool in_32bit_view = view == RegistryView::view32 || (view == RegistryView::own && registry_32bit_view);
  return (in_32bit_view ? u"32:" : u"64:") + key;
}

void FakePlatform::set_registry(TextView key_path, TextView value_name, TextView data, RegistryType type,
                                RegistryView view) {
  registry_[stored_key(key_path, view)][fold(value_name)] = RegistryValue{Text(value_name), Text(data), type, {}};
}

void FakePlatform::set_registry_bytes(TextView key_path, TextView value_name, std::string bytes, RegistryType type,
                                      RegistryView view) {
  registry_[stored_key(key_path, view)][fold(value_name)] = RegistryValue{Text(value_name), {}, type, std::move(bytes)};
}

const RegistryValue* FakePlatform::registry_entry(TextView key_path, TextView value_name, RegistryView view) const {
  const auto* key = find_entry(registry_, stored_key(key_path, view));
  return key == nullptr ? nullptr : find_entry(*key, fold(value_name));
}

std::optional<Text> FakePlatform::registry_value(TextView key_path, TextView value_name, RegistryView view) const {
  const RegistryValue* value = registry_entry(key_path, value_name, view);
  return value == nullptr ? std::nullopt : std::optional<Text>(value->data);
}

FakeWindow& FakePlatform::window(WindowId id) {
  return windows.at(id - 1);
}

std::size_t FakePlatform::open_window_count() const {
  return static_cast<std::size_t>(std::count_if(windows.begin(), windows.end(), [](const auto& w) { return w.open; }));
}

void FakePlatform::type(WindowId id, std::string_view control, TextView text) {
  window(id).texts[std::string(control)] = Text(text);
}

void FakePlatform::click(WindowId id, std::string_view control) {
  FakeWindow& w = window(id);
  if (w.open) {
    w.events->clicked(id, control);
  }
}

// --- Application life cycle ---

Text FakePlatform::command_line() {
  if (enter(Op::command_line)) {
    return {};
  }
  return command_line_text;
}

Text FakePlatform::module_file_name() {
  if (enter(Op::module_file_name)) {
    return {};
  }
  return program_file;
}

void FakePlatform::run_until_no_window() {
  // Nothing to pump: every event of the fake runs within the call that raised it.
  enter(Op::run_until_no_window);
}

void FakePlatform::report_runtime_error(const RuntimeError& error) {
  reported_errors.push_back(error);
}

InstanceLock FakePlatform::lock_instance(TextView name) {
  if (enter(Op::lock_instance, narrow(name))) {
    return InstanceLock::unavailable;
  }
  if (lock_held_elsewhere) {
    return InstanceLock::held_elsewhere;
  }
  return InstanceLock::acquired;
}

void FakePlatform::release_instance_lock() {
  enter(Op::release_instance_lock);
}

void FakePlatform::sleep(std::uint32_t milliseconds) {
  enter(Op::sleep, std::to_string(milliseconds));
  slept_ms += milliseconds;
}

// --- Windows ---

WindowId FakePlatform::find_window(TextView title) {
  if (enter(Op::find_window, narrow(title))) {
    return 0;
  }
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (windows[i].open && windows[i].title == title) {
      return i + 1;
    }
  }
  const auto foreign = std::find(foreign_window_titles.begin(), foreign_window_titles.end(), title);
  return foreign == foreign_window_titles.end()
             ? 0
             : 0x10000 + static_cast<WindowId>(foreign - foreign_window_titles.begin());
}

WindowId FakePlatform::open_window(const WindowDefinition& definition, WindowEvents& events) {
  if (enter(Op::open_window, std::string(definition.name))) {
    return 0;
  }
  FakeWindow w;
  w.name = definition.name;
  w.title = definition.title;
  w.visible = definition.visible;
  w.events = &events;
  for (const auto& control : definition.controls) {
    w.texts[std::string(control.name)] = Text(control.text);
  }
  windows.push_back(std::move(w));
  const WindowId id = windows.size();
  events.open(id);
  if (definition.type == WindowType::response && window(id).open) {
    if (user) {
      user(*this, id);
    }
    window(id).open = false;  // the user closes it from the title bar if nothing else did
  }
  return id;
}

void FakePlatform::close_window(WindowId window) {
  if (enter(Op::close_window, this->window(window).name)) {
    return;
  }
  this->window(window).open = false;
}

Text FakePlatform::control_text(WindowId window, std::string_view control) {
  if (enter(Op::control_text, std::string(control))) {
    return {};
  }
  return this->window(window).texts.at(std::string(control));
}

void FakePlatform::set_control_text(WindowId window, std::string_view control, TextView text) {
  if (enter(Op::set_control_text, std::string(control))) {
    return;
  }
  this->window(window).texts.at(std::string(control)) = Text(text);
}

void FakePlatform::set_focus(WindowId window, std::string_view control) {
  if (enter(Op::set_focus, std::string(control))) {
    return;
  }
  this->window(window).focus = control;
}

void FakePlatform::message_box(TextView title, TextView text) {
  if (enter(Op::message_box, narrow(title))) {
    return;
  }
  message_boxes.push_back({Text(title), Text(text)});
}

bool FakePlatform::report_event(TextView source, EventType type, std::uint32_t id,
                                const std::vector<Text>& strings) noexcept {
  try {
    if (enter(Op::report_event, std::to_string(id))) {
      return false;
    }
    event_log.push_back({Text(source), {u"2026-12-11 08:02:17", id, type, strings}});
    return true;
  } catch (...) {
    return false;  // as Windows' log: a failed write is only a false
  }
}

std::optional<std::vector<LoggedEvent>> FakePlatform::recent_events(TextView source, std::size_t count) {
  if (enter(Op::recent_events)) {
    return std::nullopt;
  }
  std::vector<LoggedEvent> newest;
  for (auto event = event_log.rbegin(); event != event_log.rend() && newest.size() < count; ++event) {
    if (event->source == source) {
      newest.push_back(event->event);
    }
  }
  return newest;
}

bool FakePlatform::register_event_source(TextView source, TextView message_file) {
  if (enter(Op::register_event_source)) {
    return false;
  }
  event_sources[Text(source)] = Text(message_file);
  return true;
}

bool FakePlatform::unregister_event_source(TextView source, TextView message_file) {
  if (enter(Op::unregister_event_source)) {
    return false;
  }
  const auto registered = event_sources.find(Text(source));
  if (registered != event_sources.end() && fold(registered->second) == fold(message_file)) {
    event_sources.erase(registered);
  }
  return true;
}

bool FakePlatform::write_output(TextView text) {
  if (enter(Op::write_output) || !output_attached) {
    return false;
  }
  outputs.emplace_back(text);
  return true;
}

void FakePlatform::show_report(TextView title, TextView text) {
  if (!enter(Op::show_report, narrow(title))) {
    reports.push_back({Text(title), Text(text)});
  }
}

bool FakePlatform::display_is_visible() {
  return display_visible;
}

// --- Settings ---

Text FakePlatform::read_ini(TextView file, TextView section, TextView key, TextView fallback) {
  if (enter(Op::read_ini, narrow(key))) {
    return Text(fallback);
  }
  return ini_value(file, section, key).value_or(Text(fallback));
}

bool FakePlatform::write_ini(TextView file, TextView section, TextView key, TextView value) {
  if (enter(Op::write_ini, narrow(key))) {
    return false;
  }
  set_ini(file, section, key, value);
  return true;
}

std::optional<Text> FakePlatform::read_registry_string(TextView key_path, TextView value_name, StringKinds kinds,
                                                       RegistryView view) {
  if (enter(Op::read_registry_string, narrow(value_name))) {
    return std::nullopt;
  }
  const RegistryValue* value = registry_entry(key_path, value_name, view);
  if (value != nullptr && value->type == RegistryType::plain_string) {
    return value->data;
  }
  if (value != nullptr && value->type == RegistryType::expandable_string && kinds == StringKinds::plain_or_expandable) {
    // Explorer's folders as the 64-bit view records them; without them, %ProgramW6432%.
    const auto folder = [&](TextView name) {
      const RegistryValue* recorded = registry_entry(windows_folders_key, name, RegistryView::view64);
      return recorded == nullptr ? Text() : recorded->data;
    };
    return expand(windows_is_64bit()
                      ? with_explorer_names(value->data, {folder(u"ProgramFilesDir"), folder(u"CommonFilesDir")})
                      : value->data);
  }
  return std::nullopt;
}

Text FakePlatform::expand(TextView data) const {
  Text out(data);
  for (const auto& [name, value] : environment) {
    const Text token = u"%" + name + u"%";
    for (auto at = fold(out).find(token); at != Text::npos; at = fold(out).find(token)) {
      out.replace(at, token.size(), value);
    }
  }
  return out;
}

bool FakePlatform::write_registry_string(TextView key_path, TextView value_name, TextView value, RegistryView view) {
  if (enter(Op::write_registry_string, narrow(value_name))) {
    return false;
  }
  if (!registry_writes_dropped) {
    set_registry(key_path, value_name, value, RegistryType::plain_string, view);
  }
  return true;
}

std::optional<std::string> FakePlatform::read_logon_binary(TextView key_path, TextView value_name) {
  const RegistryValue* value = registry_entry(key_path, value_name, RegistryView::view64);
  if (enter(Op::read_logon_binary, narrow(value_name)) || value == nullptr || value->type != RegistryType::binary) {
    return std::nullopt;
  }
  return value->bytes;
}

std::optional<std::uint32_t> FakePlatform::read_logon_dword(TextView key_path, TextView value_name) {
  const RegistryValue* value = registry_entry(key_path, value_name, RegistryView::view64);
  if (enter(Op::read_logon_dword, narrow(value_name)) || value == nullptr || value->type != RegistryType::dword ||
      value->bytes.size() != 4) {
    return std::nullopt;
  }
  std::uint32_t number = 0;
  std::memcpy(&number, value->bytes.data(), sizeof number);
  return number;
}

std::vector<Text> FakePlatform::registry_value_names(TextView key_path, RegistryView view) {
  std::vector<Text> names;
  const auto key = registry_.find(stored_key(key_path, view));
  if (enter(Op::registry_value_names) || key == registry_.end()) {
    return names;
  }
  for (const auto& [folded, value] : key->second) {
    names.push_back(value.name);
  }
  return names;
}

bool FakePlatform::delete_registry_value(TextView key_path, TextView value_name, RegistryView view) {
  if (enter(Op::delete_registry_value, narrow(value_name))) {
    return false;
  }
  const auto key = registry_.find(stored_key(key_path, view));
  if (key != registry_.end()) {
    key->second.erase(fold(value_name));
  }
  return true;
}

bool FakePlatform::may_write_registry_key(TextView key_path, RegistryView /*view*/) {
  return !enter(Op::may_write_registry_key, narrow(key_path));
}

bool FakePlatform::registry_is_32bit_view() {
  return registry_32bit_view;
}

bool FakePlatform::windows_is_64bit() {
  return windows_64bit || registry_32bit_view;
}

FileAccess FakePlatform::settings_file_access(TextView file) {
  if (enter(Op::settings_file_access)) {
    return {FileAccess::refused, 5};
  }
  const Text path = resolve(file);
  if (!raw_files.contains(path) && !files_.contains(path)) {
    return {FileAccess::missing, 0};
  }
  if (settings_locked_probes > 0) {
    --settings_locked_probes;
    return {FileAccess::refused, 32};
  }
  return {FileAccess::readable, 0};
}

std::optional<std::string> FakePlatform::read_settings_file(TextView file) {
  if (enter(Op::read_settings_file)) {
    return std::nullopt;
  }
  const std::string* bytes = find_entry(raw_files, resolve(file));
  return bytes == nullptr || settings_locked_probes > 0 ? std::nullopt : std::optional<std::string>(*bytes);
}

std::optional<Text> FakePlatform::write_new_file(TextView folder, std::string_view bytes) {
  if (enter(Op::write_new_file)) {
    return std::nullopt;
  }
  const std::string number = std::to_string(next_file_++);
  const Text name = resolve_in(folder, u"ini" + Text(number.begin(), number.end()) + u".tmp");
  raw_files[resolve(name)] = std::string(bytes);
  return name;
}

std::uint32_t FakePlatform::replace_file(TextView replaced, TextView replacement, TextView backup) {
  if (enter(Op::replace_file)) {
    return 5;
  }
  const Text target = resolve(replaced);
  const Text source = resolve(replacement);
  const Text kept = resolve(backup);
  switch (replace_error) {
    case 0:
      raw_files[kept] = raw_files[target];
      raw_files[target] = raw_files[source];
      raw_files.erase(source);
      return 0;
    case 1176:  // without a backup name the replaced file is gone
      if (backup.empty()) {
        raw_files.erase(target);
      }
      return replace_error;
    case 1177:  // the replaced file bears the backup name
      raw_files[kept] = raw_files[target];
      raw_files.erase(target);
      return replace_error;
    default: return replace_error;  // 1175 and the rest: both files keep their names
  }
}

bool FakePlatform::move_file(TextView from, TextView to) {
  if (enter(Op::move_file) || !raw_files.contains(resolve(from)) || raw_files.contains(resolve(to))) {
    return false;
  }
  raw_files[resolve(to)] = raw_files[resolve(from)];
  raw_files.erase(resolve(from));
  return true;
}

bool FakePlatform::delete_file(TextView path) {
  if (enter(Op::delete_file)) {
    return false;
  }
  return raw_files.erase(resolve(path)) == 1;
}

FileState FakePlatform::file_state(TextView path) {
  if (enter(Op::file_state, narrow(path))) {
    return FileState::unknown;
  }
  const Text folded = fold(path);
  if (const FileState* forced = find_entry(file_states, folded)) {
    return *forced;
  }
  const Text databases = fold(directory_of(program_file)) + u"\\datebase\\";
  const bool installed_database = databases_installed && folded.starts_with(databases) && folded.ends_with(u".db") &&
                                  folded.find(u'\\', databases.size()) == Text::npos;
  const bool exists =
      folded == fold(program_file) || installed_database || disk_files.contains(folded) || raw_files.contains(folded);
  const bool folder = folders.contains(folded) || (databases_installed && folded + u"\\" == databases);
  return exists ? FileState::disk_file : folder ? FileState::folder : FileState::none;
}

bool FakePlatform::may_write_file(TextView path) {
  return !enter(Op::may_write_file, narrow(path));
}

Text FakePlatform::long_path(TextView path) {
  const Text* found = find_entry(long_paths, fold(path));
  if (enter(Op::long_path, narrow(path)) || found == nullptr) {
    return Text(path);
  }
  return *found;
}

// --- Processes ---

std::optional<std::uint32_t> FakePlatform::run(TextView program, TextView command_line, TextView working_folder) {
  if (enter(Op::run)) {
    return std::nullopt;
  }
  launched.emplace_back(command_line);
  launched_in.emplace_back(working_folder);
  launched_programs.emplace_back(program);
  return static_cast<std::uint32_t>(4000 + launched.size());
}

SearchPlaces FakePlatform::program_search_places() {
  enter(Op::program_search_places);
  return search_places;
}

ProcessDetails FakePlatform::describe_process(std::uint32_t process_id) {
  if (enter(Op::describe_process, std::to_string(process_id))) {
    return {};
  }
  const Text* path = find_entry(process_paths, process_id);
  return {1, path == nullptr ? Text(u"C:\\SQLAny12\\Bin32\\dbsrv12.exe") : *path};
}

std::optional<std::uint32_t> FakePlatform::tcp_port_listener(std::uint16_t port) {
  const std::uint32_t* process = find_entry(tcp_listeners, port);
  if (enter(Op::tcp_port_listener) || process == nullptr) {
    return std::nullopt;
  }
  return *process;
}

RunContext FakePlatform::run_context() {
  enter(Op::run_context);
  return {u"zhang", 1, std::nullopt, u"PC-017", u"5.1.2600", u"2026-12-11 08:02:17"};
}

Handle FakePlatform::create_process_snapshot() {
  if (enter(Op::create_process_snapshot)) {
    return 0;
  }
  const Handle handle = next_handle_++;
  snapshots_[handle] = Snapshot{processes, 0};
  open_handles_.insert(handle);
  return handle;
}

bool FakePlatform::fill(Snapshot& snapshot, s_process& record) {
  if (record.structsize != s_process_size || snapshot.next >= snapshot.entries.size()) {
    return false;
  }
  const FakeProcess& entry = snapshot.entries[snapshot.next++];
  record.processid = entry.id;
  std::memset(record.filename, 0, sizeof record.filename);
  std::memcpy(record.filename, entry.file_name.data(), std::min(entry.file_name.size(), sizeof record.filename));
  return true;
}

bool FakePlatform::first_process(Handle snapshot, s_process& record) {
  if (enter(Op::first_process)) {
    return false;
  }
  auto& s = snapshots_.at(snapshot);
  s.next = 0;
  return fill(s, record);
}

bool FakePlatform::next_process(Handle snapshot, s_process& record) {
  if (enter(Op::next_process)) {
    return false;
  }
  return fill(snapshots_.at(snapshot), record);
}

Handle FakePlatform::open_process_for_termination(std::uint32_t process_id) {
  if (enter(Op::open_process_for_termination, std::to_string(process_id))) {
    return 0;
  }
  const bool exists =
      std::any_of(processes.begin(), processes.end(), [&](const auto& p) { return p.id == process_id; });
  if (process_id == 0 || !exists) {
    return 0;  // the idle process and unknown ids cannot be opened
  }
  const Handle handle = next_handle_++;
  process_handles_[handle] = process_id;
  open_handles_.insert(handle);
  return handle;
}

bool FakePlatform::terminate_process(Handle process, std::uint32_t exit_code) {
  if (enter(Op::terminate_process, std::to_string(exit_code))) {
    return false;
  }
  const std::uint32_t id = process_handles_.at(process);
  std::erase_if(processes, [&](const auto& p) { return p.id == id; });
  return true;
}

bool FakePlatform::close_handle(Handle handle) noexcept {
  bool refused = false;
  try {
    refused = enter(Op::close_handle);
  } catch (const RuntimeError&) {
    refused = true;  // a release cannot stop a handler: it runs from destructors
  }
  open_handles_.erase(handle);
  snapshots_.erase(handle);
  process_handles_.erase(handle);
  return !refused;
}

// --- Text ---

Text FakePlatform::from_ansi(std::string_view ansi) {
  if (enter(Op::from_ansi)) {
    return {};
  }
  Text out;
  for (const char c : ansi) {
    out += static_cast<char16_t>(static_cast<unsigned char>(c));  // the fake's code page is Latin-1
  }
  return out;
}

std::optional<std::string> FakePlatform::to_ansi(TextView text) {
  if (enter(Op::to_ansi)) {
    return std::nullopt;
  }
  std::string out;
  for (const char16_t c : text) {
    if (c > 0xFF) {
      return std::nullopt;  // outside the fake's Latin-1 code page
    }
    out += static_cast<char>(c);
  }
  return out;
}

bool FakePlatform::ansi_is_utf8() {
  return ansi_utf8;
}

bool FakePlatform::equal_ignoring_case(TextView a, TextView b) {
  if (enter(Op::equal_ignoring_case)) {
    return false;
  }
  // Windows' case table for the letters the tests use: Latin, Latin-1 and Cyrillic.
  const auto upper = [](char16_t c) {
    const bool small = (c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x430 && c <= 0x44F);
    return c == 0xFF ? char16_t{0x178} : small ? static_cast<char16_t>(c - 0x20) : c;
  };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char16_t x, char16_t y) { return upper(x) == upper(y); });
}

Text FakePlatform::to_lower(TextView text) {
  if (enter(Op::to_lower)) {
    return Text(text);
  }
  return fold(text);
}

}  // namespace velmor::fake
