korvanta_gtest(test_settings SOURCES test_settings.cpp LIBS korvanta_core Qt6::Core)
korvanta_qtest(test_carte SOURCES test_carte.cpp)
