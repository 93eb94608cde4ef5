# The Linux release: the desktop entry, the icon and the AppStream data beside what the targets
# install themselves (vantrel in bin, vantrel-window.so in lib/vantrel, Vantrel.html in
# share/vantrel), and a Debian package of all of it built by `cpack -G DEB`
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
set(CPACK_PACKAGE_CONTACT "Vantrel developers <dev@vantrel.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "send files to a printer unchanged (raw)")
# CPack puts the summary above this as the package's synopsis line.
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel sends the bytes of a file to a printer exactly as they are, through the
print spooler (CUPS), for programs that write their own printer control codes:
label, receipt and dot-matrix printers, continuous forms.

Files are printed from a window, from the command line (one file per call, no
window), or by AutoPrint, which prints the files dropped into a directory while
the window is open.")
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
# (dpkg-shlibdeps, from dpkg-dev): Qt 6, libcups2, the C and C++ runtimes.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Printing needs a CUPS server, but it may be another machine's: a local one is only recommended.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS cups)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# A source archive, should anyone ask cpack for one, holds the sources only.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/out/" "\\\\.swp$")

include(CPack)
