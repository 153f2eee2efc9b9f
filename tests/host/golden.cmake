# The golden frames: the headless instrument's pages compared with the references in
# tests/golden; mismatches leave their pictures in the build folder's golden/ directory.
add_executable(vesper_tests_golden ${CMAKE_CURRENT_LIST_DIR}/golden_frames_test.cpp ${CMAKE_CURRENT_LIST_DIR}/golden_cases.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/golden_compare.cpp ${CMAKE_CURRENT_LIST_DIR}/golden_compare_test.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/layer_tiles_golden_test.cpp)
target_link_libraries(vesper_tests_golden PRIVATE vesper_headless_core vesper_test_support GTest::gtest_main)
target_compile_definitions(vesper_tests_golden PRIVATE VESPER_SOURCE_ROOT="${PROJECT_SOURCE_DIR}"
                                                  VESPER_GOLDEN_OUT="${CMAKE_BINARY_DIR}/golden")
set_target_properties(vesper_tests_golden PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
gtest_discover_tests(vesper_tests_golden DISCOVERY_MODE PRE_TEST)
