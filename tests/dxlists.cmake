korvanta_gtest(test_dxrecord SOURCES test_dxrecord.cpp LIBS korvanta_dx)
