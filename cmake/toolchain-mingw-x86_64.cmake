# Cross build for 64-bit Windows with Debian's mingw-w64 (x86_64). This build runs the test
# programs under wine64 on every machine, also those that cannot execute 32-bit programs;
# the same sources make the shipped 32-bit programs. Linked statically like them.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
