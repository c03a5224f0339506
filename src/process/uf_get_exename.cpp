#include "process/uf_get_exename.h"

#include <cstring>
#include <string_view>

#include "platform/unique_handle.h"
#include "process/s_process.h"

namespace velmor {
namespace {

std::string_view file_name_of(const s_process& record) {
  // The name ends at the first NUL, or at the end of the field if the system left none.
  const void* nul = std::memchr(record.filename, '\0', sizeof record.filename);
  const auto length = nul == nullptr ? sizeof record.filename
                                     : static_cast<std::size_t>(static_cast<const char*>(nul) - record.filename);
  return {record.filename, length};
}

}  // namespace

std::int32_t uf_get_exename::of_getexe(TextView as_exename) {
  const std::vector<std::uint32_t> ids = of_getall(as_exename);
  return ids.empty() ? 0 : static_cast<std::int32_t>(ids.back());  // a later match overwrites an earlier one
}

std::vector<std::uint32_t> uf_get_exename::of_getall(TextView as_exename) {
  std::vector<std::uint32_t> ids;
  if (as_exename.empty()) {
    return ids;  // no running program has an empty file name
  }
  const UniqueHandle snapshot(platform_, platform_.create_process_snapshot());
  if (!snapshot) {
    return ids;
  }
  s_process lst_process;
  lst_process.structsize = s_process_size;
  if (!platform_.first_process(snapshot.get(), lst_process)) {
    return ids;
  }
  // Every entry counts, the first one too: only on Windows is it always the idle process.
  do {
    if (platform_.to_lower(platform_.from_ansi(file_name_of(lst_process))) == as_exename) {
      ids.push_back(lst_process.processid);
    }
  } while (platform_.next_process(snapshot.get(), lst_process));
  return ids;
}

bool uf_get_exename::of_killprocess(std::int32_t il_current_processid) {
  if (il_current_processid < 0) {
    return false;
  }
  const UniqueHandle process(platform_,
                             platform_.open_process_for_termination(static_cast<std::uint32_t>(il_current_processid)));
  if (!process) {
    return false;  // terminating a handle that failed to open could only fail as well
  }
  return platform_.terminate_process(process.get(), 0);
}

}  // namespace velmor
