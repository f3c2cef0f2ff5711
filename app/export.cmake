# Maps at any size, PNG files and the poster (QtGui, no windows): shared by
# korvanta-render and the desktop program's Export and Print.
add_library(korvanta_export STATIC
  ${CMAKE_CURRENT_LIST_DIR}/MapExport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Poster.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExportTexts.cpp
)
target_include_directories(korvanta_export PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(korvanta_export PUBLIC korvanta_geo korvanta_resources Qt6::Gui)
