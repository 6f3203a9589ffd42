# Runs PROGRAM with OUTPUT as its argument and fails unless OUTPUT equals GOLDEN byte for byte.
execute_process(COMMAND ${PROGRAM} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} exited with ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${GOLDEN} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${OUTPUT} differs from ${GOLDEN}")
endif()
