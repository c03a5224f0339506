// The process entry on Windows: hand the program to its portable start-up.
#include "app/entry.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*tail: read wide below*/, int /*show*/) {
  velmor::win32::Win32Platform platform(instance);
  return velmor::velmor_main(platform);
}
