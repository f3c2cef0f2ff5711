korvanta_gtest(test_dxrecord SOURCES test_dxrecord.cpp LIBS korvanta_dx)
korvanta_gtest(test_builtin_lists SOURCES test_builtin_lists.cpp LIBS korvanta_dx)
korvanta_gtest(test_ctydat SOURCES test_ctydat.cpp LIBS korvanta_dx)
# korvanta-call's exit status and answers.
add_test(NAME test_korvanta_call
         COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:korvanta-call>
                 -DCTY=${CMAKE_SOURCE_DIR}/tests/data/cty_excerpt.dat
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/cli/call_cli.cmake)
# Mends found by the newcomer walk, the audits and fuzzing: files, input and
# the resolution rules, the programs run as a whole.
korvanta_gtest(test_mends SOURCES test_mends.cpp LIBS korvanta_geo korvanta_dx)
target_compile_definitions(test_mends PRIVATE KORVANTA_RENDER="$<TARGET_FILE:korvanta-render>"
                                              KORVANTA_CALL="$<TARGET_FILE:korvanta-call>")
add_dependencies(test_mends korvanta-render korvanta-call)
