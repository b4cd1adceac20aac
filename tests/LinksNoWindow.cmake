# Fails when the test program PROGRAM links any code of the windows (Main,
# SDCalc, About): a pure core's tests link that core alone.
execute_process(COMMAND ${NM} -C ${PROGRAM} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} could not read ${PROGRAM}")
endif()
string(REGEX MATCHALL "[^\n]*[^A-Za-z0-9_](Main|SDCalc|About)::[^\n]*" window "${symbols}")
if(window)
  list(JOIN window "\n" listed)
  message(FATAL_ERROR "${PROGRAM} links window code:\n${listed}")
endif()
