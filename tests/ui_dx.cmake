# The viewer's DX list rules, the DX list editors and the converter.
korvanta_gtest(test_dxlookup SOURCES test_dxlookup.cpp LIBS korvanta_core)
korvanta_qtest(test_dxviewer SOURCES test_dxviewer.cpp)
korvanta_qtest(test_dxeditors SOURCES test_dxeditors.cpp)
korvanta_qtest(test_conv SOURCES test_conv.cpp)
