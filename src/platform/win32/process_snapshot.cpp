// The process table through the ANSI Toolhelp functions, whose record s_process mirrors.
// Only this file asks for the ANSI names.
#undef UNICODE
#undef _UNICODE
#include <windows.h>
// tlhelp32.h needs windows.h first.
#include <tlhelp32.h>

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "platform/win32/win32_platform.h"

namespace velmor::win32 {

static_assert(sizeof(s_process) == sizeof(PROCESSENTRY32));
static_assert(std::is_trivially_copyable_v<s_process>);
static_assert(offsetof(s_process, processid) == offsetof(PROCESSENTRY32, th32ProcessID));
static_assert(offsetof(s_process, defaultheapid) == offsetof(PROCESSENTRY32, th32DefaultHeapID));
static_assert(offsetof(s_process, moduleid) == offsetof(PROCESSENTRY32, th32ModuleID));
static_assert(offsetof(s_process, parentprocessid) == offsetof(PROCESSENTRY32, th32ParentProcessID));
static_assert(offsetof(s_process, flags) == offsetof(PROCESSENTRY32, dwFlags));
static_assert(offsetof(s_process, filename) == offsetof(PROCESSENTRY32, szExeFile));

namespace {

HANDLE raw(Handle handle) {
  return reinterpret_cast<HANDLE>(handle);  // NOLINT(*-reinterpret-cast,*-int-to-ptr)
}

// The record crosses as bytes: the layouts are asserted identical above.
template <typename Read>
bool read_entry(s_process& record, Read read) {
  PROCESSENTRY32 entry;
  std::memcpy(&entry, static_cast<const void*>(&record), sizeof entry);
  const bool ok = read(&entry) != FALSE;
  std::memcpy(static_cast<void*>(&record), &entry, sizeof entry);
  return ok;
}

}  // namespace

Handle Win32Platform::create_process_snapshot() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return 0;
  }
  return reinterpret_cast<Handle>(snapshot);  // NOLINT(*-reinterpret-cast)
}

bool Win32Platform::first_process(Handle snapshot, s_process& record) {
  return read_entry(record, [&](PROCESSENTRY32* entry) { return Process32First(raw(snapshot), entry); });
}

bool Win32Platform::next_process(Handle snapshot, s_process& record) {
  return read_entry(record, [&](PROCESSENTRY32* entry) { return Process32Next(raw(snapshot), entry); });
}

Handle Win32Platform::open_process_for_termination(std::uint32_t process_id) {
  return reinterpret_cast<Handle>(OpenProcess(PROCESS_TERMINATE, FALSE, process_id));  // NOLINT(*-reinterpret-cast)
}

bool Win32Platform::terminate_process(Handle process, std::uint32_t exit_code) {
  return TerminateProcess(raw(process), exit_code) != FALSE;
}

bool Win32Platform::close_handle(Handle handle) noexcept {
  return CloseHandle(raw(handle)) != FALSE;
}

}  // namespace velmor::win32
