# The Windows executable's resources: its icon (cmake/windows-icon.cmake), a version resource
# (file and product version, description, product name) and the application manifest
# (packaging/windows/vantrel.manifest.in: per-monitor-v2 DPI awareness, Common Controls 6, run as
# the invoker).

include(${CMAKE_CURRENT_LIST_DIR}/windows-icon.cmake)

# vantrel_add_windows_resources(TARGET): compiles the resource script into TARGET.
function(vantrel_add_windows_resources target)
    set(VANTREL_RC_ICON ${VANTREL_WINDOWS_ICON})
    set(VANTREL_RC_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/generated/${target}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/vantrel.manifest.in
                   ${VANTREL_RC_MANIFEST} @ONLY)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/generated/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/vantrel.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    # windres reads both files, but CMake does not see them as the script's dependencies.
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS
                                "${VANTREL_RC_ICON};${VANTREL_RC_MANIFEST}")
endfunction()
