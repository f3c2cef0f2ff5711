# The viewer's call line from the country file.
korvanta_qtest(test_callline SOURCES test_callline.cpp)
