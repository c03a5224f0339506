#pragma once
// The program's window onto the process table: is a program of a given file name running,
// and ending a process by id. Stateless: every call works from a fresh snapshot.
#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace velmor {

class uf_get_exename {
 public:
  explicit uf_get_exename(Platform& platform) : platform_(platform) {}

  // The id of a running process whose executable file name is `as_exename` (a bare name,
  // compared whole, letter case of the running file ignored); the last one in the snapshot
  // when several match; 0 when none matches or the table cannot be read.
  std::int32_t of_getexe(TextView as_exename);
  // The ids of every running process of that file name, in snapshot order.
  std::vector<std::uint32_t> of_getall(TextView as_exename);
  static std::int32_t of_getproid() { return 1; }
  // Ends the process with exit code 0; true when the system reports it ended.
  bool of_killprocess(std::int32_t il_current_processid);

 private:
  Platform& platform_;
};

}  // namespace velmor
