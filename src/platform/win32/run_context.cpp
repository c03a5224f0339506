// Who, where and when, and who listens on a port: facts /check gives a technician beside its own.
#include <windows.h>
// iphlpapi.h needs windows.h first.
#include <iphlpapi.h>

#include <array>
#include <string>

#include "platform/win32/grow_buffer.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/windows_function.h"

namespace velmor::win32 {
namespace {

// The version Windows really is: GetVersionExW answers what the manifest declares.
Text windows_version() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  const auto rtl_get_version = windows_function<LONG(WINAPI*)(OSVERSIONINFOW*)>(L"ntdll.dll", "RtlGetVersion");
  if ((rtl_get_version == nullptr || rtl_get_version(&version) != 0) && GetVersionExW(&version) == FALSE) {
    return u"?";
  }
  return text_of(std::to_wstring(version.dwMajorVersion) + L"." + std::to_wstring(version.dwMinorVersion) + L"." +
                 std::to_wstring(version.dwBuildNumber));
}

std::optional<bool> elevated() {
  HANDLE opened = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened) == FALSE) {
    return std::nullopt;
  }
  const KernelHandle token(opened);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  // Windows XP knows no TokenElevation, and has no elevation to tell.
  if (GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) == FALSE) {
    return std::nullopt;
  }
  return elevation.TokenIsElevated != 0;
}

}  // namespace

RunContext Win32Platform::run_context() {
  RunContext context;
  std::array<wchar_t, 257> user{};  // UNLEN + 1
  auto size = static_cast<DWORD>(user.size());
  context.user = GetUserNameW(user.data(), &size) != FALSE ? text_of(user.data()) : Text(u"?");
  std::array<wchar_t, MAX_COMPUTERNAME_LENGTH + 1> computer{};
  size = static_cast<DWORD>(computer.size());
  context.computer = GetComputerNameW(computer.data(), &size) != FALSE ? text_of(computer.data()) : Text(u"?");
  context.elevated = elevated();
  DWORD session = 0;
  if (ProcessIdToSessionId(GetCurrentProcessId(), &session) != FALSE) {
    context.session = session;
  }
  context.windows = windows_version();
  SYSTEMTIME now{};
  GetLocalTime(&now);
  context.local_time = time_text(now);
  return context;
}

std::optional<std::uint32_t> Win32Platform::tcp_port_listener(std::uint16_t port) {
  // Windows XP SP2's table, loaded only for the report: a plain run never pays for the DLL.
  std::array<wchar_t, MAX_PATH> system{};
  const UINT length = GetSystemDirectoryW(system.data(), static_cast<UINT>(system.size()));
  if (length == 0 || length >= system.size()) {
    return std::nullopt;
  }
  const std::wstring path = std::wstring(system.data(), length) + L"\\iphlpapi.dll";
  const LibraryHandle library(LoadLibraryW(path.c_str()));
  const auto get_table = function_of<decltype(&GetExtendedTcpTable)>(library.get(), "GetExtendedTcpTable");
  if (get_table == nullptr) {
    return std::nullopt;
  }
  constexpr ULONG ipv4 = 2;  // AF_INET, without the Winsock headers
  const std::optional<std::string> table = grown<std::string>(
      [&](char* buffer, DWORD size) {
        DWORD capacity = size;
        const DWORD status = get_table(buffer, &capacity, FALSE, ipv4, TCP_TABLE_OWNER_PID_LISTENER, 0);
        return status == NO_ERROR ? fits(size) : status == ERROR_INSUFFICIENT_BUFFER ? too_small(capacity) : failed();
      },
      4096);
  if (!table.has_value() || table->size() < sizeof(DWORD)) {
    return std::nullopt;
  }
  const auto* rows = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(table->data());  // NOLINT(*-reinterpret-cast)
  for (DWORD i = 0; i < rows->dwNumEntries; ++i) {
    const MIB_TCPROW_OWNER_PID& row = rows->table[i];  // NOLINT(*-pointer-arithmetic)
    // The port in network byte order, in the low two bytes.
    const auto local_port =
        static_cast<std::uint16_t>(((row.dwLocalPort & 0xFFU) << 8U) | ((row.dwLocalPort >> 8U) & 0xFFU));
    if (local_port == port) {
      return row.dwOwningPid;
    }
  }
  return std::nullopt;
}

}  // namespace velmor::win32
