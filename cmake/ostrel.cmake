# Small helpers shared by every folder's CMakeLists.txt.
include_guard(GLOBAL)

# Adds each named folder that has a CMakeLists.txt (folders land one issue at a time).
macro(ostrel_add_subdirs)
  foreach(_dir ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_dir}/CMakeLists.txt)
      add_subdirectory(${_dir})
    endif()
  endforeach()
endmacro()

# Adds every immediate subfolder that has a CMakeLists.txt.
macro(ostrel_add_all_subdirs)
  file(GLOB _children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  list(SORT _children)
  foreach(_child ${_children})
    get_filename_component(_d ${_child} DIRECTORY)
    add_subdirectory(${_d})
  endforeach()
endmacro()

# ostrel_add_gtest(<name> SOURCES ... LIBS ... [LABEL(S) <label>] [ENV <VAR=value>] [QT] [PLATFORM])
# A GoogleTest executable registered with CTest. Tests are discovered when
# ctest runs, not at build time, so they see the environment ctest gives them.
# QT: the test has its own main() that makes a QApplication (offscreen by default).
# PLATFORM: the test links Qt or GStreamer. The others are labelled "leakcheck" and
# also run with leak checks under ASan.
# A test that exits with 77 is reported as skipped (a missing optional plugin).
# Discovered tests take one label and one environment entry at most: CTest's
# discovery flattens lists.
function(ostrel_add_gtest name)
  cmake_parse_arguments(T "QT;PLATFORM" "LABEL;ENV" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_LABEL AND T_LABELS)
    list(GET T_LABELS 0 T_LABEL)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  if(NOT T_QT)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  set(_label "${T_LABEL}")
  if(NOT T_QT AND NOT T_PLATFORM)
    set(_label leakcheck)
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS "${_label}" ENVIRONMENT "${T_ENV}" SKIP_RETURN_CODE 77)
endfunction()
