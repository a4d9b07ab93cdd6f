# The libraries that decode source pictures, as the imported targets ZLIB::ZLIB, PNG::PNG,
# GIF::GIF and JPEG::JPEG: Debian's packages in the native build; static builds from the prefix
# of scripts/picture-libs in the Windows and web cross builds (the cache variable
# ZENTRA_PICTURE_LIBS names a prefix of one's own; unset, the script is run here and its cached
# build used). A small program is linked against them once per prefix to prove they fit.

set(ZENTRA_PICTURE_LIBS "" CACHE PATH
    "Prefix (include/, lib/) of static zlib, libpng, giflib and libjpeg-turbo for a cross build")

if(NOT CMAKE_CROSSCOMPILING)
    foreach(package ZLIB PNG GIF JPEG)
        find_package(${package})
    endforeach()
    if(NOT (ZLIB_FOUND AND PNG_FOUND AND GIF_FOUND AND JPEG_FOUND))
        message(FATAL_ERROR "The picture libraries were not all found: Debian's packages "
                            "zlib1g-dev, libpng-dev, libgif-dev and libjpeg62-turbo-dev bring them")
    endif()
    set(zentra_picture_libs_used "${ZLIB_LIBRARIES};${PNG_LIBRARIES};${GIF_LIBRARIES};${JPEG_LIBRARIES}")
else()
    if(ZENTRA_PICTURE_LIBS)
        set(zentra_picture_prefix ${ZENTRA_PICTURE_LIBS})
    else()
        if(EMSCRIPTEN)
            set(zentra_picture_target wasm)
        elseif(WIN32 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
            set(zentra_picture_target mingw-i686)
        elseif(WIN32 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
            set(zentra_picture_target mingw-x86_64)
        else()
            message(FATAL_ERROR "scripts/picture-libs builds for Windows (i686, x86_64) and "
                                "emscripten only; set ZENTRA_PICTURE_LIBS to a prefix for "
                                "${CMAKE_SYSTEM_NAME} ${CMAKE_SYSTEM_PROCESSOR}")
        endif()
        set(zentra_picture_script ${CMAKE_CURRENT_LIST_DIR}/../scripts/picture-libs)
        cmake_path(NORMAL_PATH zentra_picture_script)
        message(STATUS "Picture libraries: scripts/picture-libs ${zentra_picture_target}")
        execute_process(COMMAND ${zentra_picture_script} ${zentra_picture_target}
            OUTPUT_VARIABLE zentra_picture_prefix OUTPUT_STRIP_TRAILING_WHITESPACE
            RESULT_VARIABLE zentra_picture_result)
        if(NOT zentra_picture_result EQUAL 0)
            message(FATAL_ERROR "scripts/picture-libs ${zentra_picture_target} failed "
                                "(${zentra_picture_result})")
        endif()
        # A changed recipe is a new build of the libraries.
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${zentra_picture_script})
    endif()
    message(STATUS "Picture libraries: ${zentra_picture_prefix}")

    # zentra_import_picture_library(<target> <file in lib/> <header in include/> [<dependency>])
    function(zentra_import_picture_library target file header)
        foreach(path lib/${file} include/${header})
            if(NOT EXISTS ${zentra_picture_prefix}/${path})
                message(FATAL_ERROR "${zentra_picture_prefix}/${path} not found: "
                                    "ZENTRA_PICTURE_LIBS is not a prefix of scripts/picture-libs")
            endif()
        endforeach()
        add_library(${target} STATIC IMPORTED)
        set_target_properties(${target} PROPERTIES
            IMPORTED_LOCATION ${zentra_picture_prefix}/lib/${file}
            INTERFACE_INCLUDE_DIRECTORIES ${zentra_picture_prefix}/include
            INTERFACE_LINK_LIBRARIES "${ARGN}")
    endfunction()
    zentra_import_picture_library(ZLIB::ZLIB libz.a zlib.h)
    zentra_import_picture_library(PNG::PNG libpng16.a png.h ZLIB::ZLIB)
    zentra_import_picture_library(GIF::GIF libgif.a gif_lib.h)
    zentra_import_picture_library(JPEG::JPEG libjpeg.a jpeglib.h)
    set(zentra_picture_libs_used ${zentra_picture_prefix})
endif()

# Every library's read side is reachable through its target: libpng with zlib behind it.
if(NOT ZENTRA_PICTURE_LIBS_CHECKED STREQUAL zentra_picture_libs_used)
    try_compile(zentra_picture_libs_link
        SOURCE_FROM_CONTENT picture_libraries_check.cpp [[
#include <cstdio>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
int main(int argc, char **) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_destroy_read_struct(&png, nullptr, nullptr);
    int error = 0;
    GifFileType *gif = argc > 1 ? DGifOpen(nullptr, nullptr, &error) : nullptr;
    jpeg_decompress_struct jpeg{};
    jpeg_error_mgr errors{};
    jpeg.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&jpeg);
    jpeg_destroy_decompress(&jpeg);
    return gif == nullptr ? 0 : 1;
}
]]
        LINK_LIBRARIES PNG::PNG GIF::GIF JPEG::JPEG
        OUTPUT_VARIABLE zentra_picture_libs_output
        NO_CACHE)
    if(NOT zentra_picture_libs_link)
        message(FATAL_ERROR "A program using libpng, giflib and libjpeg does not link against "
                            "${zentra_picture_libs_used}:\n${zentra_picture_libs_output}")
    endif()
    set(ZENTRA_PICTURE_LIBS_CHECKED "${zentra_picture_libs_used}" CACHE INTERNAL
        "The picture libraries that a program was linked against")
endif()
