# Cross build for 64-bit Windows with Debian's mingw-w64 (x86_64). This build exists to run
# the test programs under wine64 on machines that cannot execute 32-bit programs; the same
# sources make the shipped 32-bit programs. Linked statically like the shipped build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)

# CTest starts every test program through this wrapper: a private Wine prefix and a
# private virtual X display, both made once and reused by later programs.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run")
