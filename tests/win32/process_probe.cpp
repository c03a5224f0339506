// Test helper: the process utility on the real process table.
//   process_probe.exe find NAME   prints the id of_getexe returns
//   process_probe.exe self        prints own id and what of_getexe finds for its own name
//   process_probe.exe kill ID     prints 1 or 0 for of_killprocess
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "platform/win32/win32_platform.h"
#include "process/uf_get_exename.h"

int wmain(int argc, wchar_t** argv) {
  velmor::win32::Win32Platform platform(GetModuleHandleW(nullptr));
  velmor::uf_get_exename utility(platform);
  const std::wstring verb = argc > 1 ? argv[1] : L"";
  if (verb == L"find" && argc > 2) {
    const std::wstring name = argv[2];
    std::printf("%ld\n", static_cast<long>(utility.of_getexe(velmor::Text(name.begin(), name.end()))));
    return 0;
  }
  if (verb == L"self") {
    std::printf("%lu %ld\n", GetCurrentProcessId(), static_cast<long>(utility.of_getexe(u"process_probe.exe")));
    return 0;
  }
  if (verb == L"kill" && argc > 2) {
    std::printf("%d\n", utility.of_killprocess(static_cast<std::int32_t>(std::wcstol(argv[2], nullptr, 10))) ? 1 : 0);
    return 0;
  }
  std::fputs("usage: process_probe find NAME | self | kill ID\n", stderr);
  return 2;
}
