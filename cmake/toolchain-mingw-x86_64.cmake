# Cross build for 64-bit Windows with Debian's mingw-w64 (x86_64). This build exists to run
# the test programs under wine64 on machines that cannot execute 32-bit programs; the same
# sources make the shipped 32-bit programs. Linked statically like the shipped build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model: GoogleTest needs std::mutex, which the win32 model of GCC 12
# lacks. Its runtime (winpthread) is linked statically like everything else.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(ZENTRA_OBJDUMP x86_64-w64-mingw32-objdump)

# CTest starts every test program through this wrapper: a private Wine prefix and a
# private virtual X display, both made once and reused by later programs.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run")
