// Test helper: runs a program on a window station of its own, which has no visible display
// surfaces, as the service host of a deployment tool runs it as SYSTEM.
//   station_runner.exe SECONDS PROGRAM [ARGUMENT...]
//                                        prints "exit N", or "timeout" once it has ended the
//                                        program after SECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t station_name[] = L"velmor-e2e";
constexpr wchar_t desktop_name[] = L"velmor-e2e\\unseen";

// A desktop is made in the calling process's window station: switch there for the call.
HDESK make_unseen_desktop() {
  HWINSTA original = GetProcessWindowStation();
  HWINSTA station = CreateWindowStationW(station_name, 0, WINSTA_ALL_ACCESS, nullptr);
  if (station == nullptr || SetProcessWindowStation(station) == FALSE) {
    std::printf("station: %lu\n", GetLastError());
    return nullptr;
  }
  HDESK desktop = CreateDesktopW(L"unseen", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  if (desktop == nullptr) {
    std::printf("desktop: %lu\n", GetLastError());
  }
  SetProcessWindowStation(original);
  return desktop;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fputs("usage: station_runner SECONDS PROGRAM [ARGUMENT...]\n", stderr);
    return 2;
  }
  const DWORD seconds = std::wcstoul(argv[1], nullptr, 10);
  HDESK desktop = make_unseen_desktop();
  if (desktop == nullptr) {
    return 3;
  }
  std::wstring command = L"\"" + std::wstring(argv[2]) + L"\"";
  for (int i = 3; i < argc; ++i) {
    command += L" " + std::wstring(argv[i]);
  }
  std::wstring desktop_path = desktop_name;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop_path.data();
  PROCESS_INFORMATION process{};
  if (CreateProcessW(argv[2], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) ==
      FALSE) {
    std::printf("start: %lu\n", GetLastError());
    CloseDesktop(desktop);
    return 3;
  }
  if (WaitForSingleObject(process.hProcess, seconds * 1000) == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 255);
    std::fputs("timeout\n", stdout);
  } else {
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("exit %lu\n", code);
  }
  std::fflush(stdout);  // read at once: the server the program started may hold the pipe open
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseDesktop(desktop);
  return 0;
}
