# Settings, recent files, language tables, messages and the small dialogs (Qt Test, offscreen).
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

function(tindra_add_qtest name)
  add_executable(${name} ${ARGN})
  tindra_warnings(${name})
  target_link_libraries(${name} PRIVATE tindra_app Qt6::Widgets Qt6::Test)
  target_compile_definitions(${name} PRIVATE TINDRA_IMAGES_IML="${TINDRA_IMAGES_IML}")
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  add_dependencies(${name} tindra_images)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "app-shell")
endfunction()

tindra_add_qtest(test_lang_texts LanguageTextsTest.cpp)
tindra_add_qtest(test_settings_recent SettingsRecentTest.cpp)
tindra_add_qtest(test_lang_dialogs DialogsTest.cpp)
tindra_add_qtest(test_lang_mainform MainFormLangTest.cpp)
tindra_add_qtest(test_window_placement WindowPlacementTest.cpp)
tindra_add_qtest(test_layouts LayoutTest.cpp)
tindra_add_qtest(test_help HelpTest.cpp)
tindra_add_qtest(test_qt_texts QtTextsTest.cpp)
tindra_add_qtest(test_no_document NoDocumentTest.cpp)
# Qt's own texts under two system locales: the interface language decides, not LANG.
set_tests_properties(test_qt_texts PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C;LC_ALL=")
add_test(NAME test_qt_texts_czech_locale COMMAND test_qt_texts)
set_tests_properties(test_qt_texts_czech_locale PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=cs_CZ.UTF-8;LC_ALL=cs_CZ.UTF-8" LABELS "app-shell")
tindra_add_qtest(test_high_dpi HighDpiTest.cpp)
# Layouts and pixel art at the scale factors of high-resolution screens.
foreach(scale 1.5 2)
  foreach(name test_layouts test_high_dpi)
    add_test(NAME ${name}_scale_${scale} COMMAND ${name})
    set_tests_properties(${name}_scale_${scale} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=${scale}" LABELS "app-shell")
  endforeach()
endforeach()
