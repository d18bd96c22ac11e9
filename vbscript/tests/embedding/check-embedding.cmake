# cmake -DVBSCRIPT_DIR=... -DWORK_DIR=... -P check-embedding.cmake: configures the embedding project and
# compiles its one file.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR} -B ${WORK_DIR} -G Ninja
                        -DVBSCRIPT_DIR=${VBSCRIPT_DIR}
                RESULT_VARIABLE configured OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT configured EQUAL 0)
    message(FATAL_ERROR "configuring failed:\n${out}\n${err}")
endif()
if(NOT out MATCHES "vbscript: tests skipped")
    message(FATAL_ERROR "the tests were not skipped:\n${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR} --target consumer
                RESULT_VARIABLE built OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "compiling against the headers failed:\n${out}\n${err}")
endif()
