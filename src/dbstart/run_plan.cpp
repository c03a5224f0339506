#include "dbstart/run_plan.h"

#include <algorithm>

#include "app/globals.h"

namespace velmor {
namespace {

bool plainly_this_program(EntryStarts starts) {
  return starts == EntryStarts::this_program || starts == EntryStarts::this_program_unquoted;
}

// Before the database, an entry that starts another copy that exists stays with it when that
// copy has its database, or is the only one of the two with a "datebase" folder, or where
// neither tells them apart: a copy tried in Downloads yields to the client's folder.
bool copy_keeps(const RunFacts& facts, const EntryFacts& copy) {
  return copy.copy_has_database || !(facts.has_database_folder && !copy.copy_has_database_folder);
}

bool no_database(const RunFacts& facts) {
  return facts.database_state == FileState::none || facts.database_state == FileState::folder;
}

// What a step makes of its entry: whether it then plainly starts this program, and is enabled.
bool starts_after(const EntryFacts& entry, const EntryStep* step, StepDone done) {
  bool plain = plainly_this_program(entry.starts);
  bool enabled = !entry.switched_off;
  if (step != nullptr) {
    switch (step->action) {
      case EntryAction::write:
      case EntryAction::quote:
      case EntryAction::replace: plain = plain || done.value; break;
      case EntryAction::remove: plain = plain && !done.value; break;
      case EntryAction::keep:
      case EntryAction::leave_to_copy: break;
    }
    if (step->action == EntryAction::write) {
      enabled = !entry.switched_off || done.switched_on;  // a new value under an old name's switch
    } else if (step->switch_on) {
      enabled = enabled || done.switched_on;
    }
  }
  return plain && enabled;
}

bool any_in_place(const RunFacts& facts, const RunPlan& plan, const std::vector<StepDone>& done) {
  if (facts.policy != RunKeyPolicy::none) {
    return false;
  }
  for (std::size_t i = 0; i < facts.entries.size(); ++i) {
    const auto step =
        std::find_if(plan.steps.begin(), plan.steps.end(), [&](const EntryStep& s) { return s.entry == i; });
    const bool has_step = step != plan.steps.end();
    const StepDone how = has_step ? done[static_cast<std::size_t>(step - plan.steps.begin())] : StepDone{};
    if (starts_after(facts.entries[i], has_step ? &*step : nullptr, how)) {
      return true;
    }
  }
  return false;
}

// Each step as this user is allowed to do it.
std::vector<StepDone> as_allowed(const RunFacts& facts, const RunPlan& plan) {
  std::vector<StepDone> done;
  for (const EntryStep& step : plan.steps) {
    done.push_back({facts.entries[step.entry].may_write, facts.may_switch_on});
  }
  return done;
}

void plan_entries(const RunFacts& facts, RunMode mode, RunPlan& plan) {
  const auto add = [&](std::size_t i, EntryAction action) {
    const EntryFacts& entry = facts.entries[i];
    plan.steps.push_back({i, action, action != EntryAction::leave_to_copy && entry.switched_off});
  };
  bool ours = false;  // an entry of the database's name is this program's
  for (std::size_t i = 0; i < facts.entries.size(); ++i) {
    const EntryFacts& entry = facts.entries[i];
    if (mode == RunMode::unregister) {
      if (entry.starts != EntryStarts::nothing && entry.starts != EntryStarts::another_program &&
          entry.starts != EntryStarts::missing_program) {
        plan.steps.push_back({i, EntryAction::remove, false});
      }
      continue;
    }
    if (!entry.named) {
      continue;
    }
    switch (entry.starts) {
      case EntryStarts::this_program: add(i, EntryAction::keep); break;
      case EntryStarts::this_program_unquoted:
      case EntryStarts::hijacked: add(i, EntryAction::quote); break;
      case EntryStarts::this_program_switch: add(i, EntryAction::replace); break;
      case EntryStarts::nothing:
      case EntryStarts::another_program:
      case EntryStarts::missing_program: continue;
    }
    ours = true;
  }
  if (mode == RunMode::unregister || ours) {
    return;
  }
  // None of the database's name is this program's: its own view's place takes this program's
  // entry, unless another copy keeps it.
  const auto copy = std::find_if(facts.entries.begin(), facts.entries.end(), [](const EntryFacts& entry) {
    return entry.named && entry.starts == EntryStarts::another_program;
  });
  if (mode == RunMode::plain && no_database(facts) && copy != facts.entries.end() && copy_keeps(facts, *copy)) {
    plan.left_to_copy = true;
    add(static_cast<std::size_t>(copy - facts.entries.begin()), EntryAction::leave_to_copy);
    return;
  }
  add(0, EntryAction::write);
}

}  // namespace

SettingsPlan plan_settings(bool file_readable, TextView ls_diskname, bool display_visible) {
  SettingsPlan plan;
  if (!file_readable) {
    plan.stop = true;
    return plan;
  }
  plan.writes = {{setup_key::apppath, gs_path}, {setup_key::setup, u"1"}};
  // The host name is the server name; without one, the user names the server. Where nobody can
  // see the dialog, the run goes on as when it is closed unsaved.
  if (!ls_diskname.empty()) {
    plan.writes.emplace_back(setup_key::servername, ls_diskname);
  } else if (display_visible) {
    plan.dialog = true;
  } else {
    plan.exit_bits = exit_name_not_asked;
  }
  return plan;
}

RunPlan plan_run(const RunFacts& facts, RunMode mode) {
  RunPlan plan;
  plan.mode = mode;
  if (mode != RunMode::unregister && no_database(facts)) {
    plan.server = mode == RunMode::plain ? ServerStep::no_database : ServerStep::not_asked;
  } else if (mode == RunMode::plain && !facts.running.empty()) {
    plan.server = ServerStep::already_running;
  } else if (mode == RunMode::plain && facts.server.program.has_value()) {
    plan.server = ServerStep::start;
    plan.command_line = server_command_line(facts.settings);
  } else if (mode == RunMode::plain) {
    plan.server = ServerStep::not_found;
  }

  plan_entries(facts, mode, plan);
  // The tools that run the switches read the exit code; a box would hold them up.
  if (mode == RunMode::plain) {
    plan.box = facts.policy == RunKeyPolicy::none ? FailureBox::autostart_missing : FailureBox::policy;
  }
  plan.in_place_now = any_in_place(facts, {}, {});
  const std::vector<StepDone> allowed = as_allowed(facts, plan);
  plan.in_place_expected = any_in_place(facts, plan, allowed);
  plan.exit_code = exit_code_after(facts, plan, allowed, true);
  return plan;
}

int exit_code_after(const RunFacts& facts, const RunPlan& plan, const std::vector<StepDone>& done, bool launched) {
  int code = 0;
  if (no_database(facts)) {
    code |= exit_no_database;
  }
  if (plan.server == ServerStep::not_found || (plan.server == ServerStep::start && !launched)) {
    code |= exit_server_not_started;
  }
  if (plan.left_to_copy) {
    return code | exit_left_to_copy;
  }
  if (plan.mode != RunMode::unregister) {
    return any_in_place(facts, plan, done) ? code : code | exit_autostart_missing;
  }
  // /unregister: none of this program's entries may remain.
  for (std::size_t i = 0; i < plan.steps.size(); ++i) {
    if (!done[i].value) {
      return code | exit_autostart_missing;
    }
  }
  return code;
}

}  // namespace velmor
