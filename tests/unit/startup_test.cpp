// Start-up of the whole program on the fake platform: the guard, the main window, the exit code
// and what a failed platform call does to a run.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "app/entry.h"
#include "app/globals.h"
#include "dbstart/host_name.h"
#include "fake/fake_platform.h"
#include "platform/runtime.h"
#include "ui/window_definitions.h"

namespace velmor {
namespace {

using fake::Failure;
using fake::FakePlatform;
using fake::Op;

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    gs_path.clear();
    gf_get_exename.reset();
    platform.set_registry(host_name_key, host_name_value, u"SRV1");
  }
  void TearDown() override {
    gs_path.clear();
    gf_get_exename.reset();
  }

  FakePlatform platform;
};

TEST_F(Startup, OpensTheHiddenMainWindowAndEndsWithExitCodeZero) {
  EXPECT_EQ(velmor_main(platform), 0);
  ASSERT_EQ(platform.windows.size(), 1U);
  EXPECT_EQ(platform.windows[0].name, "w_db_start");
  EXPECT_EQ(platform.windows[0].title, main_window_title);
  EXPECT_FALSE(platform.windows[0].visible);
  EXPECT_EQ(platform.open_window_count(), 0U);
  EXPECT_NE(gf_get_exename, nullptr);
  EXPECT_TRUE(platform.reported_errors.empty());
}

TEST_F(Startup, StartDirectoryIsTheProgramsFolder) {
  platform.program_file = u"C:\\Program Files\\velmor\\velmor.exe";
  velmor_main(platform);
  EXPECT_EQ(gs_path, u"C:\\Program Files\\velmor");
}

TEST_F(Startup, AnyWindowWithTheTitleEndsTheRunQuietly) {
  platform.foreign_window_titles = {u"数据库启动窗口"};
  EXPECT_EQ(velmor_main(platform), 0);
  EXPECT_TRUE(platform.windows.empty());
  EXPECT_NE(gf_get_exename, nullptr) << "the utility object exists before the guard decides";
  EXPECT_TRUE(platform.message_boxes.empty());
  EXPECT_TRUE(platform.calls_of(Op::read_ini).empty());
  EXPECT_TRUE(platform.calls_of(Op::write_ini).empty());
  EXPECT_TRUE(platform.calls_of(Op::read_registry_string).empty());
  EXPECT_TRUE(platform.calls_of(Op::create_process_snapshot).empty());
  EXPECT_TRUE(platform.launched.empty());
}

TEST_F(Startup, ACopyHoldingTheLockEndsTheRunBeforeAnythingElse) {
  platform.lock_held_elsewhere = true;
  EXPECT_EQ(velmor_main(platform), 0);
  EXPECT_TRUE(platform.windows.empty());
  EXPECT_TRUE(platform.calls_of(Op::find_window).empty());
  EXPECT_TRUE(platform.calls_of(Op::read_registry_string).empty());
  EXPECT_TRUE(platform.calls_of(Op::write_ini).empty());
  EXPECT_TRUE(platform.launched.empty());
  EXPECT_TRUE(platform.message_boxes.empty());
}

TEST_F(Startup, WithoutTheLockTheWindowSearchStillGuards) {
  platform.fail(Op::lock_instance, Failure::unsuccessful);
  platform.foreign_window_titles = {u"数据库启动窗口"};
  EXPECT_EQ(velmor_main(platform), 0);
  EXPECT_TRUE(platform.windows.empty());
  platform.foreign_window_titles.clear();
  EXPECT_EQ(velmor_main(platform), 0);
  EXPECT_EQ(platform.windows.size(), 1U) << "a run goes on when the lock cannot be made";
}

TEST_F(Startup, ATitleThatDiffersInOneCharacterDoesNotCount) {
  platform.foreign_window_titles = {u"数据库启动窗", u"数据库启动窗口 ", u"数据库起动窗口"};
  velmor_main(platform);
  ASSERT_EQ(platform.windows.size(), 1U);
}

TEST_F(Startup, TheCommandLineDoesNotChangeTheRun) {
  platform.command_line_text = u"\"C:\\app\\velmor.exe\" /anything \"at all\"";
  EXPECT_EQ(velmor_main(platform), 0);
  EXPECT_EQ(platform.windows.size(), 1U);
}

TEST_F(Startup, AFailedCallStopsTheHandlerAndIsReportedOnce) {
  platform.fail(Op::find_window, Failure::call_fails);
  EXPECT_EQ(velmor_main(platform), 1);
  ASSERT_EQ(platform.reported_errors.size(), 1U);
  EXPECT_EQ(platform.reported_errors[0].operation(), "find_window");
  EXPECT_EQ(gf_get_exename, nullptr) << "nothing after the failed step runs";
  EXPECT_TRUE(platform.windows.empty());
}

TEST_F(Startup, AFailedCallInTheMainWindowLeavesItOpen) {
  platform.fail(Op::close_window, Failure::call_fails);
  EXPECT_EQ(velmor_main(platform), 1);
  ASSERT_EQ(platform.reported_errors.size(), 1U);
  EXPECT_EQ(platform.reported_errors[0].operation(), "close_window");
  EXPECT_TRUE(platform.calls_of(Op::run_until_no_window).empty());
  EXPECT_EQ(platform.open_window_count(), 1U);
}

TEST_F(Startup, AMainWindowThatDoesNotOpenEndsTheRun) {
  platform.fail(Op::open_window, Failure::unsuccessful);
  EXPECT_EQ(velmor_main(platform), 0);
  EXPECT_TRUE(platform.windows.empty());
}

// A scripted application: its open raises what the test gives it.
class ThrowingApplication : public ApplicationEvents {
 public:
  explicit ThrowingApplication(std::function<void()> raise) : raise_(std::move(raise)) {}
  void create() override {}
  void open(TextView /*commandline*/) override { raise_(); }
  void destroy() override { destroyed = true; }
  [[nodiscard]] int exit_code() const override { return 0; }
  bool destroyed = false;

 private:
  std::function<void()> raise_;
};

TEST_F(Startup, AnyFaultInAHandlerIsReportedOnceAndDestroyStillRuns) {
  const std::vector<std::function<void()>> faults = {
      [] { throw RuntimeError("window", 1400); },
      [] { throw std::logic_error("map::at"); },
      [] { throw std::bad_alloc(); },
  };
  for (const auto& fault : faults) {
    FakePlatform p;
    ThrowingApplication application(fault);
    EXPECT_EQ(run_application(p, application, u""), 1);
    EXPECT_EQ(p.reported_errors.size(), 1U);
    EXPECT_TRUE(application.destroyed);
  }
}

TEST_F(Startup, AnUnreadableCommandLineIsReported) {
  platform.fail(Op::command_line, Failure::call_fails);
  EXPECT_EQ(velmor_main(platform), 1);
  EXPECT_EQ(platform.reported_errors.size(), 1U);
}

}  // namespace
}  // namespace velmor
