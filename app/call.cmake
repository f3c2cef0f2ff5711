# korvanta-call: the country file's answer for a call sign, for scripts
# (QtCore for the texts, no windows).
add_executable(korvanta-call ${CMAKE_CURRENT_LIST_DIR}/call_main.cpp)
target_link_libraries(korvanta-call PRIVATE korvanta_core)
