# The viewer's shape: the map layers at every frame (the exports, the poster,
# korvanta-render) and the designations with their reasons.
korvanta_qtest(test_layers SOURCES test_layers.cpp)
target_compile_definitions(test_layers PRIVATE KORVANTA_RENDER="$<TARGET_FILE:korvanta-render>")
add_dependencies(test_layers korvanta-render)
korvanta_qtest(test_designation SOURCES test_designation.cpp)
korvanta_qtest(test_exportcomponent SOURCES test_exportcomponent.cpp)
