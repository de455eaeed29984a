include(CTest)

if(BUILD_TESTING)
  # GoogleTest from the sources Debian ships (package googletest), built for this target.
  set(TARVO_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${TARVO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# tarvo_add_test(name SOURCES a.cpp ... LIBS lib ... [WINDOW])
# One executable, one CTest entry (a Wine start per test case would be slow).
# WINDOW marks tests that create windows: they need the X display the test script starts.
function(tarvo_add_test name)
  cmake_parse_arguments(T "WINDOW" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(T_WINDOW)
    set_tests_properties(${name} PROPERTIES LABELS window)
  endif()
endfunction()
