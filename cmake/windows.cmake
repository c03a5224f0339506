# The Windows program and the small Win32 helper programs its end-to-end tests drive.
add_library(velmor_win32 STATIC
  src/platform/win32/application.cpp
  src/platform/win32/event_log.cpp
  src/platform/win32/file_names.cpp
  src/platform/win32/process_snapshot.cpp
  src/platform/win32/process_start.cpp
  src/platform/win32/profile.cpp
  src/platform/win32/registry.cpp
  src/platform/win32/report.cpp
  src/platform/win32/run_context.cpp
  src/platform/win32/settings_file.cpp
  src/platform/win32/text.cpp
  src/platform/win32/window_builder.cpp
  src/platform/win32/windows.cpp
)
target_link_libraries(velmor_win32 PUBLIC velmor_core)
target_compile_definitions(velmor_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

# The oldest Windows each build starts on: Windows XP SP3 for the 32-bit one, Windows XP x64 and
# Server 2003 SP2 for the 64-bit one. The headers then declare nothing newer, so a call that
# Windows XP lacks does not compile; what later Windows adds is looked up at run time.
# scripts/check-imports checks the built programs against the same version.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VELMOR_OLDEST_WINDOWS 0x0502)
else()
  set(VELMOR_OLDEST_WINDOWS 0x0501)
endif()
target_compile_definitions(velmor_win32 PUBLIC _WIN32_WINNT=${VELMOR_OLDEST_WINDOWS} WINVER=${VELMOR_OLDEST_WINDOWS})

if(MINGW)
  # Static runtime: the program must run on a bare workstation without extra DLLs.
  set(velmor_static_link -static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
  set(velmor_gui_link -municode -mwindows)
  set(velmor_console_link -municode)
endif()

# Icon, manifest and version information; the version comes from project() alone.
enable_language(RC)
set(VELMOR_RES_DIR ${CMAKE_SOURCE_DIR}/src/ui/res)
set(VELMOR_MANIFEST ${CMAKE_BINARY_DIR}/velmor.manifest)
configure_file(src/ui/res/velmor.manifest ${VELMOR_MANIFEST} @ONLY)
configure_file(src/ui/res/velmor.rc.in ${CMAKE_BINARY_DIR}/velmor.rc @ONLY)

# The event log's messages as a message table: the program is its own message file.
if(MINGW)
  string(REPLACE "windres" "windmc" VELMOR_MC "${CMAKE_RC_COMPILER}")
  set(velmor_mc_options -C 65001 -U)
else()
  find_program(VELMOR_MC mc REQUIRED)
  set(velmor_mc_options -U)
endif()
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/velmor_events.rc ${CMAKE_BINARY_DIR}/MSG00804.bin
  COMMAND ${VELMOR_MC} ${velmor_mc_options} -h ${CMAKE_BINARY_DIR} -r ${CMAKE_BINARY_DIR}
          ${CMAKE_SOURCE_DIR}/src/app/velmor_events.mc
  DEPENDS ${CMAKE_SOURCE_DIR}/src/app/velmor_events.mc
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR})

add_executable(velmor WIN32 src/platform/win32/entry.cpp ${CMAKE_BINARY_DIR}/velmor.rc
                            ${CMAKE_BINARY_DIR}/velmor_events.rc)
target_link_libraries(velmor PRIVATE velmor_win32 ${velmor_static_link} ${velmor_gui_link})
if(MINGW)
  # Every user's logon runs it on Remote Desktop hosts too: no terminal-server compatibility layer.
  target_link_options(velmor PRIVATE -Wl,--tsaware -Wl,--dynamicbase -Wl,--nxcompat
                      $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},8>:-Wl,--high-entropy-va>)
endif()
if(MSVC)
  # The program's own manifest is in its resources; the linker must not add a second one.
  target_link_options(velmor PRIVATE /MANIFEST:NO)
endif()

function(velmor_helper name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE velmor_win32 ${velmor_static_link} ${velmor_console_link})
endfunction()

velmor_helper(window_holder tests/win32/window_holder.cpp)
velmor_helper(process_probe tests/win32/process_probe.cpp)
velmor_helper(dialog_driver tests/win32/dialog_driver.cpp)
velmor_helper(fault_maker tests/win32/fault_maker.cpp)
velmor_helper(station_runner tests/win32/station_runner.cpp)

# The stand-in database server keeps the real server's file name.
velmor_helper(dbsrv12_standin tests/win32/dbsrv12_standin.cpp)
target_link_libraries(dbsrv12_standin PRIVATE ws2_32 shell32)
set_target_properties(dbsrv12_standin PROPERTIES OUTPUT_NAME dbsrv12)

# The benchmark's floor: an empty program that creates one hidden window.
add_executable(bench_floor WIN32 bench/floor.cpp)
target_link_libraries(bench_floor PRIVATE ${velmor_static_link} ${velmor_gui_link})
add_executable(bench_runner bench/runner.cpp)
target_link_libraries(bench_runner PRIVATE ${velmor_static_link} ${velmor_console_link})

# The release package (scripts/release): the program, the READMEs and an example setup.ini.
install(TARGETS velmor RUNTIME DESTINATION .)
install(FILES README.md docs/deploy.zh-CN.md docs/setup.ini.example DESTINATION .)
install(FILES deploy/install.cmd deploy/uninstall.cmd DESTINATION deploy)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(velmor_package_arch win64)
else()
  set(velmor_package_arch win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME velmor-${PROJECT_VERSION}-${velmor_package_arch})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)

# scripts/check-imports must fail on it: built for Vista, unlike everything else here.
add_executable(bad_imports tests/win32/bad_imports.cpp)
target_compile_definitions(bad_imports PRIVATE UNICODE _UNICODE _WIN32_WINNT=0x0600)
target_link_libraries(bad_imports PRIVATE ${velmor_static_link} ${velmor_console_link})
if(MINGW)
  target_link_options(bad_imports PRIVATE -Wl,--subsystem,console:6.0)
endif()
