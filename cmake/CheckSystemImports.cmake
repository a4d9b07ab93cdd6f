# Build check for a Windows program: every DLL that it imports must be one of the system's
# own, so that no mingw runtime DLL has to travel with it.
#   cmake -DOBJDUMP=<objdump> -DPROGRAM=<program.exe> -P CheckSystemImports.cmake
cmake_minimum_required(VERSION 3.25)
set(system_dlls
    kernel32.dll user32.dll gdi32.dll comdlg32.dll comctl32.dll shell32.dll advapi32.dll
    msvcrt.dll ole32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM}
    OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
if(NOT lines)
    message(FATAL_ERROR "${PROGRAM}: no import table found")
endif()
foreach(line IN LISTS lines)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "^api-ms-win-")
        message(FATAL_ERROR "${PROGRAM} imports ${dll}, which is not a system DLL")
    endif()
endforeach()
