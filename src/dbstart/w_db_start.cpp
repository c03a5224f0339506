#include "dbstart/w_db_start.h"

namespace velmor {

void w_db_start::open(WindowId self) {
  platform_.close_window(self);
}

}  // namespace velmor
