#pragma once
// Windows are data: a definition holds a window's properties and its controls in order, and
// the platform turns a definition into a real window. Sizes are in PowerBuilder units.
#include <span>
#include <string_view>

#include "platform/text.h"

namespace velmor {

enum class WindowType { main, response };
enum class ControlKind { command_button, static_text, single_line_edit };
enum class SystemColour { window_text, button_face, window_background };
enum class Border { none, lowered_3d };

struct FontDefinition {
  std::u16string_view face;
  int points;
  int weight;
};

struct ControlDefinition {
  std::string_view name;
  ControlKind kind;
  int x;
  int y;
  int width;
  int height;
  int taborder;  // 0: takes no focus
  FontDefinition font;
  SystemColour text_colour;
  SystemColour back_colour;
  std::u16string_view text;
  Border border;
  bool focus_rectangle;
  bool centred_vertically;  // a one-line label beside a taller field
};

struct WindowDefinition {
  std::string_view name;
  WindowType type;
  bool visible;
  int width;
  int height;
  bool titlebar;
  std::u16string_view title;
  bool controlmenu;
  bool minbox;
  bool maxbox;
  bool resizable;
  SystemColour back_colour;
  std::u16string_view icon;  // resource name of the window's icon
  bool center;
  std::span<const ControlDefinition> controls;
};

}  // namespace velmor
