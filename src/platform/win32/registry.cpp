// String values in the registry, addressed by a key path that begins with the root key's name.
#include <array>
#include <utility>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

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
    if (CompareStringOrdinal(root_name.c_str(), static_cast<int>(root_name.size()), name.data(),
                             static_cast<int>(name.size()), TRUE) == CSTR_EQUAL) {
      return {root, separator == std::wstring::npos ? std::wstring() : path.substr(separator + 1)};
    }
  }
  return {};
}

}  // namespace

std::optional<Text> Win32Platform::read_registry_string(TextView key_path, TextView value_name, StringKinds kinds) {
  const KeyPath path = split(key_path);
  if (path.root == nullptr) {
    return std::nullopt;
  }
  RegistryKey key;
  if (RegOpenKeyExW(path.root, path.subkey.c_str(), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::wstring name = wide(value_name);
  const auto wanted = [kinds](DWORD type) {
    return type == REG_SZ || (type == REG_EXPAND_SZ && kinds == StringKinds::plain_or_expandable);
  };
  DWORD type = 0;
  DWORD bytes = 0;
  LSTATUS status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &bytes);
  std::wstring data;
  // The value may change between the two calls: ask again while it has grown.
  while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    if (!wanted(type)) {
      return std::nullopt;  // nothing is expanded
    }
    data.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD capacity = bytes;
    status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()),  // NOLINT(*-reinterpret-cast)
                              &capacity);
    if (status == ERROR_SUCCESS && wanted(type)) {
      // The stored data need not end with a NUL, nor have an even length: keep only whole
      // characters of what was delivered, up to the first NUL.
      data.resize(capacity / sizeof(wchar_t));
      const auto nul = data.find(L'\0');
      if (nul != std::wstring::npos) {
        data.resize(nul);
      }
      return text_of(data);
    }
    bytes = capacity;
  }
  return std::nullopt;
}

bool Win32Platform::write_registry_string(TextView key_path, TextView value_name, TextView value) {
  const KeyPath path = split(key_path);
  if (path.root == nullptr) {
    return false;
  }
  RegistryKey key;
  if (RegCreateKeyExW(path.root, path.subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.out(), nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const std::wstring data = wide(value);
  const auto bytes = static_cast<DWORD>(data.size() + 1) * DWORD{sizeof(wchar_t)};
  const auto* raw = reinterpret_cast<const BYTE*>(data.c_str());  // NOLINT(*-reinterpret-cast)
  return RegSetValueExW(key.get(), wide(value_name).c_str(), 0, REG_SZ, raw, bytes) == ERROR_SUCCESS;
}

}  // namespace velmor::win32
