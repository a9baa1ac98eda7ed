# Fails when a shipped program imports a library that the system would look for beside the
# program first. Those it always takes from its own folder (its known libraries), and the
# common controls (bound by the program's manifest to the system's side-by-side copy), are safe.
#   cmake -DOBJDUMP=... -DPROGRAM=... -P check_imports.cmake
set(safe advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
         shell32.dll user32.dll)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot read the imports of ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()
foreach(line ${lines})
  string(REGEX REPLACE "DLL Name: " "" name "${line}")
  string(STRIP "${name}" name)
  string(TOLOWER "${name}" name)
  list(FIND safe "${name}" found)
  if(found EQUAL -1)
    message(SEND_ERROR "${PROGRAM} imports ${name}, which a file beside the program could replace")
  endif()
  message(STATUS "import ${name}")
endforeach()
