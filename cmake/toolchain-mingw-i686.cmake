# Cross build for 32-bit Windows with Debian's mingw-w64 (i686): the shipped programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
