#pragma once
// The record the process snapshot walk fills: the layout of the ANSI PROCESSENTRY32, 296 bytes
// on a 32-bit build. The heap id is pointer-sized there, so a 64-bit build gets its 304 bytes.
#include <cstddef>
#include <cstdint>

namespace velmor {

struct s_process {
  std::uint32_t structsize = 0;
  std::uint32_t usage = 0;
  std::uint32_t processid = 0;
  std::uintptr_t defaultheapid = 0;
  std::uint32_t moduleid = 0;
  std::uint32_t threads = 0;
  std::uint32_t parentprocessid = 0;
  std::uint32_t calssbase = 0;
  std::uint32_t flags = 0;
  char filename[260] = {};  // NOLINT(*-avoid-c-arrays): the system's fixed record layout
};

inline constexpr std::uint32_t s_process_size = sizeof(s_process);

static_assert(sizeof(void*) != 4 || sizeof(s_process) == 296);
static_assert(sizeof(void*) != 4 || offsetof(s_process, filename) == 36);

}  // namespace velmor
