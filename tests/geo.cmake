korvanta_gtest(test_position SOURCES test_position.cpp LIBS korvanta_geo)
korvanta_gtest(test_inverse SOURCES test_inverse.cpp LIBS korvanta_geo)
korvanta_gtest(test_gapfree SOURCES test_gapfree.cpp LIBS korvanta_geo)
korvanta_gtest(test_mapframe SOURCES test_mapframe.cpp LIBS korvanta_geo)
