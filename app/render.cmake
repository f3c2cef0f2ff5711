# korvanta-render: the headless map renderer (same engine as the desktop
# program, QtGui for reading and writing pictures, no windows).
add_executable(korvanta-render ${CMAKE_CURRENT_LIST_DIR}/render_main.cpp)
target_link_libraries(korvanta-render PRIVATE korvanta_geo korvanta_export korvanta_overlays
                      korvanta_resources Qt6::Gui)
target_compile_definitions(korvanta-render PRIVATE KORVANTA_VERSION="${PROJECT_VERSION}")
