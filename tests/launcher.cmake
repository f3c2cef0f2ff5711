korvanta_qtest(test_launcher SOURCES test_launcher.cpp)
