// A settings file as a whole: can it be read now, its bytes, and replacing it in one step.
#include <array>

#include "platform/path.h"
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

bool Win32Platform::replace_settings_file(TextView file, std::string_view bytes) {
  // The new content goes into a file of its own in the same folder first, so that the switch
  // is one rename on the same volume and a failure midway leaves the old file whole.
  const Text target = ini_path(file);
  const std::wstring path = wide(target);
  const std::wstring folder = wide(directory_of(target));
  std::array<wchar_t, MAX_PATH + 1> temporary{};
  if (GetTempFileNameW(folder.c_str(), L"ini", 0, temporary.data()) == 0) {
    return false;
  }
  bool written = false;
  {
    const KernelHandle out = open_for(temporary.data(), GENERIC_WRITE, TRUNCATE_EXISTING);
    written = out.get() != nullptr && write_all(out.get(), bytes);
  }
  // ReplaceFileW keeps the old file's attributes and permissions; a new file is simply moved.
  const bool exists = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  const bool replaced =
      written && (exists ? ReplaceFileW(path.c_str(), temporary.data(), nullptr, 0, nullptr, nullptr) != FALSE
                         : MoveFileExW(temporary.data(), path.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE);
  if (!replaced) {
    DeleteFileW(temporary.data());
  }
  return replaced;
}

}  // namespace velmor::win32
