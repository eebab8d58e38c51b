# cmake -P Validate.cmake -- DEBIAN-PACKAGE VALIDATOR [ARGUMENTS...]
# Runs VALIDATOR, which DEBIAN-PACKAGE provides. Fails when the validator is
# missing (a check that cannot run has not passed), when it fails, and when
# it warns.
set(arguments)
foreach(i RANGE 6 ${CMAKE_ARGC})
  if(i LESS CMAKE_ARGC)
    list(APPEND arguments "${CMAKE_ARGV${i}}")
  endif()
endforeach()
find_program(validator ${CMAKE_ARGV5} NO_CACHE)
if(NOT validator)
  message(FATAL_ERROR "${CMAKE_ARGV5} is missing: install the Debian package ${CMAKE_ARGV4} (make deps does)")
endif()
execute_process(COMMAND ${validator} ${arguments}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(NOT status STREQUAL "0" OR output MATCHES "[Ww]arning")
  message(FATAL_ERROR "${CMAKE_ARGV5} found problems (exit ${status})")
endif()
