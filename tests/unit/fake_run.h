#pragma once
// Whole runs of the program on a fake workstation that knows its host name; the program's two
// globals are cleared after each case, as a new process would start.
#include <gtest/gtest.h>

#include "app/entry.h"
#include "app/globals.h"
#include "dbstart/host_name.h"
#include "fake/fake_platform.h"

namespace velmor {

class FakeRun : public ::testing::Test {
 protected:
  explicit FakeRun(std::u16string_view program_file) {
    platform.program_file = program_file;
    platform.set_registry(host_name_key, host_name_value, u"SRV1");
  }
  void TearDown() override {
    gs_path.clear();
    gf_get_exename.reset();
  }
  // One run with this command-line tail.
  int run(std::u16string_view tail = u"") {
    platform.command_line_text = u"\"" + platform.program_file + u"\" " + Text(tail);
    return velmor_main(platform);
  }

  fake::FakePlatform platform;
};

}  // namespace velmor
