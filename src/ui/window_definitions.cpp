#include "ui/window_definitions.h"

#include <array>

namespace velmor {
namespace {

constexpr std::u16string_view tahoma = u"Tahoma";
constexpr FontDefinition tahoma_9 = {tahoma, 9, 400};
constexpr FontDefinition tahoma_9_bold = {tahoma, 9, 700};
constexpr FontDefinition tahoma_12 = {tahoma, 12, 400};

constexpr std::array w_db_start_controls = {
    ControlDefinition{"cb_1", ControlKind::command_button, 1545, 1348, 457, 132, 10, tahoma_12,
                      SystemColour::window_text, SystemColour::button_face, u"关闭", Border::none, true},
};

constexpr WindowDefinition w_db_start_window = {
    "w_db_start",
    WindowType::main,
    false,
    2240,
    1664,
    true,
    main_window_title,
    true,
    true,
    true,
    true,
    SystemColour::button_face,
    true,
    w_db_start_controls,
};

constexpr std::array w_setup_controls = {
    ControlDefinition{
        "st_2", ControlKind::static_text, 73, 28, 1545, 152, 0, tahoma_9, SystemColour::window_text,
        SystemColour::button_face,
        u"同一个网络内服务名称不能重复，您修改后请记下，应用程序对应该名称设置。如网内没有重复应用不需要修改。",
        Border::none, false},
    ControlDefinition{"sle_dbname", ControlKind::single_line_edit, 462, 200, 1074, 100, 10, tahoma_9_bold,
                      SystemColour::window_text, SystemColour::window_background, u"", Border::lowered_3d, true},
    ControlDefinition{"st_1", ControlKind::static_text, 82, 216, 393, 68, 0, tahoma_9, SystemColour::window_text,
                      SystemColour::button_face, u"数据服务名称：", Border::none, false},
    ControlDefinition{"cb_1", ControlKind::command_button, 1125, 340, 457, 132, 10, tahoma_9, SystemColour::window_text,
                      SystemColour::button_face, u"确定设置", Border::none, true},
};

constexpr WindowDefinition w_setup_window = {
    "w_setup",
    WindowType::response,
    true,
    1673,
    580,
    true,
    u"数据服务名设置",
    true,
    false,
    false,
    false,
    SystemColour::button_face,
    true,
    w_setup_controls,
};

}  // namespace

const WindowDefinition& w_db_start_definition() {
  return w_db_start_window;
}
const WindowDefinition& w_setup_definition() {
  return w_setup_window;
}

}  // namespace velmor
