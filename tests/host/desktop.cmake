# Tests of the desktop window host: its serial port, its window-independent parts, its input
# reaching the firmware, and the real window under a virtual X server.
set(VESPER_DESKTOP_TEST_DIR ${CMAKE_BINARY_DIR}/tests)

# Serial port against a pseudo-terminal; no SDL, no firmware.
add_executable(vesper_tests_desktop_serial ${CMAKE_CURRENT_SOURCE_DIR}/desktop_serial_test.cpp)
target_link_libraries(vesper_tests_desktop_serial PRIVATE vesper_serial_posix util GTest::gtest_main)
set_target_properties(vesper_tests_desktop_serial PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VESPER_DESKTOP_TEST_DIR})
gtest_discover_tests(vesper_tests_desktop_serial DISCOVERY_MODE PRE_TEST)

# Pointer and key mapping, presentation, artwork, timers and options; no window, no firmware.
add_executable(vesper_tests_desktop_shell ${CMAKE_CURRENT_SOURCE_DIR}/desktop_shell_test.cpp)
# The options name desk sensors, whose values live beside the platform answers the firmware calls.
target_link_libraries(
  vesper_tests_desktop_shell
  PRIVATE vesper_sim_shell vesper_bezel_art_tables GTest::gtest_main
          "$<LINK_GROUP:RESCAN,vesper_firmware,vesper_desk_platform,vesper_serial_posix>")
set_target_properties(vesper_tests_desktop_shell PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VESPER_DESKTOP_TEST_DIR})
gtest_discover_tests(vesper_tests_desktop_shell DISCOVERY_MODE PRE_TEST)

# The window's input as the firmware's decoder sees it.
add_executable(vesper_tests_desktop_controls ${CMAKE_CURRENT_SOURCE_DIR}/desktop_controls_test.cpp)
target_link_libraries(
  vesper_tests_desktop_controls
  PRIVATE vesper_sim_bridge GTest::gtest_main
          "$<LINK_GROUP:RESCAN,vesper_test_support,vesper_firmware,vesper_desk_platform,vesper_memory_serial>")
set_target_properties(vesper_tests_desktop_controls PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VESPER_DESKTOP_TEST_DIR})
gtest_discover_tests(vesper_tests_desktop_controls DISCOVERY_MODE PRE_TEST)

# The real window: vesper-sim under Xvfb, worked with xdotool, photographed with ImageMagick.
# One process runs the whole sequence against one window, so it is one CTest test.
add_executable(vesper_tests_desktop_window ${CMAKE_CURRENT_SOURCE_DIR}/desktop_window_test.cpp)
target_link_libraries(vesper_tests_desktop_window PRIVATE vesper_bezel_art_tables vesper_png GTest::gtest_main)
target_compile_definitions(vesper_tests_desktop_window PRIVATE VESPER_SIM_PATH="$<TARGET_FILE:vesper-sim>"
                                                          VESPER_HEADLESS_PATH="$<TARGET_FILE:vesper-headless>")
set_target_properties(vesper_tests_desktop_window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VESPER_DESKTOP_TEST_DIR})
add_dependencies(vesper_tests_desktop_window vesper-sim vesper-headless)
add_test(NAME desktop_window COMMAND vesper_tests_desktop_window)
# It drives a real window against wall-clock waits, so it runs alone, with room for a busy machine.
set_tests_properties(desktop_window PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]" LABELS "window")
