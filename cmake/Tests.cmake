# harkenwire_tests(DIR <dir> LIBS <libs...> [LABELS <labels...>] [ENV <k=v...>])
# Makes one test executable per *_test.cpp in DIR, linked with LIBS and GoogleTest, and registers
# it with ctest under the file's base name. A file named *_gui_test.cpp gets a main that creates
# the Qt application first (see platform/gui/testing/gui_test_main.cpp) and runs offscreen.
function(harkenwire_tests)
  cmake_parse_arguments(T "" "DIR" "LIBS;LABELS;ENV;EXTRA" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS "${T_DIR}/*_test.cpp")
  foreach(source IN LISTS test_sources)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source} ${T_EXTRA})
    if(name MATCHES "_gui_test$")
      target_link_libraries(${name} PRIVATE ${T_LIBS} gui_test_main GTest::gtest)
      # Qt's font set-up leaks inside fontconfig, which is none of ours.
      set(env QT_QPA_PLATFORM=offscreen
          LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/platform/gui/testing/lsan.supp ${T_ENV})
    else()
      target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
      set(env ${T_ENV})
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300 ENVIRONMENT "${env}" LABELS "unit;${T_LABELS}")
  endforeach()
endfunction()
