# What a user installs: the install rules and the packages built from them by CPack.
# Windows builds: zenconv.exe, zenview.exe, ztr.exe, displays.prf and the usage guide in one
# folder, as a zip and as an NSIS installer. Linux: ztr, its profile file, its man page and
# the .ztr MIME type, installed under a prefix by `cmake --install` and packed as a .deb.
include(GNUInstallDirs)

add_subdirectory(${PROJECT_SOURCE_DIR}/docs/guide ${CMAKE_BINARY_DIR}/docs/guide)

set(CPACK_PACKAGE_NAME "Zentra")
set(CPACK_PACKAGE_VENDOR "the Zentra tools authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Zentra image tools: pictures prepared for small LCD and OLED displays")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_CHECKSUM SHA256)

if(WIN32)
    # Everything in one folder: the viewer looks for its guide beside itself, and both
    # programs keep their settings file in their own folder.
    install(TARGETS ztr zenview zenconv RUNTIME DESTINATION .)
    install(FILES ${PROJECT_SOURCE_DIR}/data/displays.prf DESTINATION .)
    # zentra_add_pictures for firmware builds that run this folder's ztr.exe.
    install(FILES ${PROJECT_SOURCE_DIR}/cmake/ZentraPictures.cmake DESTINATION cmake)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
    if(ZENTRA_GUIDE_PDF)
        install(FILES ${ZENTRA_GUIDE_PDF} DESTINATION .)
    endif()

    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
        set(CPACK_SYSTEM_NAME "win32")
        set(CPACK_NSIS_ZENTRA_TARGET "x86-unicode")
        set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
    else()
        # The 64-bit test build: its installer runs under wine64 on machines that cannot
        # run 32-bit programs, so that install and uninstall can be tried there.
        set(CPACK_SYSTEM_NAME "win64")
        set(CPACK_NSIS_ZENTRA_TARGET "amd64-unicode")
        set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    endif()
    set(CPACK_GENERATOR "ZIP;NSIS")
    set(CPACK_PACKAGE_FILE_NAME "zentra-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME}")
    set(CPACK_PACKAGE_INSTALL_DIRECTORY "Zentra")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
    set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackagingPerGenerator.cmake)
    set(CPACK_NSIS_PACKAGE_NAME "Zentra image tools ${PROJECT_VERSION}")
    set(CPACK_NSIS_DISPLAY_NAME "Zentra image tools")
    set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
    # Our own installer script (cmake/nsis/NSIS.template.in): Start-menu entries for the
    # two programs, the .ztr type for the installing user (opened by the viewer) and an
    # uninstaller that removes both; no PATH change.
    list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/nsis)
else()
    install(TARGETS ztr RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # ztr looks for ../share/zentra/displays.prf relative to its own directory.
    install(FILES ${PROJECT_SOURCE_DIR}/data/displays.prf
                  ${PROJECT_SOURCE_DIR}/data/zentra.magic
            DESTINATION ${CMAKE_INSTALL_DATADIR}/zentra)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/ztr.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    # zentra_add_pictures for firmware builds: include(/usr/share/zentra/cmake/ZentraPictures.cmake)
    install(FILES ${PROJECT_SOURCE_DIR}/cmake/ZentraPictures.cmake
            DESTINATION ${CMAKE_INSTALL_DATADIR}/zentra/cmake)
    # File managers name .ztr files; dpkg's trigger of shared-mime-info updates the database.
    install(FILES ${PROJECT_SOURCE_DIR}/data/zentra-mime.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME zentra.xml)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ztr)
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ztr
            RENAME copyright)
    if(ZENTRA_GUIDE_PDF)
        install(FILES ${ZENTRA_GUIDE_PDF} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ztr)
    endif()

    set(CPACK_GENERATOR "DEB")
    set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
    set(CPACK_DEBIAN_PACKAGE_NAME "ztr")
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
    include(${PROJECT_SOURCE_DIR}/cmake/ZentraRelease.cmake)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZENTRA_MAINTAINER} <${ZENTRA_MAINTAINER_EMAIL}>")
    set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
    string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Zentra image tools: console converter for small displays\n"
        "ztr converts BMP, PBM, PGM, PPM, PNG, GIF, JPEG and TGA pictures into Zentra\n"
        "files, which hold one bitmap of a picture for every kind of small LCD, OLED or\n"
        "colour display, packed in the display's own memory lay-out; it also lists and\n"
        "renders such files.")
    # dpkg-shlibdeps adds the packages of the libraries ztr links: the C and C++ libraries,
    # libpng16-16, libgif7 and libjpeg62-turbo. zlib1g, which inflates the PNG data inside
    # libpng, is named here, as ztr does not link it itself.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "zlib1g")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)

# The device library for Arduino as a zip (Sketch > Include Library > Add .ZIP Library):
# its folder holds library.properties, src/, examples/ and the licence. Built with every
# build, beside the other packages.
set(ZENTRA_ARDUINO_ZIP ${CMAKE_BINARY_DIR}/zentra_device-${PROJECT_VERSION}-arduino.zip)
set(arduino_stage ${CMAKE_BINARY_DIR}/arduino/ZentraDevice)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/arduino)
set(arduino_files ${PROJECT_SOURCE_DIR}/device/library.properties
    ${PROJECT_SOURCE_DIR}/device/library.json ${PROJECT_SOURCE_DIR}/device/src/zentra_device.h
    ${PROJECT_SOURCE_DIR}/device/src/zentra_device.c
    ${PROJECT_SOURCE_DIR}/device/src/zentra_dense_avr.S
    ${PROJECT_SOURCE_DIR}/device/examples/ZentraAnimation/ZentraAnimation.ino
    ${PROJECT_SOURCE_DIR}/device/examples/ZentraAnimation/animation.h ${PROJECT_SOURCE_DIR}/LICENSE)
add_custom_command(OUTPUT ${ZENTRA_ARDUINO_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${arduino_stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${arduino_stage}/src
            ${arduino_stage}/examples/ZentraAnimation
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/device/library.properties
            ${PROJECT_SOURCE_DIR}/device/library.json ${PROJECT_SOURCE_DIR}/LICENSE ${arduino_stage}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/device/src/zentra_device.h
            ${PROJECT_SOURCE_DIR}/device/src/zentra_device.c
            ${PROJECT_SOURCE_DIR}/device/src/zentra_dense_avr.S ${arduino_stage}/src
    COMMAND ${CMAKE_COMMAND} -E copy
            ${PROJECT_SOURCE_DIR}/device/examples/ZentraAnimation/ZentraAnimation.ino
            ${PROJECT_SOURCE_DIR}/device/examples/ZentraAnimation/animation.h
            ${arduino_stage}/examples/ZentraAnimation
    COMMAND ${CMAKE_COMMAND} -E tar cf ${ZENTRA_ARDUINO_ZIP} --format=zip ZentraDevice
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/arduino
    DEPENDS ${arduino_files}
    COMMENT "Packing the Arduino library" VERBATIM)
add_custom_target(arduino_library ALL DEPENDS ${ZENTRA_ARDUINO_ZIP})

if(ZENTRA_TESTS AND NOT CMAKE_CROSSCOMPILING)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests/release ${CMAKE_BINARY_DIR}/tests/release)
endif()
