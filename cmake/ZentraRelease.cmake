# The release setting that every package file of the device library carries: the web
# address and the maintainer. Included, it sets ZENTRA_URL, ZENTRA_MAINTAINER and
# ZENTRA_MAINTAINER_EMAIL (the .deb takes them); run as a script,
#   cmake -DSOURCE=<source dir> -P cmake/ZentraRelease.cmake
# it writes them into the Arduino, PlatformIO and ESP-IDF manifests, so that publishing
# changes them here alone. tests/release/device_manifests_test.cmake checks that they agree.
set(ZENTRA_URL "https://zentra.example.com/")
set(ZENTRA_MAINTAINER "the Zentra tools authors")
set(ZENTRA_MAINTAINER_EMAIL "zentra@localhost")

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    set(device ${SOURCE}/device)
    # FILE REGEX REPLACEMENT: the one line that matches, rewritten.
    function(rewrite file regex replacement)
        file(READ ${file} text)
        string(REGEX REPLACE "${regex}" "${replacement}" changed "${text}")
        file(WRITE ${file} "${changed}")
    endfunction()
    set(who "${ZENTRA_MAINTAINER} <${ZENTRA_MAINTAINER_EMAIL}>")
    rewrite(${device}/library.properties "\nurl=[^\n]*" "\nurl=${ZENTRA_URL}")
    rewrite(${device}/library.properties "\nmaintainer=[^\n]*" "\nmaintainer=${who}")
    rewrite(${device}/library.json "\"homepage\": \"[^\"]*\"" "\"homepage\": \"${ZENTRA_URL}\"")
    rewrite(${device}/library.json "\"email\": \"[^\"]*\"" "\"email\": \"${ZENTRA_MAINTAINER_EMAIL}\"")
    rewrite(${device}/esp_idf/zentra_device/idf_component.yml "\nurl: \"[^\"]*\""
            "\nurl: \"${ZENTRA_URL}\"")
    message(STATUS "Package files carry ${ZENTRA_URL} and ${who}")
endif()
