// Test helper: plays the user of the data service name dialog, as a person would.
//   dialog_driver.exe set TEXT   types TEXT into the field and presses the button
//   dialog_driver.exe close      closes the dialog from its system menu
//   dialog_driver.exe inspect    prints the field's text and which control has the focus
//   dialog_driver.exe layout     prints the dialog's styles, sizes and controls, one per line
//   dialog_driver.exe tab        presses Tab twice, printing the focused control after each
//   dialog_driver.exe watch SECONDS   (no dialog needed) reports visible and hidden windows
//                                titled as the main window while it watches
//   dialog_driver.exe dismiss TITLE   (no dialog needed) prints the text of the message box
//                                titled TITLE and presses its OK button
//   dialog_driver.exe await TITLE     the same, but leaves the box waiting
// It waits up to 20 seconds for the dialog to appear. Output is UTF-8.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t dialog_title[] = L"数据服务名设置";

void print_utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  std::fputs(out.c_str(), stdout);
  std::fputs("\n", stdout);
}

// GetWindowTextW does not ask a control of another process for its text: send WM_GETTEXT.
std::wstring text_of(HWND hwnd) {
  const auto length = static_cast<std::size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

std::wstring class_of(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

std::wstring hex(DWORD value) {
  wchar_t text[16];
  swprintf(text, 16, L"%08lx", static_cast<unsigned long>(value));
  return text;
}

std::wstring focus_name(HWND dialog, HWND field, HWND button) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
  if (info.hwndFocus == field) return L"field";
  if (info.hwndFocus == button) return L"button";
  return info.hwndFocus == nullptr ? L"none" : class_of(info.hwndFocus);
}

void print_layout(HWND dialog) {
  RECT frame{};
  RECT client{};
  RECT work{};
  GetWindowRect(dialog, &frame);
  GetClientRect(dialog, &client);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  print_utf8(L"title: " + text_of(dialog));
  print_utf8(L"style: " + hex(static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE))) + L" exstyle: " +
             hex(static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE))));
  print_utf8(L"frame: " + std::to_wstring(frame.left) + L" " + std::to_wstring(frame.top) + L" " +
             std::to_wstring(frame.right - frame.left) + L" " + std::to_wstring(frame.bottom - frame.top));
  print_utf8(L"client: " + std::to_wstring(client.right) + L" " + std::to_wstring(client.bottom));
  print_utf8(L"workarea: " + std::to_wstring(work.left) + L" " + std::to_wstring(work.top) + L" " +
             std::to_wstring(work.right) + L" " + std::to_wstring(work.bottom));
  print_utf8(L"visible: " + std::to_wstring(IsWindowVisible(dialog) != FALSE ? 1 : 0));
  HDC screen = GetDC(nullptr);
  print_utf8(L"dpi: " + std::to_wstring(GetDeviceCaps(screen, LOGPIXELSY)));
  ReleaseDC(nullptr, screen);
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    print_utf8(L"control: " + class_of(child) + L" | " + hex(static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE))) +
               L" | " + hex(static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE))) + L" | " + std::to_wstring(r.left) +
               L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
               std::to_wstring(r.bottom - r.top) + L" | " + text_of(child));
  }
}

// Polls for windows titled as the main window: how often one was seen hidden, and visible.
int watch(DWORD seconds) {
  int hidden = 0;
  int visible = 0;
  DWORD style = 0;
  RECT frame{};
  // Built for Windows XP like the program: GetTickCount, whose wrap the subtraction survives.
  const DWORD began = GetTickCount();
  while (GetTickCount() - began < seconds * 1000U) {
    const HWND main = FindWindowW(nullptr, L"数据库启动窗口");
    if (main != nullptr) {
      (IsWindowVisible(main) != FALSE ? visible : hidden) += 1;
      style = static_cast<DWORD>(GetWindowLongW(main, GWL_STYLE));
      GetWindowRect(main, &frame);
    }
    Sleep(5);
  }
  std::printf("hidden: %d\nvisible: %d\nstyle: %08lx\nsize: %ld %ld\n", hidden, visible,
              static_cast<unsigned long>(style), frame.right - frame.left, frame.bottom - frame.top);
  return 0;
}

HWND wait_for_dialog(const wchar_t* title = dialog_title) {
  for (int i = 0; i < 200; ++i) {
    const HWND dialog = FindWindowW(nullptr, title);
    if (dialog != nullptr && IsWindowVisible(dialog) != FALSE) {
      return dialog;
    }
    Sleep(100);
  }
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring verb = argc > 1 ? argv[1] : L"";
  if (verb == L"watch" && argc > 2) {
    return watch(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
  }
  if ((verb == L"dismiss" || verb == L"await") && argc > 2) {
    const HWND box = wait_for_dialog(argv[2]);
    if (box == nullptr) {
      std::fputs("no message box\n", stdout);
      return 1;
    }
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      if (class_of(child) == L"Static" && !text_of(child).empty()) {
        print_utf8(text_of(child));
      }
    }
    if (verb == L"dismiss") {
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return 0;
  }
  const HWND dialog = wait_for_dialog();
  if (dialog == nullptr) {
    std::fputs("no dialog\n", stdout);
    return 1;
  }
  const HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
  const HWND button = FindWindowExW(dialog, nullptr, L"Button", nullptr);
  if (field == nullptr || button == nullptr) {
    std::fputs("controls missing\n", stdout);
    return 1;
  }
  if (verb == L"inspect") {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    print_utf8(L"field: [" + text_of(field) + L"]");
    print_utf8(L"focus: " + (info.hwndFocus == field ? std::wstring(L"field") : class_of(info.hwndFocus)));
    return 0;
  }
  if (verb == L"layout") {
    print_layout(dialog);
    print_utf8(L"focus: " + focus_name(dialog, field, button));
    return 0;
  }
  if (verb == L"tab") {
    // Tab reaches the dialog through its message queue, as a key press would.
    for (int i = 0; i < 2; ++i) {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
      PostMessageW(info.hwndFocus, WM_KEYDOWN, VK_TAB, 0x000F0001);
      PostMessageW(info.hwndFocus, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC00F0001));
      Sleep(300);
      print_utf8(L"focus: " + focus_name(dialog, field, button));
    }
    return 0;
  }
  if (verb == L"set" && argc > 2) {
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
    SendMessageW(button, BM_CLICK, 0, 0);
    return 0;
  }
  if (verb == L"close") {
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
  }
  std::fputs("usage: dialog_driver set TEXT | close | inspect\n", stderr);
  return 2;
}
