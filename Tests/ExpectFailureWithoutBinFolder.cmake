# Runs some tests of a suite without VRA_BIN_DIR: they must fail with the message that names it,
# and the suite must end as a failed run (exit code 1), not a crash.
#   cmake -DSUITE=<executable> -DFILTER=<gtest filter> -P ExpectFailureWithoutBinFolder.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=VRA_BIN_DIR ${SUITE} --gtest_filter=${FILTER}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
string(FIND "${output}" "VRA_BIN_DIR is not set" message)
if(NOT result EQUAL 1 OR message EQUAL -1)
    message(FATAL_ERROR "expected a failed run naming VRA_BIN_DIR, got exit status '${result}':\n${output}")
endif()
