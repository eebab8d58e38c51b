# cmake -P ExpectOutput.cmake -- EXPECTED PROGRAM [ARGUMENTS...]
# Passes when PROGRAM exits with 0 after printing exactly the line EXPECTED.
set(command)
foreach(i RANGE 5 ${CMAKE_ARGC})
  if(i LESS CMAKE_ARGC)
    list(APPEND command "${CMAKE_ARGV${i}}")
  endif()
endforeach()
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE output)
if(NOT status STREQUAL "0" OR NOT output STREQUAL "${CMAKE_ARGV4}\n")
  message(FATAL_ERROR "${command}: exit ${status}, printed \"${output}\", expected \"${CMAKE_ARGV4}\"")
endif()
