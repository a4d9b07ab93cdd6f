# Check of zenview.exe's export table: exactly one export, the window procedure under the
# name "_WndProc@16" (other programs find it by that name).
#   cmake -DOBJDUMP=<objdump> -DPROGRAM=<zenview.exe> -P check_export.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed")
endif()

# The name table: lines "\t[   0] +base[   1] 0000 _WndProc@16" after "[Ordinal/Name Pointer] Table".
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" start)
if(start EQUAL -1)
    message(FATAL_ERROR "${PROGRAM}: no export name table")
endif()
string(SUBSTRING "${dump}" ${start} -1 table)
string(REGEX MATCH "^[^\n]*\n(([ \t]+\\[[^\n]*\n)*)" block "${table}")
string(REGEX MATCHALL "\\][ \t]+[^ \t\n]+\n" entries "${CMAKE_MATCH_1}")
set(names "")
foreach(entry IN LISTS entries)
    string(REGEX REPLACE "^\\][ \t]+([^ \t\n]+)\n$" "\\1" name "${entry}")
    list(APPEND names "${name}")
endforeach()
if(NOT names STREQUAL "_WndProc@16")
    message(FATAL_ERROR "${PROGRAM} exports [${names}], expected exactly _WndProc@16")
endif()
message(STATUS "${PROGRAM} exports _WndProc@16")
