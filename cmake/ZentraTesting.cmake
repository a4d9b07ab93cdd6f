# Test registration shared by every folder: GoogleTest programs discovered by CTest.
# Native builds use the system GoogleTest; the Windows cross build brings its own.
if(NOT ZENTRA_TESTS)
    return()
endif()

enable_testing()
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
    # GoogleTest built from Debian's sources with the cross compiler; the test programs
    # run through CMAKE_CROSSCOMPILING_EMULATOR (the Wine wrapper).
    set(ZENTRA_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${ZENTRA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
else()
    find_package(GTest REQUIRED)
endif()

# Test data seen from the test program: on Windows under Wine through drive Z:, which
# maps the host's root, written with backslashes as Windows programs see paths.
if(CMAKE_CROSSCOMPILING AND WIN32)
    string(REPLACE "/" "\\\\" ZENTRA_TEST_DATA_PATH "Z:${PROJECT_SOURCE_DIR}/tests/data")
else()
    set(ZENTRA_TEST_DATA_PATH "${PROJECT_SOURCE_DIR}/tests/data")
endif()

# zentra_add_gtest(NAME [DESKTOP] [PREFIX TEXT] sources... LIBS libs...)
# PREFIX goes before every test name, for a second build of the same tests.
# DESKTOP marks programs that create windows, take the keyboard focus or read the screen:
# they share one display, so CTest runs them one at a time (other tests still run beside).
function(zentra_add_gtest name)
    cmake_parse_arguments(ARG "DESKTOP" "PREFIX" "LIBS" ${ARGN})
    set(lock)
    if(ARG_PREFIX)
        list(APPEND lock TEST_PREFIX ${ARG_PREFIX})
    endif()
    if(ARG_DESKTOP)
        list(APPEND lock PROPERTIES RESOURCE_LOCK desktop)
    endif()
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE ZENTRA_TEST_DATA="${ZENTRA_TEST_DATA_PATH}")
    if(CMAKE_CROSSCOMPILING)
        # Listing the tests needs the emulator, so it happens when CTest runs.
        gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
            DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 ${lock})
    else()
        gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} ${lock})
    endif()
endfunction()
