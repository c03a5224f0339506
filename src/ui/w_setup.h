#pragma once
// The data service name dialog: shows the stored server name and stores what the user sets.
#include "platform/platform.h"

namespace velmor {

class w_setup : public WindowEvents {
 public:
  explicit w_setup(Platform& platform) : platform_(platform) {}

  void open(WindowId self) override;
  void clicked(WindowId self, std::string_view control) override;

 private:
  Platform& platform_;
};

}  // namespace velmor
