# The azimuth link: rules, server, rotator, the viewer's side and korvanta-link.
korvanta_gtest(test_link_rules SOURCES test_link_rules.cpp LIBS korvanta_link_rules korvanta_geo)

# Server and rotator with real sockets, no windows.
function(korvanta_link_qtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE Qt6::Test korvanta_link)
  target_compile_definitions(${name} PRIVATE
    KORVANTA_LINK_TOOL="$<TARGET_FILE:korvanta-link>")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
korvanta_link_qtest(test_link_server test_link_server.cpp)
korvanta_link_qtest(test_link_rotator test_link_rotator.cpp)
korvanta_link_qtest(test_link_tool test_link_tool.cpp)
add_dependencies(test_link_tool korvanta-link)

# The viewer's side with real windows.
korvanta_qtest(test_link_viewer SOURCES test_link_viewer.cpp)
