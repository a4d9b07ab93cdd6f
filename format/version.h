// The version that every program, resource, package and document of the Zentra tools
// carries: written here only. CMake reads the three numbers (cmake/ZentraVersion.cmake),
// the resource scripts include this file, and tests/release/version_test.cmake checks
// the files that must hold it written out.
#pragma once

#define ZENTRA_VERSION_MAJOR 1
#define ZENTRA_VERSION_MINOR 0
#define ZENTRA_VERSION_BUILD 4378

#define ZENTRA_VERSION_QUOTE(text) #text
#define ZENTRA_VERSION_STRING(text) ZENTRA_VERSION_QUOTE(text)
// "MAJOR.MINOR.BUILD", and the same with ".0" for Windows version records.
#define ZENTRA_VERSION_TEXT                                                                        \
    ZENTRA_VERSION_STRING(ZENTRA_VERSION_MAJOR.ZENTRA_VERSION_MINOR.ZENTRA_VERSION_BUILD)
#define ZENTRA_VERSION_TEXT4                                                                       \
    ZENTRA_VERSION_STRING(ZENTRA_VERSION_MAJOR.ZENTRA_VERSION_MINOR.ZENTRA_VERSION_BUILD .0)
