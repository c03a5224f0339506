// Windows built from their static definitions, their message handling and the modal loop.
#include <algorithm>
#include <vector>

#include "platform/win32/pb_units.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace velmor::win32 {

struct Win32Window {
  HWND hwnd = nullptr;
  const WindowDefinition* definition = nullptr;
  WindowEvents* events = nullptr;
  std::vector<HWND> controls;  // in the definition's order
  std::vector<GdiObject> fonts;
  HWND focus = nullptr;  // the control to get the focus back when the window is activated
};

namespace {

constexpr wchar_t window_class_name[] = L"velmor.window";
constexpr int first_control_id = 100;  // clear of IDOK and IDCANCEL, which dialog keys send

WindowId id_of(HWND hwnd) {
  return reinterpret_cast<WindowId>(hwnd);
}  // NOLINT(*-reinterpret-cast)
HWND hwnd_of(WindowId id) {
  return reinterpret_cast<HWND>(id);
}  // NOLINT(*-reinterpret-cast,*-int-to-ptr)

int system_colour_index(SystemColour colour) {
  switch (colour) {
    case SystemColour::window_text: return COLOR_WINDOWTEXT;
    case SystemColour::button_face: return COLOR_BTNFACE;
    case SystemColour::window_background: return COLOR_WINDOW;
  }
  return COLOR_BTNFACE;
}

DWORD window_style(const WindowDefinition& d) {
  DWORD style = d.type == WindowType::response ? WS_POPUP : WS_OVERLAPPED;
  if (d.titlebar) style |= WS_CAPTION;
  if (d.controlmenu) style |= WS_SYSMENU;
  if (d.minbox) style |= WS_MINIMIZEBOX;
  if (d.maxbox) style |= WS_MAXIMIZEBOX;
  style |= d.resizable ? WS_THICKFRAME : (d.type == WindowType::response ? DS_MODALFRAME : WS_BORDER);
  return style;
}

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD ex_style;
};

ControlClass control_class(const ControlDefinition& c) {
  switch (c.kind) {
    case ControlKind::command_button: return {L"BUTTON", BS_PUSHBUTTON, 0};
    case ControlKind::static_text:
      // A plain left-aligned static wraps its text; SS_CENTERIMAGE centres one line instead.
      return {L"STATIC", SS_LEFT | SS_NOPREFIX | (c.centred_vertically ? DWORD{SS_CENTERIMAGE} : 0U), 0};
    case ControlKind::single_line_edit:
      return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL, c.border == Border::lowered_3d ? DWORD{WS_EX_CLIENTEDGE} : 0U};
  }
  return {L"STATIC", 0, 0};
}

HFONT create_font(const FontDefinition& font, int dpi) {
  // DEFAULT_CHARSET lets the font mapper link a Chinese font behind Tahoma.
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(font.points, dpi, 72);
  lf.lfWeight = font.weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  const std::wstring face = wide(font.face);
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectW(&lf);
}

RECT centred(int width, int height) {
  RECT work{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) == FALSE) {
    work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const int x = work.left + std::max(0L, (work.right - work.left - width) / 2);
  const int y = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
  return {x, y, x + width, y + height};
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance) {}

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

  const PbUnits units = PbUnits::of_system_font();
  const int width = units.x(definition.width);
  const int height = units.y(definition.height);
  const RECT frame = definition.center ? centred(width, height) : RECT{CW_USEDEFAULT, CW_USEDEFAULT, width, height};
  const DWORD ex_style = definition.type == WindowType::response ? DWORD{WS_EX_DLGMODALFRAME} : 0U;
  const HWND hwnd =
      CreateWindowExW(ex_style, window_class_name, wide(definition.title).c_str(), window_style(definition), frame.left,
                      frame.top, width, height, nullptr, nullptr, instance_, this);
  if (hwnd == nullptr) {
    call_failed("CreateWindowExW");
  }
  window.hwnd = hwnd;
  windows_[hwnd] = std::move(record);
  if (!definition.icon.empty()) {
    // Shared system-managed icons: LoadImageW with LR_SHARED needs no release.
    const std::wstring icon = wide(definition.icon);
    for (const auto& [kind, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
      const int size = GetSystemMetrics(metric);
      HANDLE image = LoadImageW(instance_, icon.c_str(), IMAGE_ICON, size, size, LR_SHARED);
      if (image != nullptr) {
        SendMessageW(hwnd, WM_SETICON, static_cast<WPARAM>(kind),
                     reinterpret_cast<LPARAM>(image));  // NOLINT(*-reinterpret-cast)
      }
    }
  }

  const int dpi = units.dpi();
  int control_id = first_control_id;
  for (const ControlDefinition& control : definition.controls) {
    const ControlClass cls = control_class(control);
    DWORD style = WS_CHILD | WS_VISIBLE | cls.style;
    if (control.taborder > 0) style |= WS_TABSTOP;
    const HWND child = CreateWindowExW(
        cls.ex_style, cls.name, wide(control.text).c_str(), style, units.x(control.x), units.y(control.y),
        units.x(control.width), units.y(control.height), hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id++)),  // NOLINT(*-reinterpret-cast,*-int-to-ptr)
        instance_, nullptr);
    if (child == nullptr) {
      call_failed("CreateWindowExW");
    }
    window.fonts.emplace_back(create_font(control.font, dpi));
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(window.fonts.back().get()),
                 FALSE);  // NOLINT(*-reinterpret-cast)
    window.controls.push_back(child);
  }

  events.open(id_of(hwnd));

  if (windows_.contains(hwnd) && definition.visible) {
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
  }
  if (definition.type == WindowType::response) {
    while (windows_.contains(hwnd) && pump_one(hwnd)) {
    }
  }
  return id_of(hwnd);
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
  if (pending_error_) {
    std::rethrow_exception(std::exchange(pending_error_, nullptr));
  }
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
  if (DestroyWindow(window_of(id).hwnd) == FALSE) {
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
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);  // NOLINT(*-reinterpret-cast,*-int-to-ptr)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));  // NOLINT(*-reinterpret-cast)
  }
  auto* self = reinterpret_cast<Win32Platform*>(
      GetWindowLongPtrW(hwnd, GWLP_USERDATA));  // NOLINT(*-reinterpret-cast,*-int-to-ptr)
  if (self != nullptr) {
    const auto found = self->windows_.find(hwnd);
    if (found != self->windows_.end()) {
      return self->handle_message(*found->second, message, wparam, lparam);
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
        // No exception may cross the system's frames: it is carried to the message loop.
        try {
          window.events->clicked(id_of(hwnd), controls[static_cast<std::size_t>(index)].name);
        } catch (...) {
          pending_error_ = std::current_exception();
        }
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      const auto dc = reinterpret_cast<HDC>(wparam);      // NOLINT(*-reinterpret-cast,*-int-to-ptr)
      const auto child = reinterpret_cast<HWND>(lparam);  // NOLINT(*-reinterpret-cast,*-int-to-ptr)
      const auto at = std::find(window.controls.begin(), window.controls.end(), child);
      if (at != window.controls.end()) {
        const ControlDefinition& c =
            window.definition->controls[static_cast<std::size_t>(at - window.controls.begin())];
        SetTextColor(dc, GetSysColor(system_colour_index(c.text_colour)));
        SetBkColor(dc, GetSysColor(system_colour_index(c.back_colour)));
        return reinterpret_cast<LRESULT>(
            GetSysColorBrush(system_colour_index(c.back_colour)));  // NOLINT(*-reinterpret-cast)
      }
      break;
    }
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
