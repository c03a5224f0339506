#pragma once
// The application object: start-up, the instance guard and the main window.
#include <memory>

#include "app/switches.h"
#include "dbstart/w_db_start.h"
#include "platform/runtime.h"

namespace velmor {

inline constexpr std::u16string_view application_name = u"velmor";
// Held by the copy that is starting the server, for the rest of its run.
inline constexpr std::u16string_view instance_lock_name = u"velmor.w_db_start";

class velmor_app : public ApplicationEvents {
 public:
  explicit velmor_app(Platform& platform) : platform_(platform), main_window_(platform) {}

  void create() override;
  void open(TextView commandline) override;
  void destroy() override;
  [[nodiscard]] int exit_code() const override { return exit_code_ | main_window_.outcome(); }
  bool failed(const RuntimeError& error) noexcept override;

  [[nodiscard]] const Text& name() const { return name_; }

 private:
  // The runtime's shared objects the application owns from create to destroy. Nothing in this
  // program fills them; they exist so the life cycle stays the one callers expect.
  struct StandardObject {};
  struct StandardObjects {
    std::unique_ptr<StandardObject> message, sqlca, sqlda, sqlsa, error;
  };

  // The run's one event in the Application log; with /register, the source's registration first,
  // and with /unregister its removal after.
  void log_run(Switch chosen, const RunRecord* record);

  Platform& platform_;
  Text name_;
  StandardObjects standard_;
  w_db_start main_window_;
  int exit_code_ = 0;             // of a switch that opens no main window
  std::optional<Switch> logged_;  // a run that writes its event, once past the guard
};

}  // namespace velmor
