# Runs korvanta-call with the test excerpt and checks its exit status and
# output: cmake -DEXE=... -DCTY=... -P call_cli.cmake
function(expect code pattern)
  execute_process(COMMAND ${EXE} ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT rc STREQUAL "${code}")
    message(FATAL_ERROR "korvanta-call ${ARGN}: exit ${rc}, expected ${code}\n${out}${err}")
  endif()
  if(NOT "${out}${err}" MATCHES "${pattern}")
    message(FATAL_ERROR "korvanta-call ${ARGN}: output does not match '${pattern}':\n${out}${err}")
  endif()
endfunction()

expect(0 "^Balearic Islands \\(EU\\) CQ 14 ITU 37 177° 1029 km [0-2][0-9]:[0-5][0-9] local\n$"
       EA6AB --from JN18EU --cty ${CTY})
expect(0 "^Balearic Islands \\(EU\\) CQ 14 ITU 37 177° 640 miles" ea6ab --from=jn18eu --miles
       --cty=${CTY})
expect(0 "^United States \\(NA\\) CQ 5 ITU 8 [0-9:]+ local\n$" KG4ABC --cty ${CTY})
expect(1 "^maritime mobile\n$" G3ABC/MM --cty ${CTY})
expect(1 "no entity for QQ1ABC" QQ1ABC --cty ${CTY})
expect(0 "Usage: korvanta-call CALL" --help)
expect(2 "no call sign" --cty ${CTY})
expect(2 "locator" EA6AB --from XX99 --cty ${CTY})
expect(2 "unknown option --bogus" EA6AB --bogus)
expect(2 "one call sign only" EA6AB G3ABC --cty ${CTY})
expect(2 "/nonexistent/cty.dat: the file cannot be read" EA6AB --cty /nonexistent/cty.dat)
