# Test registration shared by every folder: GoogleTest programs discovered by CTest.
# Native builds use the system GoogleTest; the Windows cross build brings its own.
if(NOT ZENTRA_TESTS)
    return()
endif()

enable_testing()
include(GoogleTest)
find_package(GTest REQUIRED)

# zentra_add_gtest(NAME sources... LIBS libs...)
function(zentra_add_gtest name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        ZENTRA_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
