korvanta_qtest(test_range SOURCES test_range.cpp)
# The regional maps in the real viewer, on a plain and on a dense screen.
korvanta_qtest(test_range_viewer SOURCES test_range_viewer.cpp LIBS korvanta_export)
add_test(NAME test_range_viewer_dense COMMAND test_range_viewer)
set_tests_properties(test_range_viewer_dense PROPERTIES ENVIRONMENT
                     "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=2")
