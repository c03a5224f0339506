#include "ui/window_definitions.h"

#include <array>

namespace velmor {
namespace {

// Laid out as tables, one property a line.
// clang-format off

// The application icon of the program file ("AppIcon!").
constexpr std::u16string_view app_icon = u"APPICON";

constexpr std::u16string_view tahoma = u"Tahoma";
constexpr FontDefinition tahoma_9 = {.face = tahoma, .points = 9, .weight = 400};
constexpr FontDefinition tahoma_9_bold = {.face = tahoma, .points = 9, .weight = 700};
constexpr FontDefinition tahoma_12 = {.face = tahoma, .points = 12, .weight = 400};

constexpr std::array w_db_start_controls = {
    ControlDefinition{.name = "cb_1",
                      .kind = ControlKind::command_button,
                      .x = 1545, .y = 1348, .width = 457, .height = 132,
                      .taborder = 10,
                      .font = tahoma_12,
                      .text_colour = SystemColour::window_text,
                      .back_colour = SystemColour::button_face,
                      .text = u"关闭",
                      .border = Border::none,
                      .focus_rectangle = true,
                      .centred_vertically = false},
};

constexpr WindowDefinition w_db_start_window = {
    .name = "w_db_start",
    .type = WindowType::main,
    .visible = false,
    .width = 2240, .height = 1664,
    .titlebar = true,
    .title = main_window_title,
    .controlmenu = true,
    .minbox = true,
    .maxbox = true,
    .resizable = true,
    .back_colour = SystemColour::button_face,
    .icon = app_icon,
    .center = true,
    .controls = w_db_start_controls,
};

constexpr std::array w_setup_controls = {
    ControlDefinition{
        .name = "st_2",
        .kind = ControlKind::static_text,
        .x = 73, .y = 28, .width = 1545, .height = 152,
        .taborder = 0,
        .font = tahoma_9,
        .text_colour = SystemColour::window_text,
        .back_colour = SystemColour::button_face,
        .text = u"同一个网络内服务名称不能重复，您修改后请记下，应用程序对应该名称设置。如网内没有重复应用不需要修改。",
        .border = Border::none,
        .focus_rectangle = false,
        .centred_vertically = false},
    ControlDefinition{.name = "sle_dbname",
                      .kind = ControlKind::single_line_edit,
                      .x = 462, .y = 200, .width = 1074, .height = 100,
                      .taborder = 10,
                      .font = tahoma_9_bold,
                      .text_colour = SystemColour::window_text,
                      .back_colour = SystemColour::window_background,
                      .text = u"",
                      .border = Border::lowered_3d,
                      .focus_rectangle = true,
                      .centred_vertically = false},
    ControlDefinition{.name = "st_1",
                      .kind = ControlKind::static_text,
                      .x = 82, .y = 216, .width = 393, .height = 68,
                      .taborder = 0,
                      .font = tahoma_9,
                      .text_colour = SystemColour::window_text,
                      .back_colour = SystemColour::button_face,
                      .text = u"数据服务名称：",
                      .border = Border::none,
                      .focus_rectangle = false,
                      .centred_vertically = true},
    ControlDefinition{.name = "cb_1",
                      .kind = ControlKind::command_button,
                      .x = 1125, .y = 340, .width = 457, .height = 132,
                      .taborder = 10,
                      .font = tahoma_9,
                      .text_colour = SystemColour::window_text,
                      .back_colour = SystemColour::button_face,
                      .text = u"确定设置",
                      .border = Border::none,
                      .focus_rectangle = true,
                      .centred_vertically = false},
};

constexpr WindowDefinition w_setup_window = {
    .name = "w_setup",
    .type = WindowType::response,
    .visible = true,
    .width = 1673, .height = 580,
    .titlebar = true,
    .title = u"数据服务名设置",
    .controlmenu = true,
    .minbox = false,
    .maxbox = false,
    .resizable = false,
    .back_colour = SystemColour::button_face,
    .icon = app_icon,
    .center = true,
    .controls = w_setup_controls,
};

// clang-format on

}  // namespace

const WindowDefinition& w_db_start_definition() {
  return w_db_start_window;
}
const WindowDefinition& w_setup_definition() {
  return w_setup_window;
}

}  // namespace velmor
