# Native unit tests of the portable core against the in-memory fake platform.
find_package(GTest REQUIRED)
include(GoogleTest)

add_library(velmor_fake STATIC tests/fake/fake_platform.cpp)
target_link_libraries(velmor_fake PUBLIC velmor_core)
target_include_directories(velmor_fake PUBLIC tests)

add_executable(velmor_unit_tests
  tests/unit/command_line_tail_test.cpp
  tests/unit/path_test.cpp
  tests/unit/run_event_test.cpp
  tests/unit/run_plan_test.cpp
  tests/unit/server_command_test.cpp
  tests/unit/settings_encoding_test.cpp
  tests/unit/setup_dialog_test.cpp
  tests/unit/start_sequence_test.cpp
  tests/unit/startup_test.cpp
  tests/unit/switches_test.cpp
  tests/unit/uf_get_exename_test.cpp
)
target_link_libraries(velmor_unit_tests PRIVATE velmor_fake GTest::gtest_main)
gtest_discover_tests(velmor_unit_tests DISCOVERY_MODE PRE_TEST)

if(VELMOR_FUZZ)
  foreach(target fuzz_command_line_tail fuzz_server_command)
    add_executable(${target} tests/fuzz/${target}.cpp)
    target_link_libraries(${target} PRIVATE velmor_core -fsanitize=fuzzer)
  endforeach()
endif()
