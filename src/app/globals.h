#pragma once
// The program's two globals, set once by the application's open before the main window opens.
#include <memory>

#include "platform/text.h"
#include "process/uf_get_exename.h"

namespace velmor {

// The start directory: the folder that holds the program and its setup.ini.
extern Text gs_path;  // NOLINT(*-avoid-non-const-global-variables)
// The one process-utility object; never released before the process ends.
extern std::unique_ptr<uf_get_exename> gf_get_exename;  // NOLINT(*-avoid-non-const-global-variables)

}  // namespace velmor
