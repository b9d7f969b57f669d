# The Qt implementations of the core's text and system-colour interfaces, tested offscreen. Their
# sources are compiled in directly so that this test depends on nothing else of the widget layer.
find_package(Qt6 REQUIRED COMPONENTS Gui Test)
add_executable(editor_qt_tests
  QtServicesTest.cpp
  ${CMAKE_SOURCE_DIR}/src/widgets/QtTextRasterizer.cpp
  ${CMAKE_SOURCE_DIR}/src/widgets/QtSystemColors.cpp)
set_target_properties(editor_qt_tests PROPERTIES AUTOMOC ON)
target_include_directories(editor_qt_tests PRIVATE ${CMAKE_SOURCE_DIR}/src/widgets)
tindra_warnings(editor_qt_tests)
target_link_libraries(editor_qt_tests PRIVATE tindra_editor Qt6::Gui Qt6::Test)
add_test(NAME editor_qt_tests COMMAND editor_qt_tests)
set_tests_properties(editor_qt_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen LABELS "editor;widgets")
