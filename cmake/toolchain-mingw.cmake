# What both mingw-w64 cross builds share, for the processor that the including toolchain
# file names in CMAKE_SYSTEM_PROCESSOR (i686 or x86_64). Everything is linked statically
# so that no mingw runtime DLL has to travel with the programs.
set(CMAKE_SYSTEM_NAME Windows)
set(ZENTRA_MINGW_PREFIX ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

# The posix thread model: GoogleTest needs std::mutex, which the win32 model of GCC 12
# lacks. Its runtime (winpthread) is linked statically like everything else.
set(CMAKE_C_COMPILER ${ZENTRA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZENTRA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZENTRA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZENTRA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(ZENTRA_OBJDUMP ${ZENTRA_MINGW_PREFIX}-objdump)

# CTest starts every test program through this wrapper: a private Wine prefix and a
# private virtual X display, both made once and reused by later programs; it picks Wine's
# 32-bit or 64-bit loader to match the program.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run")
