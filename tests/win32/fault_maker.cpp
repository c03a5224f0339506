// Test helper: faults from outside that the program must live with.
//   fault_maker.exe lock FILE SECONDS     holds FILE open without sharing; prints "ready"
//   fault_maker.exe read FILE SECONDS     holds FILE open for reading, sharing reads and writes but
//                                         not deletion, as fopen does; prints "ready"
//   fault_maker.exe deny-set-value KEY [64|32]
//                                         HKLM\KEY (in the 64-bit or 32-bit view of a 64-bit
//                                         Windows) refuses to have values set or deleted (as for a
//                                         standard user); "allow KEY [64|32]" lets everyone again
//   fault_maker.exe close-main            sends WM_CLOSE to the main window, as taskkill does
//   fault_maker.exe short-path PATH       prints PATH's 8.3 form, as an old shortcut holds it (UTF-8)
//   fault_maker.exe compare A B           compares two file names both ways the program can:
//                                         "ordinal equal|different|missing upper equal|different"
//   fault_maker.exe copy-stdin FILE       a pipe's reader: copies what comes in, byte for byte
#include <windows.h>
// sddl.h needs windows.h first.
#include <sddl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/file_names.h"

namespace {

int lock(const wchar_t* path, DWORD seconds, DWORD access, DWORD sharing) {
  HANDLE file = CreateFileW(path, access, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("cannot open: %lu\n", GetLastError());
    return 3;
  }
  std::puts("ready");
  std::fflush(stdout);
  Sleep(seconds * 1000);
  CloseHandle(file);
  return 0;
}

// KEY_SET_VALUE is 0x2; KA is all access.
int set_dacl(const wchar_t* subkey, const wchar_t* sddl, REGSAM view) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr) == FALSE) {
    std::printf("sddl: %lu\n", GetLastError());
    return 3;
  }
  HKEY key = nullptr;
  LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, READ_CONTROL | WRITE_DAC | view, &key);
  if (status == ERROR_SUCCESS) {
    status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    RegCloseKey(key);
  }
  LocalFree(descriptor);
  std::printf("%s\n", status == ERROR_SUCCESS ? "done" : "failed");
  return status == ERROR_SUCCESS ? 0 : 4;
}

int close_main() {
  const HWND main = FindWindowW(nullptr, L"数据库启动窗口");
  if (main == nullptr) {
    std::puts("no main window");
    return 3;
  }
  PostMessageW(main, WM_CLOSE, 0, 0);
  std::puts("sent");
  return 0;
}

REGSAM view_of(int argc, wchar_t** argv) {
  const std::wstring view = argc > 3 ? argv[3] : L"";
  return view == L"64" ? KEY_WOW64_64KEY : view == L"32" ? KEY_WOW64_32KEY : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring verb = argc > 1 ? argv[1] : L"";
  if (verb == L"lock" && argc > 3) {
    return lock(argv[2], static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)), GENERIC_READ | GENERIC_WRITE, 0);
  }
  if (verb == L"read" && argc > 3) {
    return lock(argv[2], static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)), GENERIC_READ,
                FILE_SHARE_READ | FILE_SHARE_WRITE);
  }
  if (verb == L"deny-set-value" && argc > 2) {
    return set_dacl(argv[2], L"D:(D;;0x2;;;WD)(A;;KA;;;WD)", view_of(argc, argv));
  }
  if (verb == L"allow" && argc > 2) {
    return set_dacl(argv[2], L"D:(A;;KA;;;WD)", view_of(argc, argv));
  }
  if (verb == L"close-main") {
    return close_main();
  }
  if (verb == L"short-path" && argc > 2) {
    wchar_t short_path[MAX_PATH];
    const DWORD length = GetShortPathNameW(argv[2], short_path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
      return 3;
    }
    char utf8[MAX_PATH * 3];
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, short_path, static_cast<int>(length), utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%.*s\n", size, utf8);
    return 0;
  }
  if (verb == L"copy-stdin" && argc > 2) {
    HANDLE out = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    char buffer[4096];
    DWORD read = 0;
    DWORD written = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &read, nullptr) != FALSE && read > 0) {
      WriteFile(out, buffer, read, &written, nullptr);
    }
    CloseHandle(out);
    return 0;
  }
  if (verb == L"compare" && argc > 3) {
    const velmor::Text a(argv[2], argv[2] + std::wcslen(argv[2]));
    const velmor::Text b(argv[3], argv[3] + std::wcslen(argv[3]));
    const std::optional<bool> ordinal = velmor::win32::equal_ordinal_ignoring_case(a, b);
    std::printf("ordinal %s upper %s\n",
                !ordinal.has_value() ? "missing"
                : *ordinal           ? "equal"
                                     : "different",
                velmor::win32::equal_upper_cased(a, b) ? "equal" : "different");
    return 0;
  }
  std::fputs(
      "usage: fault_maker lock|read FILE SECONDS | deny-set-value KEY [64|32] | allow KEY [64|32] | close-main | "
      "short-path PATH | compare A B | copy-stdin FILE\n",
      stderr);
  return 2;
}
