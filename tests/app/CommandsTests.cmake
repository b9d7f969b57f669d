# Window commands: file dialogs and questions, frame dialogs, transforms, text tool, clipboard.
include(${CMAKE_CURRENT_SOURCE_DIR}/../widgets/QtTest.cmake)
tindra_add_qttest(commands_tests SOURCES CommandsTest.cpp LIBS tindra_app)
target_compile_definitions(commands_tests PRIVATE TINDRA_IMAGES_IML="${TINDRA_IMAGES_IML}")
add_dependencies(commands_tests tindra_images)

# Unsaved work kept: the save question with Cancel, a cancelled open dialog, the display-time field,
# destroying the window. The GIFs it opens are written by giflib.
find_library(TINDRA_GIFLIB gif)
if(TINDRA_GIFLIB)
  tindra_add_qttest(work_kept_tests SOURCES WorkKeptTest.cpp ${CMAKE_SOURCE_DIR}/tests/document/GifOracle.cpp
                    LIBS tindra_app ${TINDRA_GIFLIB})
  target_include_directories(work_kept_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/document)
  target_compile_definitions(work_kept_tests PRIVATE TINDRA_IMAGES_IML="${TINDRA_IMAGES_IML}")
  add_dependencies(work_kept_tests tindra_images)
endif()

# The window's side of the selection: tool keys, the clipboard on a selection, frame commands.
tindra_add_qttest(selection_commands_tests SOURCES SelectionCommandsTest.cpp LIBS tindra_app)
target_include_directories(selection_commands_tests PRIVATE ${CMAKE_SOURCE_DIR}/src/widgets)
target_compile_definitions(selection_commands_tests PRIVATE TINDRA_IMAGES_IML="${TINDRA_IMAGES_IML}")
add_dependencies(selection_commands_tests tindra_images)
# GIF attributes window, Effects and Colours menus.
tindra_add_qttest(icon_commands_tests SOURCES IconCommandsTest.cpp LIBS tindra_app)
target_compile_definitions(icon_commands_tests PRIVATE TINDRA_IMAGES_IML="${TINDRA_IMAGES_IML}")
add_dependencies(icon_commands_tests tindra_images)
