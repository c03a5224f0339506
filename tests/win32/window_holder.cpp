// Test helper: holds a hidden top-level window with the given title, as a running copy of the
// program would, for the given number of seconds.
//   window_holder.exe TITLE SECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fputs("usage: window_holder TITLE SECONDS\n", stderr);
    return 2;
  }
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"velmor.test.holder";
  if (RegisterClassW(&wc) == 0) {
    return 3;
  }
  const HWND hwnd = CreateWindowExW(0, wc.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                    wc.hInstance, nullptr);
  if (hwnd == nullptr) {
    return 4;
  }
  std::puts("ready");
  std::fflush(stdout);
  const UINT seconds = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10));
  SetTimer(hwnd, 1, seconds * 1000U, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER) {
      break;
    }
    DispatchMessageW(&msg);
  }
  DestroyWindow(hwnd);
  return 0;
}
