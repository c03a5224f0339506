// The run's decisions, facts in and plan out, with no platform: every rule of the server start
// and the autostart entries is a row here, for plain runs, /register and /unregister alike.
#include "dbstart/run_plan.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace velmor {
namespace {

using Starts = EntryStarts;
using Action = EntryAction;

EntryFacts entry(Starts starts, RunView view = RunView::own, bool named = true) {
  EntryFacts facts;
  facts.view = view;
  facts.name = named ? u"qzdb" : u"client";
  facts.named = named;
  facts.starts = starts;
  if (starts != Starts::nothing) {
    facts.value = u"x";
  }
  facts.may_write = true;
  return facts;
}

// A workstation where all is in order but the entry: the database there, the server found.
RunFacts workstation(std::vector<EntryFacts> entries) {
  RunFacts facts;
  facts.settings.dbname = u"qzdb";
  facts.settings.starpath = u"D:\\app";
  facts.database_state = FileState::disk_file;
  facts.has_database_folder = true;
  facts.server.program = u"C:\\SQLAny12\\Bin32\\dbsrv12.exe";
  facts.entries = std::move(entries);
  facts.may_switch_on = true;
  return facts;
}

using Change = std::function<void(RunFacts&)>;
const Change as_is = [](RunFacts&) {};
const Change no_database = [](RunFacts& f) { f.database_state = FileState::none; };
Change then(const Change& first, const Change& second) {
  return [=](RunFacts& f) {
    first(f);
    second(f);
  };
}
Change refused(std::size_t i) {
  return [=](RunFacts& f) { f.entries[i].may_write = false; };
}
Change switched_off(std::size_t i) {
  return [=](RunFacts& f) { f.entries[i].switched_off = true; };
}
// Another copy's entry: whether that copy has its database and a "datebase" folder.
Change copy(bool database, bool folder) {
  return [=](RunFacts& f) {
    f.entries[0].copy_has_database = database;
    f.entries[0].copy_has_database_folder = folder;
  };
}

TEST(RunPlan, EachRuleOnceFromFactsToPlan) {
  const Change no_switching = [](RunFacts& f) { f.may_switch_on = false; };
  const Change our_folder_bare = [](RunFacts& f) { f.has_database_folder = false; };
  const struct Row {
    const char* what;
    std::vector<EntryFacts> entries;
    Change change;
    RunMode mode;
    std::vector<std::pair<std::size_t, Action>> steps;
    int exit_code;
    bool in_place_now;
  } rows[] = {
      {"no entry: written", {entry(Starts::nothing)}, as_is, RunMode::plain, {{0, Action::write}}, 0, false},
      {"no entry, not ours to write",
       {entry(Starts::nothing)},
       refused(0),
       RunMode::plain,
       {{0, Action::write}},
       4,
       false},
      {"this program's: kept", {entry(Starts::this_program)}, refused(0), RunMode::plain, {{0, Action::keep}}, 0, true},
      {"switched off: switched on",
       {entry(Starts::this_program)},
       switched_off(0),
       RunMode::plain,
       {{0, Action::keep}},
       0,
       false},
      {"switched off, not ours to switch",
       {entry(Starts::this_program)},
       then(switched_off(0), no_switching),
       RunMode::plain,
       {{0, Action::keep}},
       4,
       false},
      {"switched off in one view, enabled in the other: in place",
       {entry(Starts::this_program), entry(Starts::this_program, RunView::view64)},
       then(switched_off(0), no_switching),
       RunMode::plain,
       {{0, Action::keep}, {1, Action::keep}},
       0,
       true},
      {"enabled under another name: in place, this name written where it may be",
       {entry(Starts::nothing), entry(Starts::this_program, RunView::own, false)},
       refused(0),
       RunMode::plain,
       {{0, Action::write}},
       0,
       true},
      {"unquoted with blanks: quoted, and in place without",
       {entry(Starts::this_program_unquoted)},
       refused(0),
       RunMode::plain,
       {{0, Action::quote}},
       0,
       true},
      {"hijacked by a file earlier in its path: quoted",
       {entry(Starts::hijacked)},
       as_is,
       RunMode::plain,
       {{0, Action::quote}},
       0,
       false},
      {"hijacked, not ours to quote",
       {entry(Starts::hijacked)},
       refused(0),
       RunMode::plain,
       {{0, Action::quote}},
       4,
       false},
      {"hijacked, before the database too",
       {entry(Starts::hijacked)},
       no_database,
       RunMode::plain,
       {{0, Action::quote}},
       16,
       false},
      {"with a switch: replaced",
       {entry(Starts::this_program_switch)},
       as_is,
       RunMode::plain,
       {{0, Action::replace}},
       0,
       false},
      {"with a switch under another name: no start",
       {entry(Starts::nothing), entry(Starts::this_program_switch, RunView::own, false)},
       refused(0),
       RunMode::plain,
       {{0, Action::write}},
       4,
       false},
      {"a program that is gone: taken over",
       {entry(Starts::missing_program)},
       as_is,
       RunMode::plain,
       {{0, Action::write}},
       0,
       false},
      {"another copy, with the database here: taken over",
       {entry(Starts::another_program)},
       copy(true, true),
       RunMode::plain,
       {{0, Action::write}},
       0,
       false},
      {"the policy ignores the Run key",
       {entry(Starts::this_program)},
       [](RunFacts& f) { f.policy = RunKeyPolicy::user; },
       RunMode::plain,
       {{0, Action::keep}},
       4,
       false},
      // Before the database: which of two copies keeps the entry.
      {"no database, no entry: registered",
       {entry(Starts::nothing)},
       no_database,
       RunMode::plain,
       {{0, Action::write}},
       16,
       false},
      {"no database; the copy has its own: left to it",
       {entry(Starts::another_program)},
       then(no_database, copy(true, false)),
       RunMode::plain,
       {{0, Action::leave_to_copy}},
       48,
       false},
      {"neither has one; only this folder has datebase: taken",
       {entry(Starts::another_program)},
       then(no_database, copy(false, false)),
       RunMode::plain,
       {{0, Action::write}},
       16,
       false},
      {"neither has one; only the copy's folder has datebase: left",
       {entry(Starts::another_program)},
       then(no_database, then(copy(false, true), our_folder_bare)),
       RunMode::plain,
       {{0, Action::leave_to_copy}},
       48,
       false},
      {"neither has one nor a datebase folder: stays",
       {entry(Starts::another_program)},
       then(no_database, then(copy(false, false), our_folder_bare)),
       RunMode::plain,
       {{0, Action::leave_to_copy}},
       48,
       false},
      {"/register takes it all the same",
       {entry(Starts::another_program)},
       then(no_database, copy(true, true)),
       RunMode::register_only,
       {{0, Action::write}},
       16,
       false},
      // The server.
      {"no server program anywhere",
       {entry(Starts::this_program)},
       [](RunFacts& f) { f.server.program.reset(); },
       RunMode::plain,
       {{0, Action::keep}},
       2,
       true},
      {"none found, one runs",
       {entry(Starts::this_program)},
       [](RunFacts& f) {
         f.server.program.reset();
         f.running.push_back({900, {}});
       },
       RunMode::plain,
       {{0, Action::keep}},
       0,
       true},
      {"no database and no server program: only the database is missing",
       {entry(Starts::this_program)},
       then(no_database, [](RunFacts& f) { f.server.program.reset(); }),
       RunMode::plain,
       {{0, Action::keep}},
       16,
       true},
      // /unregister: by program, under any name, in any view.
      {"/unregister removes every entry of this program's file",
       {entry(Starts::this_program_unquoted, RunView::own, false), entry(Starts::hijacked, RunView::view64, false),
        entry(Starts::this_program_switch, RunView::own, false)},
       as_is,
       RunMode::unregister,
       {{0, Action::remove}, {1, Action::remove}, {2, Action::remove}},
       0,
       true},
      {"/unregister, one not ours to remove",
       {entry(Starts::this_program, RunView::own, false), entry(Starts::this_program, RunView::view64, false)},
       refused(1),
       RunMode::unregister,
       {{0, Action::remove}, {1, Action::remove}},
       4,
       true},
      {"/unregister leaves another copy's entry",
       {entry(Starts::another_program)},
       as_is,
       RunMode::unregister,
       {},
       0,
       false},
  };
  for (const Row& row : rows) {
    RunFacts facts = workstation(row.entries);
    row.change(facts);
    const RunPlan plan = plan_run(facts, row.mode);
    std::vector<std::pair<std::size_t, Action>> steps;
    for (const EntryStep& step : plan.steps) {
      steps.emplace_back(step.entry, step.action);
    }
    EXPECT_EQ(steps, row.steps) << row.what;
    EXPECT_EQ(plan.exit_code, row.exit_code) << row.what;
    EXPECT_EQ(plan.in_place_now, row.in_place_now) << row.what;
  }
}

TEST(RunPlan, TheServerStartsOnlyWithItsDatabaseAndWhereNoneRuns) {
  RunFacts facts = workstation({entry(Starts::this_program)});
  facts.settings.servername = u"SRV1";
  facts.settings.port = u"3362";
  facts.settings.startype = u"显示图标";
  EXPECT_EQ(plan_run(facts, RunMode::plain).server, ServerStep::start);
  EXPECT_EQ(plan_run(facts, RunMode::plain).command_line,
            u"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} D:\\app\\datebase\\qzdb.db");
  EXPECT_EQ(plan_run(facts, RunMode::register_only).server, ServerStep::not_asked);
  facts.running.push_back({900, {}});
  EXPECT_EQ(plan_run(facts, RunMode::plain).server, ServerStep::already_running);
  facts.database_state = FileState::folder;
  EXPECT_EQ(plan_run(facts, RunMode::plain).server, ServerStep::no_database);
  facts.database_state = FileState::unknown;  // the server says what it cannot open
  EXPECT_EQ(plan_run(facts, RunMode::plain).server, ServerStep::already_running);
}

// What the run reports is how its steps went, not what the plan expected.
TEST(RunPlan, TheExitCodeFollowsTheStepsAsTheyWent) {
  RunFacts facts = workstation({entry(Starts::hijacked), entry(Starts::nothing, RunView::view64)});
  const RunPlan plan = plan_run(facts, RunMode::plain);
  EXPECT_EQ(exit_code_after(facts, plan, {{true, true}}, true), 0);
  EXPECT_EQ(exit_code_after(facts, plan, {{false, true}}, true), 4);
  facts.server.program.reset();
  facts.entries[0].starts = Starts::this_program;
  const RunPlan keep = plan_run(facts, RunMode::plain);
  EXPECT_EQ(exit_code_after(facts, keep, {{}}, false), 2);
}

}  // namespace
}  // namespace velmor
