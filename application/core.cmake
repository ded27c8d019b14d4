# Logic that needs no widgets: links no Qt GUI module.
add_library(dyadmark_core STATIC
  ticvane_api.cpp
)
target_include_directories(dyadmark_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(dyadmark_core PUBLIC vcl Ticvane)
