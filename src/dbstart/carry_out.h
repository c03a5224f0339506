#pragma once
// Carries a run's plan out: the server start and the steps on the autostart entries, in that
// order. Where a step is refused, the exit code says so; nothing is retried.
#include "dbstart/run_plan.h"

namespace velmor {

// How the plan went.
struct RunOutcome {
  int exit_code = 0;                            // the settings' bits apart
  std::optional<std::uint32_t> server_process;  // the server started, where one was
  std::vector<StepDone> done;                   // one a step of the plan
};

RunOutcome carry_out(Platform& platform, const RunFacts& facts, const RunPlan& plan);

// One run's facts, plan and how it went: what its event tells.
struct RunRecord {
  RunFacts facts;
  RunPlan plan;
  RunOutcome outcome;
};

}  // namespace velmor
