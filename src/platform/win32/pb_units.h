#pragma once
// PowerBuilder units to pixels, the one place this mapping lives. A PowerBuilder unit is a 32nd
// of the system font's average character width across and a 64th of its height down; with the
// standard 8 x 16 pixel system font at 96 DPI that is a quarter pixel each way, and the layout
// grows with the screen's DPI, evenly in both directions. (GetDialogBaseUnits does not follow
// the DPI evenly under Wine.) At 96 DPI, 1673 x 580 units are 418 x 145 pixels.
#include <windows.h>

namespace velmor::win32 {

class PbUnits {
 public:
  static PbUnits of_screen() {
    int dpi = standard_dpi;
    if (HDC screen = GetDC(nullptr); screen != nullptr) {
      dpi = GetDeviceCaps(screen, LOGPIXELSY);
      ReleaseDC(nullptr, screen);
    }
    return PbUnits(dpi);
  }

  [[nodiscard]] int dpi() const { return dpi_; }
  [[nodiscard]] int x(int units) const { return MulDiv(units, dpi_, units_per_inch); }
  [[nodiscard]] int y(int units) const { return MulDiv(units, dpi_, units_per_inch); }

 private:
  static constexpr int standard_dpi = 96;                  // USER_DEFAULT_SCREEN_DPI, which XP's headers lack
  static constexpr int units_per_inch = 4 * standard_dpi;  // four units a pixel at 96 DPI
  explicit PbUnits(int dpi) : dpi_(dpi > 0 ? dpi : standard_dpi) {}

  int dpi_;
};

}  // namespace velmor::win32
