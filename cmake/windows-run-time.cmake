# The DLLs a Windows build with the window needs beside its programs: Qt's (Core, Gui, Widgets,
# Test) and the mingw-w64 C++ runtime they link (libstdc++, libgcc_s, winpthread). The programs
# link that same runtime as DLLs too, so that the process holds one C++ runtime, not two.
#
# Sets VANTREL_WINDOWS_DLL_DIRS (the folders of those DLLs), and has the tests run under Wine
# with those folders on Wine's search path (WINEPATH).

if(NOT (WIN32 AND VANTREL_BUILD_GUI))
    return()
endif()

string(REPLACE "-static-libgcc" "" CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS}")
string(REPLACE "-static-libstdc++" "" CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS}")
string(REPLACE "-static" "" CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS}")

get_filename_component(_vantrel_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
set(VANTREL_WINDOWS_DLL_DIRS ${_vantrel_qt_prefix}/bin)
foreach(dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE _vantrel_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${_vantrel_dll}" OR NOT EXISTS "${_vantrel_dll}")
        message(FATAL_ERROR "the mingw-w64 compiler knows no ${dll}")
    endif()
    get_filename_component(_vantrel_dir "${_vantrel_dll}" DIRECTORY)
    get_filename_component(_vantrel_dir "${_vantrel_dir}" REALPATH)
    list(APPEND VANTREL_WINDOWS_DLL_DIRS ${_vantrel_dir})
endforeach()
list(REMOVE_DUPLICATES VANTREL_WINDOWS_DLL_DIRS)

# Wine names / as drive Z: and separates the folders of WINEPATH with ";". The tests' emulator is
# one program (GoogleTest's discovery takes no command with arguments): a wrapper of
# scripts/windows/wine-run.sh in the build folder that sets the path first.
set(_vantrel_wine_path)
foreach(dir ${VANTREL_WINDOWS_DLL_DIRS})
    string(REPLACE "/" "\\" dir "Z:${dir}")
    list(APPEND _vantrel_wine_path "${dir}")
endforeach()
string(REPLACE ";" "\\;" _vantrel_wine_path "${_vantrel_wine_path}")
set(_vantrel_wine_run ${PROJECT_BINARY_DIR}/wine-run.sh)
file(CONFIGURE OUTPUT ${_vantrel_wine_run} CONTENT [=[#!/bin/sh
# Made by cmake/windows-run-time.cmake: runs a program of this build under Wine with the Qt and
# mingw-w64 runtime DLLs on Wine's path.
WINEPATH='@_vantrel_wine_path@' exec '@CMAKE_CROSSCOMPILING_EMULATOR@' "$@"
]=] @ONLY)
file(CHMOD ${_vantrel_wine_run} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${_vantrel_wine_run})
