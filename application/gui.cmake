# The program's windows and frames (Qt Widgets) and the program itself.
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport Test)

set(DYADMARK_FORMS_DIR ${PROJECT_SOURCE_DIR}/forms)

add_library(dyadmark_gui STATIC
  Dm_fcode.cpp
  Dm_fpair.cpp
  Dm_fscrn.cpp
  Dm_uabout.cpp
  Dm_umain.cpp
  Dm_upairreg.cpp
  check_box_images.cpp
  code_list_model.cpp
  guarded_application.cpp
  hatched_shape.cpp
  hint_router.cpp
  hint_rule.cpp
  idle_task.cpp
  main_settings.cpp
  page_menu_table.cpp
  program_font.cpp
  qt_cp932.cpp
  screen_cursor.cpp
  screening_worker_watch.cpp
  status_panel_bar.cpp
  status_panel_hints.cpp
  window_bounds.cpp
  ${DYADMARK_FORMS_DIR}/Dm_fcode.ui
  ${DYADMARK_FORMS_DIR}/Dm_fpair.ui
  ${DYADMARK_FORMS_DIR}/Dm_fscrn.ui
  ${DYADMARK_FORMS_DIR}/Dm_uabout.ui
  ${DYADMARK_FORMS_DIR}/Dm_umain.ui
  ${DYADMARK_FORMS_DIR}/Dm_upairreg.ui
)
set_target_properties(dyadmark_gui PROPERTIES
  AUTOMOC ON
  AUTOUIC ON
  AUTOUIC_SEARCH_PATHS ${DYADMARK_FORMS_DIR})
target_include_directories(dyadmark_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(dyadmark_gui PUBLIC dyadmark_core Qt6::Widgets Qt6::PrintSupport)

# The program finds libTicvane.so beside itself.
add_executable(Dyadmark main.cpp)
target_link_libraries(Dyadmark PRIVATE dyadmark_gui)
set_target_properties(Dyadmark PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
  BUILD_RPATH "$ORIGIN"
  INSTALL_RPATH "$ORIGIN")

if(DYADMARK_BUILD_TESTS)
  # Widget tests: each *_qtest.cpp is one Qt Test program, run without a
  # display, against the fake library (dyadmark_test_fakes, from tests/).
  file(GLOB DYADMARK_GUI_QTESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_qtest.cpp)
  foreach(test_source ${DYADMARK_GUI_QTESTS})
    get_filename_component(test_name ${test_source} NAME_WE)
    add_executable(${test_name} ${test_source} ${CMAKE_CURRENT_SOURCE_DIR}/tests/gui_test_dir.cpp)
    set_target_properties(${test_name} PROPERTIES AUTOMOC ON)
    target_include_directories(${test_name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    target_link_libraries(${test_name} PRIVATE dyadmark_gui dyadmark_test_fakes Qt6::Test)
    add_test(NAME dyadmark_gui.${test_name} COMMAND ${test_name})
    set_tests_properties(dyadmark_gui.${test_name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
  endforeach()
endif()
