# The antenna console: the rotator's rules, its channels and the viewer's component.
korvanta_gtest(test_antenna_rules SOURCES test_antenna_rules.cpp LIBS korvanta_link_rules)

# The channels with real sockets: rotctld -m 1 and UDP stand-ins on 127.0.0.1.
add_executable(test_antenna_channels test_antenna_channels.cpp)
target_link_libraries(test_antenna_channels PRIVATE Qt6::Test korvanta_link)
add_test(NAME test_antenna_channels COMMAND test_antenna_channels)
set_tests_properties(test_antenna_channels PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# The viewer's component with a hub of its own and the fake platform.
korvanta_qtest(test_antenna_console SOURCES test_antenna_console.cpp)
