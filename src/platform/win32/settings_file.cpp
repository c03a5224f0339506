// A settings file as a whole (can it be read now, its bytes), the file operations that
// replace one in one step, and what the file system says of a program's path.
#include <array>

#include "platform/path.h"
#include "platform/win32/grow_buffer.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace velmor::win32 {
namespace {

constexpr DWORD share_all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

KernelHandle open_for(const std::wstring& path, DWORD access, DWORD disposition) {
  HANDLE file = CreateFileW(path.c_str(), access, share_all, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return KernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool write_all(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 20U));
    DWORD written = 0;
    if (WriteFile(file, bytes.data(), chunk, &written, nullptr) == FALSE || written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return FlushFileBuffers(file) != FALSE;
}

}  // namespace

FileAccess Win32Platform::settings_file_access(TextView file) {
  const std::wstring path = wide(ini_path(file));
  const DWORD attributes = GetFileAttributesW(path.c_str());
  // No file, or a folder of that name: the profile functions give their defaults, as ever.
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return {FileAccess::missing, 0};
  }
  const KernelHandle opened = open_for(path, GENERIC_READ, OPEN_EXISTING);
  if (opened.get() != nullptr) {
    return {FileAccess::readable, 0};
  }
  const DWORD error = GetLastError();
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_ACCESS_DENIED: return {FileAccess::refused, error};
    default: return {FileAccess::missing, 0};  // gone in between
  }
}

std::optional<std::string> Win32Platform::read_settings_file(TextView file) {
  const KernelHandle opened = open_for(wide(ini_path(file)), GENERIC_READ, OPEN_EXISTING);
  if (opened.get() == nullptr) {
    return std::nullopt;
  }
  std::string bytes;
  std::array<char, 65536> buffer{};
  for (;;) {
    DWORD read = 0;
    if (ReadFile(opened.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) == FALSE) {
      return std::nullopt;
    }
    if (read == 0) {
      return bytes;
    }
    bytes.append(buffer.data(), read);
  }
}

std::optional<Text> Win32Platform::write_new_file(TextView folder, std::string_view bytes) {
  std::array<wchar_t, MAX_PATH + 1> name{};
  if (GetTempFileNameW(wide(folder).c_str(), L"ini", 0, name.data()) == 0) {
    return std::nullopt;
  }
  bool written = false;
  {
    const KernelHandle out = open_for(name.data(), GENERIC_WRITE, TRUNCATE_EXISTING);
    written = out.get() != nullptr && write_all(out.get(), bytes);
  }
  if (!written) {
    DeleteFileW(name.data());
    return std::nullopt;
  }
  return text_of(name.data());
}

std::uint32_t Win32Platform::replace_file(TextView replaced, TextView replacement, TextView backup) {
  // Keeps the replaced file's attributes and permissions.
  if (ReplaceFileW(wide(replaced).c_str(), wide(replacement).c_str(), wide(backup).c_str(), 0, nullptr, nullptr) !=
      FALSE) {
    return 0;
  }
  return static_cast<std::uint32_t>(GetLastError());
}

bool Win32Platform::move_file(TextView from, TextView to) {
  return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Win32Platform::delete_file(TextView path) {
  return DeleteFileW(wide(path).c_str()) != FALSE;
}

FileState Win32Platform::file_state(TextView path) {
  // Only "not there" and "no such name" mean no file: access denied on the way, a drive that is
  // not ready or a path too long for the call say nothing about it.
  const auto state_after = [](DWORD error) {
    switch (error) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_DIRECTORY:
      case ERROR_INVALID_NAME:
      case ERROR_BAD_PATHNAME: return FileState::none;
      default: return FileState::unknown;
    }
  };
  const std::wstring name = wide(path);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return state_after(GetLastError());
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return FileState::folder;
  }
  // NUL.db, COM1.db and the like are devices before Windows 11. Opened without any access, so
  // that a server holding the file open is not disturbed.
  const KernelHandle opened = open_for(name, 0, OPEN_EXISTING);
  if (opened.get() == nullptr) {
    return state_after(GetLastError());
  }
  return GetFileType(opened.get()) == FILE_TYPE_DISK ? FileState::disk_file : FileState::none;
}

bool Win32Platform::may_write_file(TextView path) {
  const std::wstring name = wide(path);
  if (GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return open_for(name, GENERIC_WRITE, OPEN_EXISTING).get() != nullptr;  // opened, not written
  }
  // A new file: the right to add one to its folder.
  const HANDLE folder = CreateFileW(wide(directory_of(path)).c_str(), FILE_ADD_FILE, share_all, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  return KernelHandle(folder == INVALID_HANDLE_VALUE ? nullptr : folder).get() != nullptr;
}

Text Win32Platform::long_path(TextView path) {
  const std::wstring given = wide(path);
  const std::optional<std::wstring> long_form = grown<std::wstring>(
      [&](wchar_t* buffer, DWORD size) {
        return length_or_needed(GetLongPathNameW(given.c_str(), buffer, size), size);
      },
      given.size() + 1);
  // Nothing: no such file, or not ours to look into.
  return long_form.has_value() ? text_of(*long_form) : Text(path);
}

}  // namespace velmor::win32
