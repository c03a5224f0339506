#include "app/velmor_app.h"

#include "app/globals.h"
#include "app/run_event.h"
#include "app/switches.h"
#include "dbstart/autostart.h"
#include "dbstart/run_plan.h"
#include "platform/path.h"
#include "ui/window_definitions.h"

namespace velmor {

void velmor_app::create() {
  name_ = application_name;
  standard_.message = std::make_unique<StandardObject>();
  standard_.sqlca = std::make_unique<StandardObject>();
  standard_.sqlda = std::make_unique<StandardObject>();
  standard_.sqlsa = std::make_unique<StandardObject>();
  standard_.error = std::make_unique<StandardObject>();
}

void velmor_app::open(TextView commandline) {
  // The program's own folder, not the current directory: at logon Windows starts the
  // programs of the Run key in the system directory. In its long form: an 8.3 name from an old
  // shortcut is not stable (stripped from a volume, or given to another folder by a reinstall),
  // and it would be recorded and registered as typed.
  gs_path = directory_of(platform_.long_path(platform_.module_file_name()));

  // What the person or tool that started it asked for. A word like a switch that is none keeps
  // starting the server where someone sees the screen (an entry or shortcut others wrote), but a
  // guessed switch never starts one as SYSTEM. A report, the help or a command line not
  // understood changes nothing and needs no guard.
  Switch chosen = switch_of(commandline);
  if (chosen == Switch::unknown) {
    chosen = platform_.display_is_visible() ? Switch::none : Switch::invalid;
  }
  if (chosen == Switch::check || chosen == Switch::help || chosen == Switch::invalid) {
    gf_get_exename = std::make_unique<uf_get_exename>(platform_);
    exit_code_ = run_switch(platform_, chosen);
    return;
  }

  // The lock is taken atomically: two copies started at the same moment both pass the window
  // search before either has its window. Without the lock the search still guards.
  const bool another_copy_starts = platform_.lock_instance(instance_lock_name) == InstanceLock::held_elsewhere;
  const WindowId ll_ret = another_copy_starts ? 0 : platform_.find_window(main_window_title);

  gf_get_exename = std::make_unique<uf_get_exename>(platform_);

  if (another_copy_starts || ll_ret != 0) {
    // A running copy is busy starting the server: a plain run ends quietly; a deployment tool
    // is told to try again.
    exit_code_ = chosen == Switch::none ? 0 : exit_busy_retry;
  } else if (chosen == Switch::unregister) {
    logged_ = chosen;
    const RunRecord removed = unregister(platform_);
    exit_code_ = removed.outcome.exit_code;
    log_run(chosen, &removed);
  } else {
    logged_ = chosen;
    main_window_.set_mode(chosen == Switch::register_ ? RunMode::register_only : RunMode::plain);
    platform_.open_window(w_db_start_definition(), main_window_);
    log_run(chosen, main_window_.record() ? &*main_window_.record() : nullptr);
  }
  if (chosen != Switch::none) {
    // For the tool that ran it, where its output goes; the exit code tells the rest.
    platform_.write_output(outcome_line(chosen, exit_code()));
    return;
  }
  // The main window is closed by now. The failure message asks for a re-run as administrator:
  // with the lock released too, that re-run does the whole job while this box still waits. Where
  // nobody can see the box, the exit code alone tells it.
  const std::optional<RunRecord>& record = main_window_.record();
  if ((exit_code() & exit_autostart_missing) != 0 && record && record->plan.box != FailureBox::none &&
      platform_.display_is_visible()) {
    platform_.release_instance_lock();
    report_autostart_missing(platform_, record->plan.box == FailureBox::policy);
  }
}

void velmor_app::log_run(Switch chosen, const RunRecord* record) {
  // An event that cannot be written changes nothing else in the run.
  try {
    // Registered where an administrator or SYSTEM runs it: Event Viewer then shows the texts.
    if (chosen == Switch::register_ && record != nullptr) {
      platform_.register_event_source(event_source, record->facts.program.path);
    }
    const RunEvent event = run_event(chosen, exit_code(), record, platform_.run_context());
    platform_.report_event(event_source, event.type, event.id, event.strings);
    if (chosen == Switch::unregister && exit_code() == 0 && record != nullptr) {
      platform_.unregister_event_source(event_source, record->facts.program.path);
    }
  } catch (const RuntimeError&) {  // NOLINT(bugprone-empty-catch): see above
  }
}

bool velmor_app::failed(const RuntimeError& error) noexcept {
  if (!logged_.has_value()) {
    return false;  // before the guard, or /check and /?: no event
  }
  try {
    const RunEvent event = error_event(*logged_, error, platform_.run_context());
    platform_.report_event(event_source, event.type, event.id, event.strings);
    // /register and /unregister are run by tools: their output and exit code tell it, no box.
    if (*logged_ != Switch::none) {
      platform_.write_output(outcome_line(*logged_, exit_runtime_error));
      return true;
    }
  } catch (...) {  // NOLINT(bugprone-empty-catch): the run's own error is reported; its event is not worth another
  }
  return false;
}

void velmor_app::destroy() {
  standard_.sqlca.reset();
  standard_.sqlda.reset();
  standard_.sqlsa.reset();
  standard_.error.reset();
  standard_.message.reset();
}

}  // namespace velmor
