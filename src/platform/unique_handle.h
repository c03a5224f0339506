#pragma once
// Owns one system handle obtained through the platform and releases it exactly once.
#include <utility>

#include "platform/platform.h"

namespace velmor {

class UniqueHandle {
 public:
  UniqueHandle(Platform& platform, Handle handle) : platform_(&platform), handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : platform_(other.platform_), handle_(std::exchange(other.handle_, 0)) {}
  UniqueHandle& operator=(UniqueHandle&&) = delete;
  ~UniqueHandle() {
    if (handle_ != 0) {
      platform_->close_handle(handle_);  // nothing sensible is left to do if this fails
    }
  }

  [[nodiscard]] Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }

 private:
  Platform* platform_;
  Handle handle_;
};

}  // namespace velmor
