#include "platform/win32/window_builder.h"

#include <algorithm>
#include <utility>

#include "platform/win32/pb_units.h"
#include "platform/win32/win32_text.h"

namespace velmor::win32 {
namespace {

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

void set_icons(HWND hwnd, HINSTANCE instance, TextView name) {
  // Shared, system-managed icons: LoadImageW with LR_SHARED needs no release.
  const std::wstring icon = wide(name);
  for (const auto& [kind, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
    const int size = GetSystemMetrics(metric);
    HANDLE image = LoadImageW(instance, icon.c_str(), IMAGE_ICON, size, size, LR_SHARED);
    if (image != nullptr) {
      // NOLINTNEXTLINE(*-reinterpret-cast)
      SendMessageW(hwnd, WM_SETICON, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(image));
    }
  }
}

void centre(HWND hwnd) {
  RECT frame{};
  RECT work{};
  if (GetWindowRect(hwnd, &frame) == FALSE || SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) == FALSE) {
    return;  // the window stays where it was created
  }
  const LONG width = frame.right - frame.left;
  const LONG height = frame.bottom - frame.top;
  const LONG x = work.left + std::max(0L, (work.right - work.left - width) / 2);
  const LONG y = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
  SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int system_colour_index(SystemColour colour) {
  switch (colour) {
    case SystemColour::window_text: return COLOR_WINDOWTEXT;
    case SystemColour::button_face: return COLOR_BTNFACE;
    case SystemColour::window_background: return COLOR_WINDOW;
  }
  return COLOR_BTNFACE;
}

HWND create_frame(const WindowDefinition& definition, HINSTANCE instance, void* creator) {
  const PbUnits units = PbUnits::of_screen();
  const DWORD ex_style = definition.type == WindowType::response ? DWORD{WS_EX_DLGMODALFRAME} : 0U;
  const HWND hwnd =
      CreateWindowExW(ex_style, window_class_name, wide(definition.title).c_str(), window_style(definition), 0, 0,
                      units.x(definition.width), units.y(definition.height), nullptr, nullptr, instance, creator);
  if (hwnd == nullptr) {
    call_failed("CreateWindowExW");
  }
  return hwnd;
}

void create_controls(Win32Window& window, HINSTANCE instance) {
  const PbUnits units = PbUnits::of_screen();
  int control_id = first_control_id;
  for (const ControlDefinition& control : window.definition->controls) {
    const ControlClass cls = control_class(control);
    DWORD style = WS_CHILD | WS_VISIBLE | cls.style;
    if (control.taborder > 0) style |= WS_TABSTOP;
    const HWND child = CreateWindowExW(
        cls.ex_style, cls.name, wide(control.text).c_str(), style, units.x(control.x), units.y(control.y),
        units.x(control.width), units.y(control.height), window.hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id++)),  // NOLINT(*-reinterpret-cast,*-int-to-ptr)
        instance, nullptr);
    if (child == nullptr) {
      call_failed("CreateWindowExW");
    }
    window.controls.push_back(child);
  }
}

void present(Win32Window& window, HINSTANCE instance) {
  if (window.presented) {
    return;
  }
  window.presented = true;
  if (window.controls.empty()) {
    create_controls(window, instance);
  }
  const WindowDefinition& definition = *window.definition;
  const int dpi = PbUnits::of_screen().dpi();
  for (std::size_t i = 0; i < window.controls.size(); ++i) {
    window.fonts.emplace_back(create_font(definition.controls[i].font, dpi));
    // NOLINTNEXTLINE(*-reinterpret-cast)
    SendMessageW(window.controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(window.fonts.back().get()), FALSE);
  }
  if (!definition.icon.empty()) {
    set_icons(window.hwnd, instance, definition.icon);
  }
  if (definition.center) {
    centre(window.hwnd);
  }
}

}  // namespace velmor::win32
