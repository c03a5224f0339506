#pragma once
// PowerBuilder units to pixels. A PowerBuilder unit is a 32nd of the system font's average
// character width across and a 64th of its height down, so a layout keeps its proportions
// against the system font at any resolution.
#include <windows.h>

namespace velmor::win32 {

class PbUnits {
 public:
  static PbUnits of_system_font() {
    const LONG base = GetDialogBaseUnits();
    HDC screen = GetDC(nullptr);
    const int dpi = screen == nullptr ? 96 : GetDeviceCaps(screen, LOGPIXELSY);
    if (screen != nullptr) {
      ReleaseDC(nullptr, screen);
    }
    return PbUnits(LOWORD(base), HIWORD(base), dpi);
  }

  int x(int units) const { return MulDiv(units, char_width_, 32); }
  int y(int units) const { return MulDiv(units, char_height_, 64); }
  int dpi() const { return dpi_; }

 private:
  PbUnits(int char_width, int char_height, int dpi) : char_width_(char_width), char_height_(char_height), dpi_(dpi) {}

  int char_width_;
  int char_height_;
  int dpi_;
};

}  // namespace velmor::win32
