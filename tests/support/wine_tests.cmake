# GoogleTest programs run by ctest under Wine (the Win32 and the end-to-end tests).
#
#   vga_add_wine_test(TARGET NAME name [TIMEOUT s] [ISOLATED Suite.Case...] [FIXTURES fixture...])
#
# Starting a Windows program under Wine costs about a second, so a program runs all its cases in
# one process: one ctest test, NAME. A case that leaves something behind in its process that a
# later case of the same process would meet (a WM_QUIT in the queue, a flag that nothing resets,
# a restricted library search) is named in ISOLATED instead; it runs in a process of its own as
# the ctest test NAME's prefix + its case name (win32.FileCopy.QuitMet...), and the grouped run
# leaves it out. Every run writes its cases to <build>/test-results/<ctest name>.xml, from which
# tools/test.sh counts and names the cases; a run in which no case ran at all fails (a misspelt
# ISOLATED name would otherwise lose its case). Each test runs alone, in the build's prefix, with
# the ctest fixtures it needs and TIMEOUT (600 s unless told) per process.
include_guard(GLOBAL)

function(vga_add_wine_test target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "NAME;TIMEOUT" "ISOLATED;FIXTURES")
  if(NOT arg_NAME)
    message(FATAL_ERROR "vga_add_wine_test(${target}): NAME is missing")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 600)
  endif()
  string(REGEX REPLACE "\\.[^.]*$" "" prefix "${arg_NAME}")
  # The programs reach the host's files through Wine's drive Z:.
  set(results "Z:${CMAKE_BINARY_DIR}/test-results")
  set(properties ENVIRONMENT "WINEPREFIX=${VGA_WINEPREFIX}" RUN_SERIAL TRUE TIMEOUT ${arg_TIMEOUT}
                 FAIL_REGULAR_EXPRESSION "\\[==========\\] 0 tests from")

  set(excluded "")
  foreach(case IN LISTS arg_ISOLATED)
    set(name ${prefix}.${case})
    add_test(NAME ${name} COMMAND ${target} --gtest_filter=${case} --gtest_output=xml:${results}/${name}.xml)
    set_tests_properties(${name} PROPERTIES ${properties})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${arg_FIXTURES}")
    string(APPEND excluded ":${case}")
  endforeach()

  set(filter "")
  if(excluded)
    string(SUBSTRING "${excluded}" 1 -1 excluded)
    set(filter --gtest_filter=-${excluded})
  endif()
  add_test(NAME ${arg_NAME} COMMAND ${target} ${filter} --gtest_output=xml:${results}/${arg_NAME}.xml)
  set_tests_properties(${arg_NAME} PROPERTIES ${properties})
  # A list, so on its own: inside ${properties} it would be taken apart.
  set_tests_properties(${arg_NAME} PROPERTIES FIXTURES_REQUIRED "${arg_FIXTURES}")
endfunction()
