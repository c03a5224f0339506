#include "ui/w_setup.h"

#include "app/globals.h"
#include "dbstart/setup_ini.h"

namespace velmor {

void w_setup::open(WindowId self) {
  const Text ls_servername = ini_.read(setup_key::servername, u"");
  platform_.set_control_text(self, "sle_dbname", ls_servername);
  platform_.set_focus(self, "sle_dbname");
}

void w_setup::clicked(WindowId self, std::string_view control) {
  if (control != "cb_1") {
    return;
  }
  // The file keeps the name's first line, trimmed (SetupIni::write).
  const Text ls_servername = platform_.control_text(self, "sle_dbname");
  ini_.named(gs_path + u"\\" + Text(setup_ini_name)).write(setup_key::servername, ls_servername);
  platform_.close_window(self);
}

}  // namespace velmor
