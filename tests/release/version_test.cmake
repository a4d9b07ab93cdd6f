# One version for everything: the files that must write the version out (documents, the
# device library's header and package files) carry the one of format/version.h, and no
# other text file of the source tree writes it.   cmake -DSOURCE=<source dir> -P this file
cmake_minimum_required(VERSION 3.25)
include(${SOURCE}/cmake/ZentraVersion.cmake)
set(failures 0)
macro(fail text)
    message(SEND_ERROR "${text}")
    math(EXPR failures "${failures} + 1")
endmacro()

# FILE REGEX: every match's first group must be the version, and there must be one.
function(expect_versions file regex)
    file(STRINGS ${SOURCE}/${file} lines REGEX "${regex}")
    if(NOT lines)
        fail("${file}: no version found (${regex})")
        set(failures ${failures} PARENT_SCOPE)
        return()
    endif()
    foreach(line IN LISTS lines)
        string(REGEX MATCHALL "${regex}" matches "${line}")
        foreach(match IN LISTS matches)
            string(REGEX MATCH "${regex}" ignored "${match}")
            if(NOT CMAKE_MATCH_1 STREQUAL ZENTRA_VERSION)
                fail("${file}: '${match}' is not version ${ZENTRA_VERSION}")
            endif()
        endforeach()
    endforeach()
    set(failures ${failures} PARENT_SCOPE)
endfunction()

set(number "([0-9]+\\.[0-9]+\\.[0-9]+)")
expect_versions(README.md "zentra-${number}-win32")
expect_versions(README.md "ztr_${number}_amd64")
expect_versions(docs/ztr.1 "\"ztr ${number}\"")
expect_versions(docs/guide/zenview.ms "^Version ${number}")
expect_versions(docs/guide/zenview.ms "zentra-${number}-win32")
expect_versions(device/src/zentra_device.h "define ZTR_VERSION_TEXT \"${number}\"")
expect_versions(device/library.properties "^version=${number}$")
expect_versions(device/library.json "\"version\": \"${number}\"")
expect_versions(device/esp_idf/zentra_device/idf_component.yml "^version: \"${number}\"$")

# The device header's numbers, one by one.
file(STRINGS ${SOURCE}/device/src/zentra_device.h device_parts
     REGEX "^#define ZTR_VERSION_(MAJOR|MINOR|BUILD) [0-9]+$")
set(parts)
foreach(part MAJOR MINOR BUILD)
    string(REGEX MATCH "ZTR_VERSION_${part} ([0-9]+)" found "${device_parts}")
    list(APPEND parts "${CMAKE_MATCH_1}")
endforeach()
list(JOIN parts "." device_version)
if(NOT device_version STREQUAL ZENTRA_VERSION)
    fail("device/src/zentra_device.h: ZTR_VERSION_MAJOR/MINOR/BUILD make ${device_version}")
endif()

# No other text file writes the version out.
set(allowed README.md docs/ztr.1 docs/guide/zenview.ms device/src/zentra_device.h
    device/library.properties device/library.json device/esp_idf/zentra_device/idf_component.yml)
file(GLOB_RECURSE texts RELATIVE ${SOURCE} LIST_DIRECTORIES false
     ${SOURCE}/*.md ${SOURCE}/*.txt ${SOURCE}/*.cmake ${SOURCE}/*.h ${SOURCE}/*.c ${SOURCE}/*.cpp
     ${SOURCE}/*.rc ${SOURCE}/*.in ${SOURCE}/*.ms ${SOURCE}/*.1 ${SOURCE}/*.json ${SOURCE}/*.yml
     ${SOURCE}/*.properties ${SOURCE}/*.sh ${SOURCE}/*.js ${SOURCE}/*.mjs ${SOURCE}/*.html
     ${SOURCE}/*.ino ${SOURCE}/scripts/*)
string(REPLACE "." "\\." literal "${ZENTRA_VERSION}")
foreach(file IN LISTS texts)
    if(file MATCHES "^(build|\\.git|web/tests/node_modules)/" OR file IN_LIST allowed)
        continue()
    endif()
    file(STRINGS ${SOURCE}/${file} found REGEX "${literal}")
    if(found)
        fail("${file} writes the version ${ZENTRA_VERSION} out: read format/version.h instead")
    endif()
endforeach()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} version check(s) failed")
endif()
message(STATUS "Version ${ZENTRA_VERSION} everywhere")
