// INI files through the Windows profile functions, which keep comments, other sections and
// other keys as people and other programs left them.
#include "platform/path.h"
#include "platform/win32/grow_buffer.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace velmor::win32 {

Text Win32Platform::ini_path(TextView file) {
  // The profile functions look for a bare name in the Windows directory; ours lives beside
  // the program. The program's folder does not change during a run: ask for it once.
  if (program_directory_.empty()) {
    program_directory_ = directory_of(module_file_name());
  }
  return resolve_in(program_directory_, file);
}

Text Win32Platform::read_ini(TextView file, TextView section, TextView key, TextView fallback) {
  const std::wstring path = wide(ini_path(file));
  const std::wstring section_name = wide(section);
  const std::wstring key_name = wide(key);
  const std::wstring default_value = wide(fallback);
  // A value is read whole: the function fills the buffer up to size - 1 when the value is
  // longer. Past 16 million characters the value is taken as cut.
  constexpr DWORD largest = 1U << 24;
  const std::optional<std::wstring> value = grown<std::wstring>(
      [&](wchar_t* buffer, DWORD size) {
        const DWORD length = GetPrivateProfileStringW(section_name.c_str(), key_name.c_str(), default_value.c_str(),
                                                      buffer, size, path.c_str());
        return length + 1 < size || size >= largest ? fits(length) : too_small();
      },
      1024);
  return text_of(value.value_or(std::wstring()));
}

bool Win32Platform::write_ini(TextView file, TextView section, TextView key, TextView value) {
  const std::wstring path = wide(ini_path(file));
  return WritePrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), wide(value).c_str(), path.c_str()) !=
         FALSE;
}

}  // namespace velmor::win32
