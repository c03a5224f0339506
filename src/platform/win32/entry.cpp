// The process entry on Windows: hand the program to its portable start-up.
#include "app/entry.h"
#include "platform/win32/win32_platform.h"

namespace {

// A DLL dropped into the program's folder must never be loaded on its behalf. Windows 7 without
// update KB2533623 lacks the call: there the search stays as it was.
void load_libraries_from_system32_only() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  const FARPROC found = kernel32 == nullptr ? nullptr : GetProcAddress(kernel32, "SetDefaultDllDirectories");
  if (found != nullptr) {
    // NOLINTNEXTLINE(*-reinterpret-cast): GetProcAddress hands every function out alike
    reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(found))(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*tail: read wide below*/, int /*show*/) {
  load_libraries_from_system32_only();
  velmor::win32::Win32Platform platform(instance);
  return velmor::velmor_main(platform);
}
