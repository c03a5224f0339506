#pragma once
// One event a run in the Application log, where administrators and fleet tools look: what was
// done and the facts that decided it, for "the database didn't start this morning".
#include <vector>

#include "app/switches.h"
#include "dbstart/carry_out.h"
#include "platform/runtime_error.h"

namespace velmor {

inline constexpr std::u16string_view event_source = u"velmor";

// The event IDs, as the message table (velmor_events.mc), the README and the guide list them.
namespace event_id {
inline constexpr std::uint32_t run_done = 1000;
inline constexpr std::uint32_t register_done = 1001;
inline constexpr std::uint32_t unregister_done = 1002;
inline constexpr std::uint32_t warning = 2000;  // plus the exit code's part that matters most
inline constexpr std::uint32_t runtime_error = 3001;
}  // namespace event_id

struct RunEvent {
  EventType type;
  std::uint32_t id;
  // The text, one fact a line; the user; the exit code. Event Viewer inserts the first into the
  // message of the ID; /check reads the other two back.
  std::vector<Text> strings;
};

// The event of a plain run, /register or /unregister that ended with `exit_code`.
RunEvent run_event(Switch chosen, int exit_code, const RunRecord* record, const RunContext& who);
// The event of a run that a run-time error ended.
RunEvent error_event(Switch chosen, const RuntimeError& error, const RunContext& who);

// /check's lines on the last runs, from the newest events of this program; one line where the
// log cannot be read.
Text last_runs(const std::optional<std::vector<LoggedEvent>>& events);

}  // namespace velmor
