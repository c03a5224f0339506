#include "ui/w_setup.h"

#include "app/globals.h"
#include "dbstart/setup_ini.h"

namespace velmor {

Text service_name_of(TextView field_text) {
  // A pasted line break would otherwise end the value in the file and start a new key there.
  constexpr TextView blanks = u" \t";
  constexpr TextView line_breaks = u"\r\n";
  const auto start = field_text.find_first_not_of(u" \t\r\n");
  if (start == TextView::npos) {
    return {};
  }
  TextView line = field_text.substr(start);
  line = line.substr(0, line.find_first_of(line_breaks));
  line = line.substr(0, line.find_last_not_of(blanks) + 1);
  return Text(line);
}

void w_setup::open(WindowId self) {
  const Text ls_servername = SetupIni(platform_).read(setup_key::servername, u"");
  platform_.set_control_text(self, "sle_dbname", ls_servername);
  platform_.set_focus(self, "sle_dbname");
}

void w_setup::clicked(WindowId self, std::string_view control) {
  if (control != "cb_1") {
    return;
  }
  const Text ls_servername = service_name_of(platform_.control_text(self, "sle_dbname"));
  SetupIni(platform_, gs_path + u"\\" + Text(setup_ini_name)).write(setup_key::servername, ls_servername);
  platform_.close_window(self);
}

}  // namespace velmor
