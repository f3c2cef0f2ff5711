korvanta_gtest(test_resources SOURCES test_resources.cpp LIBS Qt6::Gui korvanta_resources)
