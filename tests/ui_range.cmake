korvanta_qtest(test_range SOURCES test_range.cpp)
