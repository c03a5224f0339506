#pragma once
#include "platform/platform.h"

namespace velmor {

inline constexpr std::u16string_view host_name_key =
    u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
inline constexpr std::u16string_view host_name_value = u"NV HostName";

// The machine's host name as the registry holds it; empty when missing or unreadable.
inline Text read_host_name(Platform& platform) {
  // HKLM\SYSTEM has one view only.
  return platform
      .read_registry_string(host_name_key, host_name_value, Platform::StringKinds::plain, Platform::RegistryView::own)
      .value_or(Text());
}

}  // namespace velmor
