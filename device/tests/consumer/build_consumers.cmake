# Proves the device library's CMake package: builds and installs LIBRARY into a prefix under
# WORK, builds the consumer SOURCE against it with find_package and once more with
# add_subdirectory, and runs both. cmake -DSOURCE=... -DLIBRARY=... -DWORK=... -P this file
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

run(${CMAKE_COMMAND} ${generator} -S ${SOURCE} -B ${WORK}/found -DCMAKE_PREFIX_PATH=${WORK}/prefix)
run(${CMAKE_COMMAND} --build ${WORK}/found)
run(${WORK}/found/consumer)

run(${CMAKE_COMMAND} ${generator} -S ${SOURCE} -B ${WORK}/added -DZENTRA_DEVICE_SOURCE=${LIBRARY})
run(${CMAKE_COMMAND} --build ${WORK}/added)
run(${WORK}/added/consumer)
message(STATUS "find_package and add_subdirectory consumers built and ran")
