# Read by cpack when it starts each generator (CPACK_PROJECT_CONFIG_FILE, set up in
# cmake/packaging.cmake): for the Debian package, the Depends line from dpkg-shlibdeps run on the
# built program and window module, the way CPack's own run would make it, without the ldconfig
# maintainer scripts that CPack's run brings along.
#
# Set by the including file: VANTREL_SHLIBDEPS_FILES (the ELF files), VANTREL_SHLIBDEPS_WORK_DIR.

if(NOT CPACK_GENERATOR STREQUAL "DEB" OR CPACK_DEBIAN_PACKAGE_DEPENDS)
    return()
endif()

find_program(VANTREL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT VANTREL_DPKG_SHLIBDEPS)
    message(FATAL_ERROR "The Debian package needs dpkg-shlibdeps (package dpkg-dev) for its "
                        "Depends line")
endif()

# dpkg-shlibdeps runs in a source package's top directory: it wants a debian/control there.
file(REMOVE_RECURSE "${VANTREL_SHLIBDEPS_WORK_DIR}")
file(MAKE_DIRECTORY "${VANTREL_SHLIBDEPS_WORK_DIR}/debian")
file(TOUCH "${VANTREL_SHLIBDEPS_WORK_DIR}/debian/control")
execute_process(
    COMMAND ${VANTREL_DPKG_SHLIBDEPS} -O ${VANTREL_SHLIBDEPS_FILES}
    WORKING_DIRECTORY "${VANTREL_SHLIBDEPS_WORK_DIR}"
    RESULT_VARIABLE _vantrel_result
    OUTPUT_VARIABLE _vantrel_output
    ERROR_VARIABLE _vantrel_errors
    OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT _vantrel_result EQUAL 0 OR NOT _vantrel_output MATCHES "^shlibs:Depends=(.+)$")
    message(FATAL_ERROR "dpkg-shlibdeps found no dependencies of ${VANTREL_SHLIBDEPS_FILES}:\n"
                        "${_vantrel_errors}${_vantrel_output}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
