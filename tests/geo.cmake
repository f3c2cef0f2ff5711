korvanta_gtest(test_position SOURCES test_position.cpp LIBS korvanta_geo)
