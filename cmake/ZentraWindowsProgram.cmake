# How both Windows programs are made: the resources as an object library <name>_resources
# (linked into the program and into its tests), with the manifest that asks for version 6
# of the common controls, and the program itself, linked statically and checked to import
# nothing but the system's own DLLs.

# The 32-bit build names its processor; the 64-bit test build names any, because Wine only
# loads common controls 6 for a matching architecture.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
    set(ZENTRA_MANIFEST_ARCH "x86")
else()
    set(ZENTRA_MANIFEST_ARCH "*")
endif()

# zentra_add_windows_program(<name> MAIN <source> APP <library> ASSEMBLY <assembly name>
#                            DESCRIPTION <text>)
# Expects <name>.rc, resource.h and icons/app.ico, icons/app32.ico in the calling folder;
# the resource script includes the manifest as "<name>.manifest".
function(zentra_add_windows_program name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "MAIN;APP;ASSEMBLY;DESCRIPTION" "")
    set(ZENTRA_MANIFEST_NAME "${ARG_ASSEMBLY}")
    set(ZENTRA_MANIFEST_DESCRIPTION "${ARG_DESCRIPTION}")
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${name}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/widgets/program.manifest.in ${manifest} @ONLY)

    add_library(${name}_resources OBJECT ${name}.rc)
    target_include_directories(${name}_resources PRIVATE
        ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})
    set_source_files_properties(${name}.rc PROPERTIES OBJECT_DEPENDS
        "${CMAKE_CURRENT_SOURCE_DIR}/icons/app.ico;${CMAKE_CURRENT_SOURCE_DIR}/icons/app32.ico;${manifest};${CMAKE_CURRENT_SOURCE_DIR}/resource.h")

    add_executable(${name} WIN32 ${ARG_MAIN} $<TARGET_OBJECTS:${name}_resources>)
    target_link_libraries(${name} PRIVATE ${ARG_APP})
    target_link_options(${name} PRIVATE -static)

    # The shipped program needs no DLL beyond the system's own.
    if(ZENTRA_OBJDUMP)
        add_custom_command(TARGET ${name} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${ZENTRA_OBJDUMP} -DPROGRAM=$<TARGET_FILE:${name}>
                    -P ${PROJECT_SOURCE_DIR}/cmake/CheckSystemImports.cmake
            VERBATIM)
    endif()
endfunction()
