# Script of the fuzz-smoke tests (see smoke_tests.cmake).
#   MODE=build: configure and build fuzz/ with clang in BUILD_DIR.
#   MODE=run:   run FUZZER for SECONDS from CORPUS; new inputs and any crash
#               go to WORK, never into the committed corpus.
if(MODE STREQUAL "build")
    execute_process(COMMAND ${CMAKE_COMMAND} -S ${FUZZ_DIR} -B ${BUILD_DIR} -G "${GENERATOR}"
                            -DCMAKE_C_COMPILER=${CC} -DCMAKE_CXX_COMPILER=${CXX}
                    RESULT_VARIABLE failed)
    if(NOT failed)
        execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} RESULT_VARIABLE failed)
    endif()
    if(failed)
        message(FATAL_ERROR "the fuzz targets did not build")
    endif()
elseif(MODE STREQUAL "run")
    file(REMOVE_RECURSE ${WORK})
    file(MAKE_DIRECTORY ${WORK}/found)
    execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -print_final_stats=1
                            -artifact_prefix=${WORK}/ ${WORK}/found ${CORPUS}
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${FUZZER} failed; the input that did it is in ${WORK}")
    endif()
else()
    message(FATAL_ERROR "MODE must be build or run")
endif()
