# Run after a test program is built: lists its tests and writes one ctest test per suite
# (every test of a suite in one process), with the program's label and time limit.
#   TEST_EXECUTABLE  the program
#   CTEST_FILE       the file of add_test lines to write
#   TEST_LABEL       its label
#   TEST_TIMEOUT     the seconds one suite may take
execute_process(COMMAND "${TEST_EXECUTABLE}" --gtest_list_tests
    OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 60)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TEST_EXECUTABLE} --gtest_list_tests failed (${status}): ${errors}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(content "")
set(count 0)
foreach(line IN LISTS lines)
    # A suite's line is its name and a dot, maybe followed by a comment on its type
    # parameter; the tests under it are indented.
    if(line MATCHES "^([A-Za-z_][A-Za-z0-9_/]*)\\.( +#.*)?$")
        set(suite "${CMAKE_MATCH_1}")
        string(APPEND content
            "add_test([==[${suite}]==] [==[${TEST_EXECUTABLE}]==] [==[--gtest_filter=${suite}.*]==])\n"
            "set_tests_properties([==[${suite}]==] PROPERTIES TIMEOUT ${TEST_TIMEOUT} "
            "LABELS ${TEST_LABEL})\n")
        math(EXPR count "${count} + 1")
    endif()
endforeach()
if(count EQUAL 0)
    message(FATAL_ERROR "${TEST_EXECUTABLE} lists no test suite")
endif()
file(WRITE "${CTEST_FILE}" "${content}")
