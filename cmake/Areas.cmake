# One static library per source folder, built from every *.cpp in it, so that a
# new file needs no edit here.
function(add_area_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/(main|WinMain)\\.cpp$")
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# One GoogleTest executable per test folder, run under Wine by CTest (one Wine
# process per executable).
function(add_area_tests name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  add_executable(${name} ${sources} ${CMAKE_SOURCE_DIR}/tests/support/FatalChecks.cpp)
  target_link_libraries(${name} PRIVATE ${ARGN} test_support gtest_main gtest)
  target_link_options(${name} PRIVATE -mconsole)
  target_compile_definitions(${name} PRIVATE TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}/tests")
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  # A program that dies midway can still end with exit code 0 under Wine (a
  # stack overflow does): it passes only when GoogleTest's closing summary
  # says every test passed.
  set_tests_properties(${name} PROPERTIES TIMEOUT 900
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ tests?\\."
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|check failed")
endfunction()

# Every Windows program and module of the build is checked as part of its link (see
# CheckLinkedImage.cmake): a refused image fails the link. Called before the
# folders that define targets are added, which inherit the rules.
macro(check_linked_images)
  foreach(lang C CXX)
    foreach(rule LINK_EXECUTABLE CREATE_SHARED_LIBRARY CREATE_SHARED_MODULE)
      list(APPEND CMAKE_${lang}_${rule}
        "${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DOBJDUMP=${CMAKE_OBJDUMP} -DIMAGE=<TARGET> -P ${CMAKE_SOURCE_DIR}/cmake/CheckLinkedImage.cmake")
    endforeach()
  endforeach()
endmacro()
