#pragma once
// The static definitions of the program's two windows.
#include "platform/window_definition.h"

namespace velmor {

// The main window's title; the instance guard looks for exactly this text.
inline constexpr std::u16string_view main_window_title = u"数据库启动窗口";

const WindowDefinition& w_db_start_definition();
const WindowDefinition& w_setup_definition();

}  // namespace velmor
