korvanta_gtest(test_readout SOURCES test_readout.cpp LIBS korvanta_core)
korvanta_qtest(test_viewer SOURCES test_viewer.cpp)
korvanta_qtest(test_save SOURCES test_save.cpp)
korvanta_qtest(test_export SOURCES test_export.cpp)
