// The process entry on Windows: hand the program to its portable start-up.
#include "app/entry.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_function.h"

namespace {

// A DLL dropped into the program's folder must never be loaded on its behalf. Windows 7 without
// update KB2533623 lacks the call: there the search stays as it was.
void load_libraries_from_system32_only() {
  const auto set_default_dll_directories =
      velmor::win32::windows_function<BOOL(WINAPI*)(DWORD)>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (set_default_dll_directories != nullptr) {
    set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*tail: read wide below*/, int /*show*/) {
  load_libraries_from_system32_only();
  // A PATH folder or a start path on an empty card reader or CD drive would otherwise raise
  // Windows' "There is no disk in the drive" box at logon, holding the run until someone clicks.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  velmor::win32::Win32Platform platform(instance);
  return velmor::velmor_main(platform);
}
