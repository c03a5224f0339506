#include "app/globals.h"

namespace velmor {

Text gs_path;                                    // NOLINT(*-avoid-non-const-global-variables)
std::unique_ptr<uf_get_exename> gf_get_exename;  // NOLINT(*-avoid-non-const-global-variables)

}  // namespace velmor
