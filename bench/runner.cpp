// Times command lines from inside Wine: each repetition starts every command in turn with
// CreateProcessW and waits for it to end. Prints one line per run: "<case> <milliseconds>".
// Timing here leaves out the Unix-side wine launcher, whose process wait is coarse.
//   bench_runner.exe REPETITIONS "COMMAND A" "COMMAND B" ...
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

double milliseconds_since(const LARGE_INTEGER& start, const LARGE_INTEGER& frequency) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double run_once(const wchar_t* command, const LARGE_INTEGER& frequency) {
  std::wstring line = command;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) == FALSE) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const double elapsed = milliseconds_since(start, frequency);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fputs("usage: bench_runner REPETITIONS COMMAND...\n", stderr);
    return 2;
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  const long repetitions = std::wcstol(argv[1], nullptr, 10);
  for (long r = -1; r < repetitions; ++r) {  // round -1 warms up
    for (int c = 2; c < argc; ++c) {
      const double ms = run_once(argv[c], frequency);
      if (r >= 0) {
        std::printf("%d %.3f\n", c - 2, ms);
      }
    }
  }
  return 0;
}
