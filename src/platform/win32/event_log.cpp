// The Application log: one event per run, and the last ones read back for /check. Only what
// Windows XP already has: RegisterEventSourceW, ReportEventW, ReadEventLogW.
#include <cstring>
#include <string_view>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace velmor::win32 {
namespace {

constexpr std::wstring_view sources_key = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";

WORD type_of(EventType type) {
  switch (type) {
    case EventType::warning: return EVENTLOG_WARNING_TYPE;
    case EventType::error: return EVENTLOG_ERROR_TYPE;
    case EventType::information: break;
  }
  return EVENTLOG_INFORMATION_TYPE;
}

EventType event_type(WORD type) {
  return type == EVENTLOG_ERROR_TYPE     ? EventType::error
         : type == EVENTLOG_WARNING_TYPE ? EventType::warning
                                         : EventType::information;
}

// Seconds since 1970 (UTC), as the log keeps them, in local time.
Text local_time(DWORD seconds) {
  ULARGE_INTEGER ticks{};
  ticks.QuadPart = (static_cast<ULONGLONG>(seconds) + 11644473600ULL) * 10000000ULL;  // since 1601
  const FILETIME utc{ticks.LowPart, ticks.HighPart};
  FILETIME local{};
  SYSTEMTIME time{};
  if (FileTimeToLocalFileTime(&utc, &local) == FALSE || FileTimeToSystemTime(&local, &time) == FALSE) {
    return u"?";
  }
  return time_text(time);
}

// One record of a buffer ReadEventLogW filled, as the program keeps it.
LoggedEvent logged(const EVENTLOGRECORD& record) {
  LoggedEvent event;
  event.time = local_time(record.TimeGenerated);
  event.id = record.EventID & 0xFFFFU;  // the severity and facility bits are not the event's number
  event.type = event_type(record.EventType);
  const auto* bytes = reinterpret_cast<const char*>(&record);  // NOLINT(*-reinterpret-cast)
  const char* next = bytes + record.StringOffset;              // NOLINT(*-pointer-arithmetic)
  const char* end = bytes + record.Length;                     // NOLINT(*-pointer-arithmetic)
  for (WORD i = 0; i < record.NumStrings && next < end; ++i) {
    std::wstring text;
    for (wchar_t c = 0; next + sizeof c <= end; next += sizeof c) {  // NOLINT(*-pointer-arithmetic)
      std::memcpy(&c, next, sizeof c);
      if (c == L'\0') {
        next += sizeof c;  // NOLINT(*-pointer-arithmetic)
        break;
      }
      text += c;
    }
    event.strings.push_back(text_of(text));
  }
  return event;
}

}  // namespace

bool Win32Platform::report_event(TextView source, EventType type, std::uint32_t id,
                                 const std::vector<Text>& strings) noexcept {
  try {
    const EventSource log(RegisterEventSourceW(nullptr, wide(source).c_str()));
    if (log.get() == nullptr) {
      return false;
    }
    std::vector<std::wstring> texts;
    std::vector<LPCWSTR> pointers;
    texts.reserve(strings.size());
    pointers.reserve(strings.size());
    for (const Text& text : strings) {
      texts.push_back(wide(text));
    }
    for (const std::wstring& text : texts) {
      pointers.push_back(text.c_str());
    }
    return ReportEventW(log.get(), type_of(type), 0, id, nullptr, static_cast<WORD>(pointers.size()), 0,
                        pointers.data(), nullptr) != FALSE;
  } catch (...) {
    return false;  // out of memory: the run goes on without its event
  }
}

std::optional<std::vector<LoggedEvent>> Win32Platform::recent_events(TextView source, std::size_t count) {
  const EventLog log(OpenEventLogW(nullptr, L"Application"));
  if (log.get() == nullptr) {
    return std::nullopt;
  }
  std::vector<LoggedEvent> events;
  std::vector<char> buffer(0x10000);
  while (events.size() < count) {
    DWORD read = 0;
    DWORD needed = 0;
    if (ReadEventLogW(log.get(), EVENTLOG_SEQUENTIAL_READ | EVENTLOG_BACKWARDS_READ, 0, buffer.data(),
                      static_cast<DWORD>(buffer.size()), &read, &needed) == FALSE) {
      if (GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed > buffer.size()) {
        buffer.resize(needed);
        continue;
      }
      // The end of the log, or a log that cannot be read further: what was read counts.
      return GetLastError() == ERROR_HANDLE_EOF || !events.empty() ? std::optional(events) : std::nullopt;
    }
    for (DWORD at = 0; at + sizeof(EVENTLOGRECORD) <= read && events.size() < count;) {
      const auto* record = reinterpret_cast<const EVENTLOGRECORD*>(buffer.data() + at);  // NOLINT
      if (record->Length == 0) {
        break;
      }
      const auto* name = reinterpret_cast<const wchar_t*>(record + 1);  // NOLINT(*-reinterpret-cast)
      if (equal_ignoring_case(text_of(name), source)) {
        events.push_back(logged(*record));
      }
      at += record->Length;
    }
  }
  return events;
}

bool Win32Platform::register_event_source(TextView source, TextView message_file) {
  RegistryKey key;
  const std::wstring name = std::wstring(sources_key) + wide(source);
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.out(), nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const std::wstring file = wide(message_file);
  const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  const auto* data = reinterpret_cast<const BYTE*>(file.c_str());  // NOLINT(*-reinterpret-cast)
  const auto* number = reinterpret_cast<const BYTE*>(&types);      // NOLINT(*-reinterpret-cast)
  return RegSetValueExW(key.get(), L"EventMessageFile", 0, REG_EXPAND_SZ, data,
                        static_cast<DWORD>(file.size() + 1) * DWORD{sizeof(wchar_t)}) == ERROR_SUCCESS &&
         RegSetValueExW(key.get(), L"TypesSupported", 0, REG_DWORD, number, sizeof types) == ERROR_SUCCESS;
}

bool Win32Platform::unregister_event_source(TextView source, TextView message_file) {
  const std::wstring name = std::wstring(sources_key) + wide(source);
  const std::optional<Text> registered =
      read_registry_string(u"HKEY_LOCAL_MACHINE\\" + text_of(name), u"EventMessageFile",
                           StringKinds::plain_or_expandable, RegistryView::own);
  if (!registered.has_value()) {
    return true;
  }
  if (!equal_ignoring_case(*registered, message_file)) {
    return true;  // another copy's: not this file's to remove
  }
  const LSTATUS status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, name.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace velmor::win32
