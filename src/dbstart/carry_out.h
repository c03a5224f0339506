#pragma once
// Carries a run's plan out: the server start and the steps on the autostart entries, in that
// order. Where a step is refused, the exit code says so; nothing is retried.
#include "dbstart/run_plan.h"

namespace velmor {

// The exit code of the steps as they went (the settings' bits apart).
int carry_out(Platform& platform, const RunFacts& facts, const RunPlan& plan);

}  // namespace velmor
