# The live overlays: the sun and the shading, the locator grid lines.
korvanta_gtest(test_sun SOURCES test_sun.cpp LIBS korvanta_geo)
korvanta_gtest(test_gridlines SOURCES test_gridlines.cpp LIBS korvanta_geo)
korvanta_qtest(test_overlayviewer SOURCES test_overlayviewer.cpp)
