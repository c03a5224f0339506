// The floor of a pass under Wine: a Win32 program that creates one hidden window and ends.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*tail*/, int /*show*/) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"velmor.bench.floor";
  if (RegisterClassW(&wc) == 0) {
    return 1;
  }
  const HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"floor", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                    nullptr, instance, nullptr);
  if (hwnd == nullptr) {
    return 1;
  }
  DestroyWindow(hwnd);
  return 0;
}
