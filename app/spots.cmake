# korvanta-spots: the live stations of a DX cluster and an FT8 program, one
# line per spot, for scripts (QtCore and QtNetwork, no windows).
add_executable(korvanta-spots ${CMAKE_CURRENT_LIST_DIR}/spots_main.cpp)
target_link_libraries(korvanta-spots PRIVATE korvanta_live)
