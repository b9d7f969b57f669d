# tindra_add_qttest(name SOURCES a.cpp .. LIBS lib1 .. [LABELS ..])
# One Qt Test executable, run as one CTest test on the offscreen platform with a home of its own.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
function(tindra_add_qttest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  tindra_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test Qt6::Widgets)
  target_compile_definitions(${name} PRIVATE TINDRA_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  add_test(NAME ${name} COMMAND ${name})
  # Each test program gets a home of its own, so the settings and recent files it stores never meet those
  # of another test program running at the same time, or of the user's own editor.
  set(home "${CMAKE_CURRENT_BINARY_DIR}/home-${name}")
  file(MAKE_DIRECTORY "${home}")
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_CONFIG_HOME=${home}/.config"
    LABELS "${T_LABELS}")
endfunction()
