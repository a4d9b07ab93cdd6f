# Automatic variables start as zero in everything compiled below the including directory, so
# that a variable read before it is written holds zero instead of what the stack held. GCC 12
# takes the flag as it is; clang before 16 (Debian's clang 14, also inside emscripten) only
# with its opt-in switch.
include(CheckCXXSourceCompiles)

set(ZENTRA_ZERO_INIT_FLAGS -ftrivial-auto-var-init=zero)
set(ZENTRA_ZERO_INIT_OPT_IN -enable-trivial-auto-var-init-zero-knowing-it-will-be-removed-from-clang)
set(CMAKE_REQUIRED_QUIET ON)
set(CMAKE_REQUIRED_FLAGS "${ZENTRA_ZERO_INIT_FLAGS}")
check_cxx_source_compiles("int main() { return 0; }" ZENTRA_ZERO_INIT_PLAIN)
if(NOT ZENTRA_ZERO_INIT_PLAIN)
    set(CMAKE_REQUIRED_FLAGS "${ZENTRA_ZERO_INIT_FLAGS} ${ZENTRA_ZERO_INIT_OPT_IN}")
    check_cxx_source_compiles("int main() { return 0; }" ZENTRA_ZERO_INIT_OPTED_IN)
    if(NOT ZENTRA_ZERO_INIT_OPTED_IN)
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} accepts neither -ftrivial-auto-var-init=zero "
                            "nor it with ${ZENTRA_ZERO_INIT_OPT_IN}")
    endif()
    list(APPEND ZENTRA_ZERO_INIT_FLAGS ${ZENTRA_ZERO_INIT_OPT_IN})
endif()
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_QUIET)
add_compile_options(${ZENTRA_ZERO_INIT_FLAGS})
