// Test helper: plays the user of the data service name dialog, as a person would.
//   dialog_driver.exe set TEXT   types TEXT into the field and presses the button
//   dialog_driver.exe close      closes the dialog from its system menu
//   dialog_driver.exe inspect    prints the field's text and which control has the focus
// It waits up to 20 seconds for the dialog to appear. Output is UTF-8.
#include <windows.h>

#include <cstdio>
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

HWND wait_for_dialog() {
  for (int i = 0; i < 200; ++i) {
    const HWND dialog = FindWindowW(nullptr, dialog_title);
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
