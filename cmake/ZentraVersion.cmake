# ZENTRA_VERSION ("MAJOR.MINOR.BUILD"), read from format/version.h, the one file that writes the
# tools' version; included before project() by the top-level and the web build.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../format/version.h zentra_version_lines
     REGEX "^#define ZENTRA_VERSION_(MAJOR|MINOR|BUILD) [0-9]+$")
set(ZENTRA_VERSION)
foreach(part MAJOR MINOR BUILD)
    string(REGEX MATCH "ZENTRA_VERSION_${part} ([0-9]+)" found "${zentra_version_lines}")
    if(NOT found)
        message(FATAL_ERROR "format/version.h defines no ZENTRA_VERSION_${part}")
    endif()
    list(APPEND ZENTRA_VERSION ${CMAKE_MATCH_1})
endforeach()
list(JOIN ZENTRA_VERSION "." ZENTRA_VERSION)
