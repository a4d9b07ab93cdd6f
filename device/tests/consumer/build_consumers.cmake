# Proves the device library's CMake package: builds and installs LIBRARY into a prefix under
# WORK, checks what it installs, builds the consumer SOURCE against it with find_package
# (its picture converted by zentra_add_pictures with ZTR) and once more with
# add_subdirectory, and runs both.
#   cmake -DSOURCE=... -DLIBRARY=... -DWORK=... -DZTR=<ztr> -P this file
file(REMOVE_RECURSE ${WORK})
set(generator)
if(GENERATOR)
    set(generator -G ${GENERATOR})
endif()

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        list(JOIN ARGN " " command)
        message(FATAL_ERROR "failed (${status}): ${command}")
    endif()
endfunction()

run(${CMAKE_COMMAND} ${generator} -S ${LIBRARY} -B ${WORK}/library -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=${WORK}/prefix)
run(${CMAKE_COMMAND} --build ${WORK}/library)
run(${CMAKE_COMMAND} --install ${WORK}/library)

# The package: the config, the targets, zentra_add_pictures; one include path.
foreach(file lib/cmake/zentra_device/zentra_deviceConfig.cmake
        lib/cmake/zentra_device/zentra_deviceTargets.cmake
        lib/cmake/zentra_device/ZentraPictures.cmake include/zentra_device.h)
    if(NOT EXISTS ${WORK}/prefix/${file})
        message(FATAL_ERROR "the installed package lacks ${file}")
    endif()
endforeach()
file(STRINGS ${WORK}/prefix/lib/cmake/zentra_device/zentra_deviceTargets.cmake includes
     REGEX "INTERFACE_INCLUDE_DIRECTORIES")
string(REGEX MATCHALL "/include" paths "${includes}")
list(LENGTH paths count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "the installed target lists ${count} include paths: ${includes}")
endif()

run(${CMAKE_COMMAND} ${generator} -S ${SOURCE} -B ${WORK}/found -DCMAKE_PREFIX_PATH=${WORK}/prefix
    -DZENTRA_ZTR=${ZTR})
run(${CMAKE_COMMAND} --build ${WORK}/found)
run(${WORK}/found/consumer)

run(${CMAKE_COMMAND} ${generator} -S ${SOURCE} -B ${WORK}/added -DZENTRA_DEVICE_SOURCE=${LIBRARY})
run(${CMAKE_COMMAND} --build ${WORK}/added)
run(${WORK}/added/consumer)
message(STATUS "find_package and add_subdirectory consumers built and ran")
