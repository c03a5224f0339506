// Windows built from their static definitions, their message handling and the modal loop.
#include <algorithm>
#include <vector>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/window_builder.h"

namespace velmor::win32 {

namespace {

WindowId id_of(HWND hwnd) {
  return reinterpret_cast<WindowId>(hwnd);  // NOLINT(*-reinterpret-cast)
}
HWND hwnd_of(WindowId id) {
  return reinterpret_cast<HWND>(id);  // NOLINT(*-reinterpret-cast,*-int-to-ptr)
}

}  // namespace

namespace {

// A service's window station (session 0, a deployment tool's SYSTEM run) has no visible display
// surfaces: a window there waits for a person who cannot exist.
bool station_is_visible() {
  USEROBJECTFLAGS flags{};
  HWINSTA station = GetProcessWindowStation();
  if (station == nullptr || GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) == FALSE) {
    return true;  // as ever: a box is shown
  }
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance), display_visible_(station_is_visible()) {}

bool Win32Platform::display_is_visible() {
  return display_visible_;
}

Win32Platform::~Win32Platform() {
  // Windows left open by a run that ended on an error; destroying them releases their fonts.
  while (!windows_.empty()) {
    const HWND hwnd = windows_.begin()->first;
    if (DestroyWindow(hwnd) == FALSE) {
      windows_.erase(hwnd);
    }
  }
  if (window_class_ != 0) {
    UnregisterClassW(window_class_name, instance_);
  }
}

WindowId Win32Platform::find_window(TextView title) {
  // The Unicode search: converted to a non-Chinese ANSI code page the title would become
  // question marks and never match.
  return id_of(FindWindowW(nullptr, wide(title).c_str()));
}

WindowId Win32Platform::open_window(const WindowDefinition& definition, WindowEvents& events) {
  if (window_class_ == 0) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_procedure;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);  // NOLINT(*-cast): the system's own resource id macro
    wc.hbrBackground = nullptr;                    // each window paints its own colour (WM_ERASEBKGND)
    wc.lpszClassName = window_class_name;
    window_class_ = RegisterClassExW(&wc);
    if (window_class_ == 0) {
      call_failed("RegisterClassExW");
    }
  }
  auto record = std::make_unique<Win32Window>();
  record->definition = &definition;
  record->events = &events;
  Win32Window& window = *record;
  window.hwnd = create_frame(definition, instance_, this);
  const HWND hwnd = window.hwnd;
  windows_[hwnd] = std::move(record);

  try {
    if (definition.visible) {
      create_controls(window, instance_);
    }
    events.open(id_of(hwnd));
    if (windows_.contains(hwnd) && definition.visible) {
      // The first ShowWindow of a process may take the show state its starter asked for
      // (STARTUPINFO, hidden by many deployment tools); the second always does as told.
      ShowWindow(hwnd, SW_SHOWNORMAL);  // presents it first (WM_SHOWWINDOW)
      ShowWindow(hwnd, SW_SHOWNORMAL);
      SetForegroundWindow(hwnd);
      rethrow_pending();
    }
    // A quit request ends the wait as closing from the title bar does.
    while (definition.type == WindowType::response && windows_.contains(hwnd) && pump_one(hwnd)) {
    }
    destroy_now(definition.type == WindowType::response ? hwnd : nullptr);
  } catch (...) {
    // `events` may not outlive the unwinding: no message may reach it any more, also not
    // from the message loop of the error's report.
    destroy_now(hwnd);
    throw;
  }
  return id_of(hwnd);
}

void Win32Platform::destroy_now(HWND hwnd) {
  if (hwnd != nullptr && windows_.contains(hwnd)) {
    DestroyWindow(hwnd);
    windows_.erase(hwnd);  // also when DestroyWindow failed: the record no longer reaches `events`
  }
}

void Win32Platform::rethrow_pending() {
  if (pending_error_) {
    std::rethrow_exception(std::exchange(pending_error_, nullptr));
  }
}

bool Win32Platform::pump_one(HWND modal) {
  MSG msg{};
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == -1) {
    call_failed("GetMessageW");
  }
  if (got == 0) {
    PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit to the outer loop too
    return false;
  }
  // Dialog keys for the modal window: Tab and Shift+Tab move between its tab stops.
  if (modal == nullptr || IsDialogMessageW(modal, &msg) == FALSE) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  rethrow_pending();
  return true;
}

Win32Window& Win32Platform::window_of(WindowId id) {
  const auto found = windows_.find(hwnd_of(id));
  if (found == windows_.end()) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    call_failed("window");
  }
  return *found->second;
}

HWND Win32Platform::control_of(WindowId id, std::string_view control) {
  Win32Window& window = window_of(id);
  if (window.controls.empty()) {
    create_controls(window, instance_);  // a hidden window's controls come into being when first used
  }
  const auto& controls = window.definition->controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].name == control) {
      return window.controls[i];
    }
  }
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  call_failed("control");
}

void Win32Platform::close_window(WindowId id) {
  if (!windows_.contains(hwnd_of(id))) {
    return;  // already closed, by another program's WM_CLOSE say: nothing is left to do
  }
  if (DestroyWindow(hwnd_of(id)) == FALSE) {
    call_failed("DestroyWindow");
  }
}

Text Win32Platform::control_text(WindowId id, std::string_view control) {
  const HWND hwnd = control_of(id, control);
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, buffer.data(), length + 1);
  buffer.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text_of(buffer);
}

void Win32Platform::set_control_text(WindowId id, std::string_view control, TextView text) {
  if (SetWindowTextW(control_of(id, control), wide(text).c_str()) == FALSE) {
    call_failed("SetWindowTextW");
  }
}

void Win32Platform::set_focus(WindowId id, std::string_view control) {
  const HWND hwnd = control_of(id, control);
  window_of(id).focus = hwnd;  // kept for the activation that showing the window brings
  SetFocus(hwnd);
}

void Win32Platform::message_box(TextView title, TextView text) {
  if (MessageBoxW(nullptr, wide(text).c_str(), wide(title).c_str(), MB_OK | MB_SETFOREGROUND) == 0) {
    call_failed("MessageBoxW");
  }
}

LRESULT CALLBACK Win32Platform::window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);      // NOLINT(*-reinterpret-cast,*-int-to-ptr)
    const auto creator = reinterpret_cast<LONG_PTR>(create->lpCreateParams);  // NOLINT(*-reinterpret-cast)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, creator);
  }
  const LONG_PTR user_data = GetWindowLongPtrW(hwnd, GWLP_USERDATA);
  auto* self = reinterpret_cast<Win32Platform*>(user_data);  // NOLINT(*-reinterpret-cast,*-int-to-ptr)
  if (self != nullptr) {
    const auto found = self->windows_.find(hwnd);
    if (found != self->windows_.end()) {
      // No exception may cross the system's frames: it is carried to the message loop.
      try {
        return self->handle_message(*found->second, message, wparam, lparam);
      } catch (...) {
        self->pending_error_ = std::current_exception();
        return 0;
      }
    }
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT Win32Platform::handle_message(Win32Window& window, UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND hwnd = window.hwnd;
  switch (message) {
    case WM_COMMAND: {
      const int index = LOWORD(wparam) - first_control_id;
      const auto& controls = window.definition->controls;
      if (HIWORD(wparam) == BN_CLICKED && index >= 0 && static_cast<std::size_t>(index) < controls.size() &&
          controls[static_cast<std::size_t>(index)].kind == ControlKind::command_button) {
        window.events->clicked(id_of(hwnd), controls[static_cast<std::size_t>(index)].name);
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      auto* const dc = reinterpret_cast<HDC>(wparam);      // NOLINT(*-reinterpret-cast,*-int-to-ptr)
      auto* const child = reinterpret_cast<HWND>(lparam);  // NOLINT(*-reinterpret-cast,*-int-to-ptr)
      const auto at = std::find(window.controls.begin(), window.controls.end(), child);
      if (at != window.controls.end()) {
        const ControlDefinition& c =
            window.definition->controls[static_cast<std::size_t>(at - window.controls.begin())];
        SetTextColor(dc, GetSysColor(system_colour_index(c.text_colour)));
        SetBkColor(dc, GetSysColor(system_colour_index(c.back_colour)));
        HBRUSH brush = GetSysColorBrush(system_colour_index(c.back_colour));
        return reinterpret_cast<LRESULT>(brush);  // NOLINT(*-reinterpret-cast)
      }
      break;
    }
    case WM_SHOWWINDOW:
      if (wparam != FALSE) {
        present(window, instance_);
      }
      break;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client,  // NOLINT(*-reinterpret-cast,*-int-to-ptr)
               GetSysColorBrush(system_colour_index(window.definition->back_colour)));
      return 1;
    }
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && window.focus != nullptr) {
        SetFocus(window.focus);
        return 0;
      }
      if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focused = GetFocus();
        // NOLINTNEXTLINE(readability-suspicious-call-argument): the parent comes first
        if (focused != nullptr && IsChild(hwnd, focused) != FALSE) {
          window.focus = focused;
        }
      }
      break;
    case WM_NCDESTROY:
      windows_.erase(hwnd);  // releases the window's fonts; its controls are gone by now
      // A window closed from within a sent message (another program pressing its button)
      // leaves the loop waiting in GetMessageW: wake it so it sees the window is gone.
      PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
      return 0;
    default: break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace velmor::win32
