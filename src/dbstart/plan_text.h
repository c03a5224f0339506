#pragma once
// The words for the plan's facts and steps, shared by /check's report and each run's event, so
// that both say the same thing the same way.
#include "dbstart/run_plan.h"

namespace velmor {

// What Windows would start from an entry.
TextView starts_text(EntryStarts starts);
// What the run does with an entry.
TextView step_text(EntryAction action);

}  // namespace velmor
