# Tests of the headless runner: its parsers and virtual clock in-process, and the built program
# end to end (the program's path is compiled in, so the tests always run the one just built).
file(GLOB headless_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/headless_*.cpp)
add_executable(vesper_tests_headless ${headless_test_sources})
target_link_libraries(vesper_tests_headless PRIVATE vesper_headless_core vesper_test_support GTest::gtest_main)
target_compile_definitions(vesper_tests_headless PRIVATE VESPER_HEADLESS_PROGRAM="$<TARGET_FILE:vesper-headless>"
                                                    VESPER_SOURCE_ROOT="${PROJECT_SOURCE_DIR}")
add_dependencies(vesper_tests_headless vesper-headless)
set_target_properties(vesper_tests_headless PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
gtest_discover_tests(vesper_tests_headless DISCOVERY_MODE PRE_TEST)

# What a shell user sees: exit status, one line on standard error, nothing written.
add_test(NAME headless_shell_errors
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/headless_errors.sh $<TARGET_FILE:vesper-headless>)
