# The projection engine, the bitmap writer and the headless renderer.
korvanta_gtest(test_projection SOURCES test_projection.cpp LIBS korvanta_geo)

# The engine-against-reference sweep, shared out over three programs that
# ctest runs side by side.
foreach(part 0 1 2)
  korvanta_gtest(test_projection_sweep${part} SOURCES test_projection_sweep.cpp LIBS korvanta_geo)
  target_compile_definitions(test_projection_sweep${part} PRIVATE
    KORVANTA_SWEEP_PART=${part} KORVANTA_SWEEP_PARTS=3)
endforeach()

# The headless renderer, run as a program.
korvanta_gtest(test_render SOURCES test_render.cpp LIBS korvanta_geo)
target_compile_definitions(test_render PRIVATE KORVANTA_RENDER="$<TARGET_FILE:korvanta-render>")
add_dependencies(test_render korvanta-render)

# The built-in world map (a picture resource, read with QtGui).
korvanta_gtest(test_projection_worldmap SOURCES test_projection_worldmap.cpp
               LIBS korvanta_geo korvanta_resources Qt6::Gui)

# The gap-free map of the built-in world maps against the classic map.
korvanta_gtest(test_gapfree_worldmap SOURCES test_gapfree_worldmap.cpp LIBS korvanta_export)
