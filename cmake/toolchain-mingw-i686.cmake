# Cross build for 32-bit Windows with Debian's mingw-w64 (i686): the shipped programs, and
# with preset win32-tests their tests, run under Wine's 32-bit loader where the machine
# runs 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
