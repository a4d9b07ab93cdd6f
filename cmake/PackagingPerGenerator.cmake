# Options that differ between CPack's generators, read by cpack for each generator in turn:
# the zip unpacks into a folder named after the package, the installer installs the files
# straight into the folder the user chose.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
