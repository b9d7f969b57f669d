# The zoomed canvas, the drawing tools and the colour controls, driven by mouse events (Qt Test,
# offscreen). The widget sources are compiled in so these tests need only the document library.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

set(canvas_widget_sources
  ${CMAKE_SOURCE_DIR}/src/widgets/CanvasWidget.cpp
  ${CMAKE_SOURCE_DIR}/src/widgets/ToolCursors.cpp
  ${CMAKE_SOURCE_DIR}/src/widgets/PaletteStrip.cpp
  ${CMAKE_SOURCE_DIR}/src/widgets/EditorColors.cpp)

function(tindra_add_canvas_test name)
  add_executable(${name} ${ARGN} ${canvas_widget_sources})
  tindra_warnings(${name})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src/widgets ${CMAKE_SOURCE_DIR}/tests/document)
  target_link_libraries(${name} PRIVATE tindra_document Qt6::Widgets Qt6::Test)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "canvas")
endfunction()

tindra_add_canvas_test(test_canvas_widget CanvasWidgetTest.cpp)
tindra_add_canvas_test(test_editor_colors EditorColorsTest.cpp)
