# Fails when a shipped program, stripped as it ships, is over its size budget, or when it links
# what the programs do without: libstdc++ and its ABI runtime, the unwinder, winpthreads (the
# compiler's posix thread model) and mingw's printf with its float formatting. When the copy that
# ships is given (the menu on sample disc 1), that copy must carry no symbols and keep the budget.
#   cmake -DSTRIP=... -DNM=... -DPROGRAM=<as built, with symbols> -DBUDGET=<bytes> -DWORK=<folder>
#         [-DSHIPPED=<the copy that ships>] -P check_size.cmake
get_filename_component(name "${PROGRAM}" NAME)
file(MAKE_DIRECTORY "${WORK}")
set(stripped "${WORK}/stripped_${name}")
execute_process(COMMAND ${STRIP} --strip-all -o "${stripped}" "${PROGRAM}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot strip ${PROGRAM}")
endif()
file(SIZE "${stripped}" size)
message(STATUS "${name}: ${size} bytes stripped, budget ${BUDGET}")
if(size GREATER BUDGET)
  message(SEND_ERROR "${name} is ${size} bytes stripped, over its budget of ${BUDGET}")
endif()

if(SHIPPED)
  file(SIZE "${SHIPPED}" shippedSize)
  message(STATUS "${SHIPPED}: ${shippedSize} bytes")
  if(shippedSize GREATER BUDGET)
    message(SEND_ERROR "${SHIPPED} is ${shippedSize} bytes, over the budget of ${BUDGET}")
  endif()
  execute_process(COMMAND ${NM} "${SHIPPED}" OUTPUT_VARIABLE symbols ERROR_QUIET)
  if(NOT symbols STREQUAL "")
    message(SEND_ERROR "${SHIPPED} still carries its symbol table")
  endif()
endif()

# The symbols that the program as built defines name every piece the link took in. (The C
# runtime's start-up refers to the unwinder's frame registration weakly; while nothing else needs
# the unwinder those references stay unresolved, and only _Unwind_* would show it linked.)
execute_process(COMMAND ${NM} -C "${PROGRAM}" OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR symbols STREQUAL "")
  message(FATAL_ERROR "cannot read the symbols of ${PROGRAM}")
endif()
set(unwanted
  "std::|__gnu_cxx|__cxxabiv1|__cxa_|__gxx_personality"   # libstdc++ and its ABI runtime
  "_Unwind_"                                               # the unwinder
  "pthread|__gthr|__emutls"                                # the posix thread model
  "__mingw_pformat|__mingw_v?s?n?printf|gdtoa"             # mingw's printf and float formatting
)
foreach(pattern ${unwanted})
  string(REGEX MATCHALL "[0-9a-fA-F]+ [A-Za-z] [^\n]*(${pattern})[^\n]*" found "${symbols}")
  foreach(line ${found})
    message(SEND_ERROR "${name} links ${line}")
  endforeach()
endforeach()
