korvanta_qtest(test_launcher SOURCES test_launcher.cpp)

# The title test on a real X server: x11windows.sh starts its own Xvfb.
add_executable(test_x11windows test_x11windows.cpp)
target_link_libraries(test_x11windows PRIVATE Qt6::Test korvanta_ui)
add_test(NAME test_x11windows
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/x11windows.sh $<TARGET_FILE:test_x11windows>)
set_tests_properties(test_x11windows PROPERTIES SKIP_RETURN_CODE 77)
