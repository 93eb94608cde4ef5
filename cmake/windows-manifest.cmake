# The application manifest (packaging/windows/vantrel.manifest.in) alone, for the test programs:
# they run with the program's UTF-8 code page, so that what they check of paths holds for it.

# vantrel_add_windows_manifest(TARGET): compiles a resource script holding only the manifest.
function(vantrel_add_windows_manifest target)
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/generated/${target}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/vantrel.manifest.in ${manifest} @ONLY)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/generated/${target}-manifest.rc)
    file(WRITE ${rc} "1 24 \"${manifest}\"\n")
    target_sources(${target} PRIVATE ${rc})
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
endfunction()
