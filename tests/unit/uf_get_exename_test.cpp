#include "process/uf_get_exename.h"

#include <gtest/gtest.h>

#include "fake/fake_platform.h"

namespace velmor {
namespace {

using fake::Failure;
using fake::FakePlatform;
using fake::Op;

class FindProcess : public ::testing::Test {
 protected:
  FakePlatform platform;
  uf_get_exename utility{platform};

  std::int32_t find(std::u16string_view name) {
    const auto id = utility.of_getexe(name);
    EXPECT_EQ(platform.open_handle_count(), 0U) << "the snapshot handle must be released";
    return id;
  }
};

TEST_F(FindProcess, ReturnsZeroWhenNothingMatches) {
  platform.processes = {{4, "System"}, {100, "explorer.exe"}};
  EXPECT_EQ(find(u"dbsrv12.exe"), 0);
}

TEST_F(FindProcess, TheLastOfSeveralMatchesWins) {
  platform.processes = {{4, "System"}, {200, "dbsrv12.exe"}, {300, "notepad.exe"}, {400, "dbsrv12.exe"}};
  EXPECT_EQ(find(u"dbsrv12.exe"), 400);
}

TEST_F(FindProcess, FindsAMatchInTheFirstEntry) {
  // Under Wine the first entry is a real program, not the idle process.
  platform.processes = {{32, "dbsrv12.exe"}, {48, "services.exe"}};
  EXPECT_EQ(find(u"dbsrv12.exe"), 32);
}

TEST_F(FindProcess, ComparesTheWholeFileName) {
  platform.processes = {{10, "dbsrv12.exe"}, {11, "mydbsrv12.exe"}, {12, "dbsrv12.exe.bak"}};
  EXPECT_EQ(find(u"C:\\sa12\\dbsrv12.exe"), 0);
  EXPECT_EQ(find(u"dbsrv12"), 0);
  EXPECT_EQ(find(u"srv12.exe"), 0);
  EXPECT_EQ(find(u""), 0);
}

TEST_F(FindProcess, IgnoresTheLetterCaseOfTheRunningFile) {
  platform.processes = {{4, "System"}, {77, "DBSRV12.EXE"}};
  EXPECT_EQ(find(u"dbsrv12.exe"), 77);
}

TEST_F(FindProcess, ReadsANameThatFillsTheWholeField) {
  // The system may leave no NUL in the 260-byte field: the name then ends with the field.
  platform.processes = {{4, std::string(259, 'a')}, {5, std::string(260, 'b')}};
  EXPECT_EQ(find(std::u16string(259, u'a')), 4);
  EXPECT_EQ(find(std::u16string(260, u'b')), 5);
}

TEST_F(FindProcess, AnIdTooLargeForTheResultReadsNegative) {
  platform.processes = {{0x80000004U, "dbsrv12.exe"}};
  EXPECT_LT(find(u"dbsrv12.exe"), 0);
}

TEST_F(FindProcess, AnUnreadableTableReadsAsNoMatch) {
  platform.processes = {{200, "dbsrv12.exe"}};
  platform.fail(Op::create_process_snapshot, Failure::unsuccessful, 0, 1);
  EXPECT_EQ(find(u"dbsrv12.exe"), 0);
  platform.fail(Op::first_process, Failure::unsuccessful, 0, 1);
  EXPECT_EQ(find(u"dbsrv12.exe"), 0);
  EXPECT_EQ(find(u"dbsrv12.exe"), 200) << "failures were injected once each";
}

TEST_F(FindProcess, AFailingCallStopsAndStillReleasesTheSnapshot) {
  platform.processes = {{200, "a.exe"}, {300, "dbsrv12.exe"}};
  platform.fail(Op::next_process, Failure::call_fails);
  EXPECT_THROW(utility.of_getexe(u"dbsrv12.exe"), RuntimeError);
  EXPECT_EQ(platform.open_handle_count(), 0U);
}

class KillProcess : public ::testing::Test {
 protected:
  FakePlatform platform;
  uf_get_exename utility{platform};
};

TEST_F(KillProcess, EndsARunningProcessWithExitCodeZero) {
  platform.processes = {{200, "dbsrv12.exe"}};
  EXPECT_TRUE(utility.of_killprocess(200));
  EXPECT_TRUE(platform.processes.empty());
  EXPECT_EQ(platform.calls_of(Op::terminate_process), std::vector<std::string>{"terminate_process 0"});
  EXPECT_EQ(platform.open_handle_count(), 0U);
}

TEST_F(KillProcess, RefusesNegativeIdsWithoutAnyCall) {
  EXPECT_FALSE(utility.of_killprocess(-1));
  EXPECT_TRUE(platform.calls.empty());
}

TEST_F(KillProcess, IdZeroAndUnknownIdsCannotBeOpened) {
  EXPECT_FALSE(utility.of_killprocess(0));
  EXPECT_FALSE(utility.of_killprocess(12345));
  EXPECT_TRUE(platform.calls_of(Op::terminate_process).empty());
}

TEST_F(KillProcess, ARefusedTerminationIsFalseAndReleasesTheHandle) {
  platform.processes = {{200, "dbsrv12.exe"}};
  platform.fail(Op::terminate_process, Failure::unsuccessful);
  EXPECT_FALSE(utility.of_killprocess(200));
  EXPECT_EQ(platform.processes.size(), 1U);
  EXPECT_EQ(platform.open_handle_count(), 0U);
}

}  // namespace
}  // namespace velmor
