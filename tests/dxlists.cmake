korvanta_gtest(test_dxrecord SOURCES test_dxrecord.cpp LIBS korvanta_dx)
korvanta_gtest(test_builtin_lists SOURCES test_builtin_lists.cpp LIBS korvanta_dx)
korvanta_gtest(test_ctydat SOURCES test_ctydat.cpp LIBS korvanta_dx)
# korvanta-call's exit status and answers.
add_test(NAME test_korvanta_call
         COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:korvanta-call>
                 -DCTY=${CMAKE_SOURCE_DIR}/tests/data/cty_excerpt.dat
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/cli/call_cli.cmake)
