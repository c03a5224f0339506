#include "dbstart/carry_out.h"

namespace velmor {

RunOutcome carry_out(Platform& platform, const RunFacts& facts, const RunPlan& plan) {
  // The file found is passed as the program to start; the command line itself stays as composed.
  // The server works in the start path: not in whatever folder this program was started from,
  // which the server would keep busy.
  RunOutcome outcome;
  if (plan.server == ServerStep::start) {
    outcome.server_process = platform.run(*facts.server.program, plan.command_line, facts.settings.starpath);
  }

  // Only what the plan names is written: security software that guards the key sees no write at
  // a logon that needs none.
  for (const EntryStep& step : plan.steps) {
    const EntryFacts& entry = facts.entries[step.entry];
    StepDone how;
    switch (step.action) {
      case EntryAction::write:
      case EntryAction::quote:
      case EntryAction::replace:
        how.value = write_entry(platform, entry.view, entry.name, facts.program.command);
        break;
      case EntryAction::remove: how.value = remove_entry(platform, entry.view, entry.switch_key, entry.name); break;
      case EntryAction::keep:
      case EntryAction::leave_to_copy: break;
    }
    // Starting at logon is what every run is for: the switch goes back on where this user may.
    if (step.switch_on) {
      how.switched_on = switch_on(platform, entry.switch_key, entry.name);
    }
    outcome.done.push_back(how);
  }
  outcome.exit_code = exit_code_after(facts, plan, outcome.done,
                                      plan.server != ServerStep::start || outcome.server_process.has_value());
  return outcome;
}

}  // namespace velmor
