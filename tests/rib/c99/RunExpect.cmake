# Runs PROGRAM (with ARG when given) and checks its exit status and its standard error text.
execute_process(COMMAND ${PROGRAM} ${ARG} RESULT_VARIABLE status ERROR_VARIABLE errors
                OUTPUT_QUIET)
if(NOT status EQUAL EXPECT_STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECT_STATUS}; stderr: ${errors}")
endif()
if(NOT errors STREQUAL EXPECT_STDERR)
  message(FATAL_ERROR "stderr was [${errors}], expected [${EXPECT_STDERR}]")
endif()
