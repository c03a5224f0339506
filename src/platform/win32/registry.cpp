// Values in the registry, addressed by a key path that begins with the root key's name.
#include <array>
#include <cstring>
#include <utility>

#include "platform/explorer_environment.h"
#include "platform/win32/grow_buffer.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/windows_function.h"

namespace velmor::win32 {
namespace {

struct KeyPath {
  HKEY root = nullptr;
  std::wstring subkey;
};

// Splits "HKEY_LOCAL_MACHINE\Software\..." into its root and the rest; no root for an
// unknown root name.
KeyPath split(TextView key_path) {
  static const std::array<std::pair<std::wstring_view, HKEY>, 5> roots = {{
      {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
      {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
      {L"HKEY_USERS", HKEY_USERS},
      {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
  }};
  const std::wstring path = wide(key_path);
  const auto separator = path.find(L'\\');
  const std::wstring root_name = path.substr(0, separator);
  for (const auto& [name, root] : roots) {
    if (equal_ascii_ignoring_case(text_of(root_name), text_of(name))) {
      return {root, separator == std::wstring::npos ? std::wstring() : path.substr(separator + 1)};
    }
  }
  return {};
}

// Ignored by 32-bit Windows, which has one view.
REGSAM view_flag(Platform::RegistryView view) {
  switch (view) {
    case Platform::RegistryView::view64: return KEY_WOW64_64KEY;
    case Platform::RegistryView::view32: return KEY_WOW64_32KEY;
    case Platform::RegistryView::own: break;
  }
  return 0;
}

struct Value {
  DWORD type = REG_NONE;
  std::string bytes;
};

// A value's type and data, read whole; nothing when the key or the value cannot be read.
// `view` is 0 for this program's own view of the registry, or a KEY_WOW64_ flag.
std::optional<Value> query(TextView key_path, TextView value_name, REGSAM view) {
  const KeyPath path = split(key_path);
  RegistryKey key;
  if (path.root == nullptr ||
      RegOpenKeyExW(path.root, path.subkey.c_str(), 0, KEY_QUERY_VALUE | view, key.out()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::wstring name = wide(value_name);
  Value value;
  // The value may change between two calls: asked again while it has grown.
  std::optional<std::string> bytes = grown<std::string>(
      [&](char* buffer, DWORD size) {
        DWORD capacity = size;
        const LSTATUS status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type,
                                                reinterpret_cast<BYTE*>(buffer),  // NOLINT(*-reinterpret-cast)
                                                &capacity);
        return status == ERROR_SUCCESS ? fits(capacity) : status == ERROR_MORE_DATA ? too_small(capacity) : failed();
      },
      256);
  if (!bytes.has_value()) {
    return std::nullopt;
  }
  value.bytes = std::move(*bytes);
  return value;
}

// A string value's characters: only whole ones of what is stored, up to the first NUL, since
// the data need not end with a NUL nor have an even length.
std::wstring characters(const std::string& bytes) {
  std::wstring data(bytes.size() / sizeof(wchar_t), L'\0');
  std::memcpy(data.data(), bytes.data(), data.size() * sizeof(wchar_t));
  return data.substr(0, data.find(L'\0'));
}

std::wstring expanded(const std::wstring& data) {
  // The size it gives counts the terminating NUL, also when the result fits.
  const std::optional<std::wstring> out = grown<std::wstring>(
      [&](wchar_t* buffer, DWORD size) {
        const DWORD needed = ExpandEnvironmentStringsW(data.c_str(), buffer, size);
        return needed == 0 ? failed() : needed <= size ? fits(needed - 1) : too_small(needed);
      },
      data.size() + 1);
  return out.value_or(data);  // as stored: Windows would not expand it either
}

// The 64-bit folders Explorer expands %ProgramFiles% and %CommonProgramFiles% to.
ExplorerFolders explorer_folders() {
  const auto folder = [](TextView name) {
    const std::optional<Value> value = query(windows_folders_key, name, KEY_WOW64_64KEY);
    return value.has_value() && value->type == REG_SZ ? text_of(characters(value->bytes)) : Text();
  };
  return {folder(u"ProgramFilesDir"), folder(u"CommonFilesDir")};
}

}  // namespace

std::optional<Text> Win32Platform::read_registry_string(TextView key_path, TextView value_name, StringKinds kinds,
                                                        RegistryView view) {
  const std::optional<Value> value = query(key_path, value_name, view_flag(view));
  if (!value.has_value()) {
    return std::nullopt;
  }
  if (value->type == REG_SZ) {
    return text_of(characters(value->bytes));
  }
  if (value->type == REG_EXPAND_SZ && kinds == StringKinds::plain_or_expandable) {
    const std::wstring data = characters(value->bytes);
    return text_of(expanded(windows_is_64bit() ? wide(with_explorer_names(text_of(data), explorer_folders())) : data));
  }
  return std::nullopt;
}

std::optional<std::string> Win32Platform::read_logon_binary(TextView key_path, TextView value_name) {
  std::optional<Value> value = query(key_path, value_name, KEY_WOW64_64KEY);
  if (!value.has_value() || value->type != REG_BINARY) {
    return std::nullopt;
  }
  return std::move(value->bytes);
}

std::optional<std::uint32_t> Win32Platform::read_logon_dword(TextView key_path, TextView value_name) {
  const std::optional<Value> value = query(key_path, value_name, KEY_WOW64_64KEY);
  if (!value.has_value() || value->type != REG_DWORD || value->bytes.size() != sizeof(std::uint32_t)) {
    return std::nullopt;
  }
  std::uint32_t number = 0;
  std::memcpy(&number, value->bytes.data(), sizeof number);
  return number;
}

std::vector<Text> Win32Platform::registry_value_names(TextView key_path, RegistryView view) {
  const KeyPath path = split(key_path);
  RegistryKey key;
  std::vector<Text> names;
  if (path.root == nullptr ||
      RegOpenKeyExW(path.root, path.subkey.c_str(), 0, KEY_QUERY_VALUE | view_flag(view), key.out()) != ERROR_SUCCESS) {
    return names;
  }
  // A value name has at most 16,383 characters.
  std::array<wchar_t, 16384> name{};
  for (DWORD index = 0;; ++index) {
    auto size = static_cast<DWORD>(name.size());
    const LSTATUS status = RegEnumValueW(key.get(), index, name.data(), &size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) {
      continue;  // longer than any name may be: not one of ours
    }
    if (status != ERROR_SUCCESS) {
      return names;
    }
    names.push_back(text_of(std::wstring(name.data(), size)));
  }
}

bool Win32Platform::delete_registry_value(TextView key_path, TextView value_name, RegistryView view) {
  const KeyPath path = split(key_path);
  RegistryKey key;
  if (path.root == nullptr) {
    return false;
  }
  const LSTATUS opened = RegOpenKeyExW(path.root, path.subkey.c_str(), 0, KEY_SET_VALUE | view_flag(view), key.out());
  if (opened == ERROR_FILE_NOT_FOUND) {
    return true;  // no key, no value
  }
  const LSTATUS status = opened == ERROR_SUCCESS ? RegDeleteValueW(key.get(), wide(value_name).c_str()) : opened;
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool Win32Platform::may_write_registry_key(TextView key_path, RegistryView view) {
  const KeyPath path = split(key_path);
  RegistryKey key;
  return path.root != nullptr &&
         RegOpenKeyExW(path.root, path.subkey.c_str(), 0, KEY_SET_VALUE | view_flag(view), key.out()) == ERROR_SUCCESS;
}

bool Win32Platform::registry_is_32bit_view() {
  // IsWow64Process says FALSE for an x86 program on Windows on ARM, whose values land in
  // WOW6432Node all the same; its successor (Windows 10 1709) tells. Looked up, as older
  // Windows lacks it.
  const auto is_wow64_process2 =
      windows_function<BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*)>(L"kernel32.dll", "IsWow64Process2");
  if (is_wow64_process2 != nullptr) {
    USHORT process_machine = IMAGE_FILE_MACHINE_UNKNOWN;
    USHORT native_machine = IMAGE_FILE_MACHINE_UNKNOWN;
    if (is_wow64_process2(GetCurrentProcess(), &process_machine, &native_machine) != FALSE) {
      return process_machine != IMAGE_FILE_MACHINE_UNKNOWN;
    }
  }
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) != FALSE && wow64 != FALSE;
}

bool Win32Platform::windows_is_64bit() {
  return sizeof(void*) == 8 || registry_is_32bit_view();
}

bool Win32Platform::write_registry_string(TextView key_path, TextView value_name, TextView value, RegistryView view) {
  const KeyPath path = split(key_path);
  if (path.root == nullptr) {
    return false;
  }
  RegistryKey key;
  if (RegCreateKeyExW(path.root, path.subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view_flag(view), nullptr,
                      key.out(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring data = wide(value);
  const auto bytes = static_cast<DWORD>(data.size() + 1) * DWORD{sizeof(wchar_t)};
  const auto* raw = reinterpret_cast<const BYTE*>(data.c_str());  // NOLINT(*-reinterpret-cast)
  return RegSetValueExW(key.get(), wide(value_name).c_str(), 0, REG_SZ, raw, bytes) == ERROR_SUCCESS;
}

}  // namespace velmor::win32
