#pragma once
// RAII owners of the raw Windows handles this layer opens itself.
#include <windows.h>

#include <utility>

namespace velmor::win32 {

template <typename Raw, typename Traits>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Raw raw) : raw_(raw) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : raw_(std::exchange(other.raw_, Raw{})) {}
  Owned& operator=(Owned&& other) noexcept {
    std::swap(raw_, other.raw_);
    return *this;
  }
  ~Owned() {
    if (raw_ != Raw{}) {
      Traits::release(raw_);
    }
  }
  [[nodiscard]] Raw get() const { return raw_; }
  Raw* out() { return &raw_; }

 private:
  Raw raw_{};
};

struct KernelHandleTraits {
  static void release(HANDLE h) { CloseHandle(h); }
};
struct RegistryKeyTraits {
  static void release(HKEY k) { RegCloseKey(k); }
};
struct GdiObjectTraits {
  static void release(HGDIOBJ o) { DeleteObject(o); }
};

using KernelHandle = Owned<HANDLE, KernelHandleTraits>;
using RegistryKey = Owned<HKEY, RegistryKeyTraits>;
using GdiObject = Owned<HGDIOBJ, GdiObjectTraits>;
struct LibraryTraits {
  static void release(HMODULE m) { FreeLibrary(m); }
};
using LibraryHandle = Owned<HMODULE, LibraryTraits>;
struct EventSourceTraits {
  static void release(HANDLE h) { DeregisterEventSource(h); }
};
using EventSource = Owned<HANDLE, EventSourceTraits>;
struct EventLogTraits {
  static void release(HANDLE h) { CloseEventLog(h); }
};
using EventLog = Owned<HANDLE, EventLogTraits>;

}  // namespace velmor::win32
