#pragma once
// A platform call that could not be carried out at all (as opposed to one that returned an
// unsuccessful result). It stops the running handler at that step; the runtime reports it.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace velmor {

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(const std::string& operation, std::uint32_t system_code)
      : std::runtime_error(operation), operation_(operation), system_code_(system_code) {}

  [[nodiscard]] const std::string& operation() const { return operation_; }
  [[nodiscard]] std::uint32_t system_code() const { return system_code_; }

 private:
  std::string operation_;
  std::uint32_t system_code_;
};

}  // namespace velmor
