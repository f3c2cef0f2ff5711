korvanta_gtest(test_dxrecord SOURCES test_dxrecord.cpp LIBS korvanta_dx)
korvanta_gtest(test_builtin_lists SOURCES test_builtin_lists.cpp LIBS korvanta_dx)
korvanta_gtest(test_ctydat SOURCES test_ctydat.cpp LIBS korvanta_dx)
