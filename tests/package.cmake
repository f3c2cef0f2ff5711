korvanta_gtest(test_install_layout SOURCES test_install_layout.cpp LIBS korvanta_core)
# The Debian package built from this build folder (after everything is built).
add_test(NAME test_package
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/test_package.sh ${CMAKE_BINARY_DIR}
                 $<TARGET_FILE:test_install_layout>)
set_tests_properties(test_package PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
