# Logic that needs no widgets: links no Qt module at all.
add_library(dyadmark_core STATIC
  code_file.cpp
  code_table.cpp
  file_io.cpp
  price_files.cpp
  recent_list.cpp
  sector_names.cpp
  short_text.cpp
  statistics.cpp
  text_lines.cpp
  ticvane_api.cpp
)
target_include_directories(dyadmark_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(dyadmark_core PUBLIC vcl Ticvane)

if(DYADMARK_BUILD_TESTS)
  add_subdirectory(tests)
endif()
