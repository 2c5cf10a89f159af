# Run by CTest when it reads the test list: registers one test per
# GoogleTest suite of a test program, each suite in a process of its own.
# Set by the including file: `program` (the test program), `prefix` (of the
# test names) and `environment` (the tests' ENVIRONMENT property).
if(NOT EXISTS "${program}")
    add_test("${prefix}NOT_BUILT" "${prefix}NOT_BUILT")
    return()
endif()
execute_process(COMMAND "${program}" --gtest_list_tests
    OUTPUT_VARIABLE listing RESULT_VARIABLE listed)
if(NOT listed EQUAL 0)
    add_test("${prefix}LISTING_FAILED" "${program}" --gtest_list_tests)
    return()
endif()
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
    # A suite line starts in the first column and ends with a dot (a typed
    # suite adds a comment after it); case lines are indented.
    if(line MATCHES "^([^ #][^ ]*)\\.")
        set(suite "${CMAKE_MATCH_1}")
        add_test("${prefix}${suite}" "${program}" "--gtest_filter=${suite}.*" --gtest_brief=1)
        set_tests_properties("${prefix}${suite}" PROPERTIES ENVIRONMENT "${environment}")
    endif()
endforeach()
