# SPDX-License-Identifier: GPL-3.0-or-later
# cmake [-DEXPECT=LINE] [-DPACKAGE=DEBIAN-PACKAGE] -P RunCheck.cmake -- PROGRAM [ARGUMENTS...]
#
# Passes when PROGRAM exits with 0, and with EXPECT when it printed exactly
# that line. With PACKAGE, PROGRAM is a validator from that Debian package:
# a missing validator fails (a check that cannot run has not passed), and
# so does a warning.
set(command)
set(after_separator FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 1 ${last})
  if(after_separator)
    list(APPEND command "${CMAKE_ARGV${i}}")
  elseif(CMAKE_ARGV${i} STREQUAL "--")
    set(after_separator TRUE)
  endif()
endforeach()
list(POP_FRONT command name)
set(program ${name})
if(DEFINED PACKAGE)
  find_program(found ${program} NO_CACHE)
  if(NOT found)
    message(FATAL_ERROR "${program} is missing: install the Debian package ${PACKAGE} (make deps does)")
  endif()
  set(program ${found})
endif()
execute_process(COMMAND ${program} ${command}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(NOT status STREQUAL "0")
  message(FATAL_ERROR "${name} failed (exit ${status})")
endif()
if(DEFINED EXPECT AND NOT output STREQUAL "${EXPECT}\n")
  message(FATAL_ERROR "${name} printed \"${output}\", expected \"${EXPECT}\"")
endif()
if(DEFINED PACKAGE AND output MATCHES "[Ww]arning")
  message(FATAL_ERROR "${name} warns")
endif()
