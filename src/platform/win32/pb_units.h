#pragma once
// PowerBuilder units to pixels, the one place this mapping lives. A PowerBuilder unit is a 32nd
// of the system font's average character width across and a 64th of its height down
// (GetDialogBaseUnits), so a layout keeps its proportions against the system font at any
// resolution. With the usual 7 x 16 pixel base at 96 DPI, 1673 x 580 units are 366 x 145 pixels.
#include <windows.h>

namespace velmor::win32 {

class PbUnits {
 public:
  static PbUnits of_system_font() {
    const LONG base = GetDialogBaseUnits();
    return {LOWORD(base), HIWORD(base)};
  }

  [[nodiscard]] int x(int units) const { return MulDiv(units, char_width_, 32); }
  [[nodiscard]] int y(int units) const { return MulDiv(units, char_height_, 64); }

 private:
  PbUnits(int char_width, int char_height) : char_width_(char_width), char_height_(char_height) {}

  int char_width_;
  int char_height_;
};

}  // namespace velmor::win32
