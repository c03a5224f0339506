#pragma once
// Turns a window definition into a Win32 window. Building makes the frame and, for a window
// that is to be shown, the controls; presenting adds what only a shown window needs (controls
// not yet made, fonts, icons, centring). A window that is never shown, like the main window,
// never pays for it: under Wine, with the common controls 6 manifest, its one button alone
// would load comctl32 and cost a quarter of a run.
#include <windows.h>

#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

namespace velmor::win32 {

struct Win32Window {
  HWND hwnd = nullptr;
  const WindowDefinition* definition = nullptr;
  WindowEvents* events = nullptr;
  std::vector<HWND> controls;  // in the definition's order
  std::vector<GdiObject> fonts;
  HWND focus = nullptr;  // the control to get the focus back when the window is activated
  bool presented = false;
};

inline constexpr const wchar_t* window_class_name = L"velmor.window";
inline constexpr int first_control_id = 100;  // clear of IDOK and IDCANCEL, which dialog keys send

int system_colour_index(SystemColour colour);

// Creates the hidden frame; `creator` reaches the window procedure with WM_NCCREATE.
HWND create_frame(const WindowDefinition& definition, HINSTANCE instance, void* creator);
// Creates the controls in the definition's order, so that Tab follows it.
void create_controls(Win32Window& window, HINSTANCE instance);
// Fonts, icons and centring, once, before the window is first shown.
void present(Win32Window& window, HINSTANCE instance);

}  // namespace velmor::win32
