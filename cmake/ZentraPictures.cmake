# zentra_add_pictures: pictures converted by ztr when a firmware builds, and their C header
# added to its target. Installed with the tools (share/zentra/cmake, the Windows folder's
# cmake/) and with the device library's CMake package (find_package(zentra_device) brings
# it), and usable from a source checkout:
#   include(<dir>/ZentraPictures.cmake)
#   zentra_add_pictures(firmware NAME logo PICTURES logo.png TYPES ssd1306)
#   zentra_add_pictures(firmware NAME ball ANIMATION DELAY 100 PICTURES a.pgm b.pgm c.pgm
#                       TYPES ssd1306 OPTIONS --dither atkinson [CODES 0x10006] [SOURCE])
# writes <build>/zentra_pictures/NAME.ztr (ztr convert -o) and NAME.h (ztr export --name
# NAME), plus NAME.c with SOURCE; the folder is on the target's include path. A changed
# picture, option or ztr rebuilds only that file and what includes its header. ztr is
# ZENTRA_ZTR, else found on the PATH or beside this file's tools.
function(zentra_add_pictures target)
    cmake_parse_arguments(ARG "ANIMATION;SOURCE" "NAME;DELAY;PROFILES"
                          "PICTURES;TYPES;CODES;OPTIONS" ${ARGN})
    if(NOT ARG_NAME OR NOT ARG_PICTURES OR (NOT ARG_TYPES AND NOT ARG_CODES))
        message(FATAL_ERROR "zentra_add_pictures(${target}): NAME, PICTURES and TYPES or CODES")
    endif()
    if(NOT ZENTRA_ZTR)
        find_program(ZENTRA_ZTR ztr HINTS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../../../bin
                     ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/..)
        if(NOT ZENTRA_ZTR)
            message(FATAL_ERROR "zentra_add_pictures: no ztr found; set ZENTRA_ZTR")
        endif()
    endif()
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/zentra_pictures)
    set(file ${dir}/${ARG_NAME}.ztr)
    set(header ${dir}/${ARG_NAME}.h)
    set(pictures)
    foreach(picture IN LISTS ARG_PICTURES)
        get_filename_component(picture ${picture} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
        list(APPEND pictures ${picture})
    endforeach()
    set(convert convert)
    if(ARG_ANIMATION)
        list(APPEND convert --animation)
    endif()
    if(DEFINED ARG_DELAY)
        list(APPEND convert --delay ${ARG_DELAY})
    endif()
    if(ARG_PROFILES)
        get_filename_component(profiles ${ARG_PROFILES} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
        list(APPEND convert --profiles ${profiles})
    endif()
    foreach(type IN LISTS ARG_TYPES)
        list(APPEND convert --type ${type})
    endforeach()
    foreach(code IN LISTS ARG_CODES)
        list(APPEND convert --code ${code})
    endforeach()
    list(APPEND convert ${ARG_OPTIONS} -o ${file} --)
    # The command line written to a file that changes only when it does: a changed option
    # rebuilds the file even where the build tool does not compare command lines.
    set(stamp ${dir}/${ARG_NAME}.options)
    string(REPLACE ";" "\n" options_text "${convert};${pictures}")
    file(CONFIGURE OUTPUT ${stamp} CONTENT "${options_text}\n")
    add_custom_command(OUTPUT ${file}
        COMMAND ${ZENTRA_ZTR} ${convert} ${pictures}
        DEPENDS ${pictures} ${stamp} ${ZENTRA_ZTR} ${profiles}
        COMMENT "Converting the pictures of ${ARG_NAME}" VERBATIM)
    set(outputs ${header})
    set(export export ${file} --name ${ARG_NAME} -o ${header})
    if(ARG_SOURCE)
        list(APPEND export --source ${dir}/${ARG_NAME}.c)
        list(APPEND outputs ${dir}/${ARG_NAME}.c)
    endif()
    add_custom_command(OUTPUT ${outputs}
        COMMAND ${ZENTRA_ZTR} ${export}
        DEPENDS ${file} ${ZENTRA_ZTR}
        COMMENT "Exporting ${ARG_NAME}.ztr for C" VERBATIM)
    target_sources(${target} PRIVATE ${outputs})
    target_include_directories(${target} PRIVATE ${dir})
endfunction()
