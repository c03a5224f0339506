#pragma once
// The data service name dialog: shows the stored server name and stores what the user sets.
#include "dbstart/setup_ini.h"

namespace velmor {

class w_setup : public WindowEvents {
 public:
  // `ini`: the settings file as this run reads and writes it.
  w_setup(Platform& platform, SetupIni& ini) : platform_(platform), ini_(ini) {}

  void open(WindowId self) override;
  void clicked(WindowId self, std::string_view control) override;

 private:
  Platform& platform_;
  SetupIni& ini_;
};

}  // namespace velmor
