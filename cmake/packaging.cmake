# The Linux release: the desktop entry, the icon, the AppStream data, the manual page, the
# systemd user units of the headless AutoPrint and of the web endpoint, the package's documents
# (copyright, changelog) beside what the targets install themselves (vantrel in bin,
# vantrel-window.so in lib/vantrel, Vantrel.html in share/vantrel), and a Debian package of all of it built by `cpack -G DEB`
# (scripts/package-deb.sh).
#
# Included at the end of the top-level CMakeLists.txt, once every target exists.

if(WIN32 OR APPLE)
    return()
endif()

set(_vantrel_packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

# The desktop only gets an entry when there is a window to start.
if(VANTREL_BUILD_GUI)
    install(FILES ${_vantrel_packaging_dir}/vantrel.desktop DESTINATION share/applications)
    install(FILES ${_vantrel_packaging_dir}/vantrel.svg
            DESTINATION share/icons/hicolor/scalable/apps)
    install(FILES ${_vantrel_packaging_dir}/vantrel.metainfo.xml DESTINATION share/metainfo)
endif()

# --- The manual page and the package's documents -----------------------------------------------

set(CPACK_PACKAGE_CONTACT "Vantrel developers <dev@vantrel.example>")
find_program(VANTREL_GZIP gzip REQUIRED)
mark_as_advanced(VANTREL_GZIP)
set(_vantrel_docs_dir ${PROJECT_BINARY_DIR}/packaging)
set(_vantrel_man_page ${_vantrel_docs_dir}/vantrel.1)
set(_vantrel_changelog ${_vantrel_docs_dir}/changelog)

# Compressed as Debian wants them: at the highest level, and without the name and time stamp
# that would make two builds of the same text differ.
add_custom_command(OUTPUT ${_vantrel_man_page}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/vantrel.1 ${_vantrel_man_page}
    COMMAND ${VANTREL_GZIP} -9nf ${_vantrel_man_page}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/vantrel.1
    COMMENT "Compressing the manual page"
    VERBATIM)
add_custom_command(OUTPUT ${_vantrel_changelog}.gz
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/CHANGELOG.md
            -DOUTPUT=${_vantrel_changelog} -DPACKAGE=vantrel -DVERSION=${PROJECT_VERSION}
            "-DMAINTAINER=${CPACK_PACKAGE_CONTACT}"
            -P ${_vantrel_packaging_dir}/debian-changelog.cmake
    COMMAND ${VANTREL_GZIP} -9nf ${_vantrel_changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${_vantrel_packaging_dir}/debian-changelog.cmake
    COMMENT "Making the package's changelog from CHANGELOG.md"
    VERBATIM)
add_custom_target(vantrel_package_docs ALL
    DEPENDS ${_vantrel_man_page}.gz ${_vantrel_changelog}.gz)

install(FILES ${_vantrel_man_page}.gz DESTINATION share/man/man1)
install(FILES ${_vantrel_packaging_dir}/copyright ${_vantrel_changelog}.gz
        DESTINATION share/doc/vantrel)
install(FILES ${_vantrel_packaging_dir}/vantrel.lintian-overrides
        DESTINATION share/lintian/overrides RENAME vantrel)
# The headless AutoPrint as a systemd user service (vantrel --autoprint), enabled by each user.
install(FILES ${_vantrel_packaging_dir}/vantrel-autoprint.service DESTINATION lib/systemd/user)
# The web endpoint as a systemd user service (vantrel --serve), off until a user enables it.
install(FILES ${_vantrel_packaging_dir}/vantrel-serve.service DESTINATION lib/systemd/user)

# Qt and libcups are system libraries and the window module is found by its path relative to the
# program (src/app/window_loader.cpp), so the installed files need no RPATH: none may carry a
# path of the build machine.
foreach(_vantrel_target vantrel vantrel_window)
    if(TARGET ${_vantrel_target})
        set_target_properties(${_vantrel_target} PROPERTIES
            INSTALL_RPATH ""
            INSTALL_RPATH_USE_LINK_PATH OFF)
    endif()
endforeach()

# --- The Debian package -------------------------------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Vantrel developers")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.brenwick.example/")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "send files to a printer unchanged (raw)")
# CPack puts the summary above this as the package's synopsis line.
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel sends the bytes of a file to a printer exactly as they are, through the
print spooler (CUPS), for programs that write their own printer control codes:
label, receipt and dot-matrix printers, continuous forms.

Files are printed from a window, from the command line (one file per call, no
window), or by AutoPrint, which prints the files dropped into a directory while
the window is open, or without a window as a service (a systemd user unit),
with a folder for each printer. Web pages the user allows print through a
local endpoint on the loopback interface, with a token (vantrel --serve).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
find_program(VANTREL_DPKG dpkg)
mark_as_advanced(VANTREL_DPKG)
if(VANTREL_DPKG)
    execute_process(COMMAND ${VANTREL_DPKG} --print-architecture
        OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
        OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
# The Depends line comes from the libraries the program and the window module link
# (dpkg-shlibdeps, from dpkg-dev): Qt 6, libcups2, the C and C++ runtimes. CPack's own
# dpkg-shlibdeps run is left off: it would also add maintainer scripts that call ldconfig for
# any shared object under /usr/lib, though the only one is a private module that no other program
# links, and those scripts would leave the package in dpkg's "rc" state after a removal.
# packaging/cpack-shlibdeps.cmake runs dpkg-shlibdeps on the built files when cpack starts instead.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(_vantrel_shlibdeps_files "$<TARGET_FILE:vantrel>")
if(TARGET vantrel_window)
    get_target_property(_vantrel_window_type vantrel_window TYPE)
    if(NOT _vantrel_window_type STREQUAL "STATIC_LIBRARY")
        string(APPEND _vantrel_shlibdeps_files ";$<TARGET_FILE:vantrel_window>")
    endif()
endif()
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/vantrel-cpack-config.cmake CONTENT
"set(VANTREL_SHLIBDEPS_FILES \"${_vantrel_shlibdeps_files}\")
set(VANTREL_SHLIBDEPS_WORK_DIR \"${PROJECT_BINARY_DIR}/CMakeFiles/vantrel-shlibdeps\")
include(\"${_vantrel_packaging_dir}/cpack-shlibdeps.cmake\")
")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/vantrel-cpack-config.cmake)
# Printing needs a CUPS server, but it may be another machine's: a local one is only recommended.
# xdg-open opens the help document and the About box's links in the desktop's programs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# A source archive, should anyone ask cpack for one, holds the sources only.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/out/" "\\\\.swp$")

include(CPack)
