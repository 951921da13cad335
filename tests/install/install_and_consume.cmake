# Run as a script: install BUILD_DIR into PREFIX, configure and build CONSUMER_SOURCE
# against it in CONSUMER_BUILD, and run the consumer. Any failing step fails the test.
function(run_step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "step failed: ${ARGN}\n${out}")
  endif()
endfunction()

file(REMOVE_RECURSE ${PREFIX} ${CONSUMER_BUILD})
run_step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})
run_step(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE} -B ${CONSUMER_BUILD} -DCMAKE_PREFIX_PATH=${PREFIX})
run_step(${CMAKE_COMMAND} --build ${CONSUMER_BUILD})
run_step(${CONSUMER_BUILD}/consumer)
