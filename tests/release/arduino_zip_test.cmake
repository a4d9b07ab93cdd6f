# The Arduino library's zip: one folder holding library.properties at its top, the sources
# in src/, each example in examples/NAME/NAME.ino, the licence; every file equal to the
# repository's.   cmake -DZIP=<zip> -DSOURCE=<source dir> -DWORK=<scratch dir> -P this file
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
if(NOT EXISTS ${ZIP})
    message(FATAL_ERROR "no ${ZIP}")
endif()
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${WORK})
file(GLOB_RECURSE found RELATIVE ${WORK} ${WORK}/*)
list(SORT found)
set(expected ZentraDevice/LICENSE
    ZentraDevice/examples/ZentraAnimation/ZentraAnimation.ino
    ZentraDevice/examples/ZentraAnimation/animation.h ZentraDevice/library.json
    ZentraDevice/library.properties ZentraDevice/src/zentra_dense_avr.S
    ZentraDevice/src/zentra_device.c ZentraDevice/src/zentra_device.h)
if(NOT found STREQUAL expected)
    message(FATAL_ERROR "the zip holds\n  ${found}\nexpected\n  ${expected}")
endif()
foreach(file IN LISTS expected)
    string(REPLACE "ZentraDevice/" "device/" original ${file})
    if(file STREQUAL "ZentraDevice/LICENSE")
        set(original LICENSE)
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${file}
                            ${SOURCE}/${original} RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "${file} differs from ${original}")
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
message(STATUS "The Arduino zip holds the library as Arduino lays it out")
