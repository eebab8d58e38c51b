# SPDX-License-Identifier: GPL-3.0-or-later
# fizzgrid_add_test(<name> [SOURCES <files...>] LIBS <targets...> [RUNNER <command...>])
# Builds one Qt Test executable and registers it with CTest. Every test runs
# on the offscreen platform with its own configuration folder, so no test
# needs a display or touches the user's settings; a RUNNER (a script that
# sets up a desktop, say) runs the program instead, and may choose another
# platform. Every test is compiled with the precompiled Qt headers
# (cmake/QtPrecompiledHeaders.cmake).
function(fizzgrid_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;RUNNER" ${ARGN})
  qt_add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  # A test's classes are moc'ed in its own source file, so the moc collection
  # file is empty: loading the precompiled header there would cost more than
  # compiling it without.
  fizzgrid_use_qt_pch(${name} widgets)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/mocs_compilation.cpp
    PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
  add_test(NAME ${name} COMMAND ${ARG_RUNNER} $<TARGET_FILE:${name}>)
  set(config_home ${CMAKE_CURRENT_BINARY_DIR}/${name}.config)
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 900
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${config_home};QT_FATAL_WARNINGS=0;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
endfunction()
