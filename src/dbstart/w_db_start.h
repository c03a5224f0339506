#pragma once
// The main window's behaviour: its open handler carries the whole start of the database server.
#include "platform/platform.h"

namespace velmor {

class w_db_start : public WindowEvents {
 public:
  explicit w_db_start(Platform& platform) : platform_(platform) {}

  void open(WindowId self) override;
  void clicked(WindowId /*self*/, std::string_view /*control*/) override {}  // cb_1 does nothing

 private:
  Platform& platform_;
};

}  // namespace velmor
