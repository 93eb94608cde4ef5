# Cross build for 64-bit Windows with Debian's mingw-w64 (package g++-mingw-w64-x86-64).
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
#
# Without Qt the executables are linked statically (C and C++ runtimes and winpthread included),
# so they run on a bare Windows or under Wine without any DLL beside them. GoogleTest is built from the
# sources in /usr/src/googletest (cmake/googletest-from-source.cmake); ctest runs the tests
# through scripts/windows/wine-run.sh.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTREL_MINGW_TRIPLE x86_64-w64-mingw32)

# The "posix" thread model gives the full C++ thread library (std::thread, std::mutex); the
# plain names default to the "win32" model on Debian 12, whose libstdc++ lacks it.
find_program(VANTREL_MINGW_CXX NAMES ${VANTREL_MINGW_TRIPLE}-g++-posix ${VANTREL_MINGW_TRIPLE}-g++
             REQUIRED)
find_program(VANTREL_MINGW_CC NAMES ${VANTREL_MINGW_TRIPLE}-gcc-posix ${VANTREL_MINGW_TRIPLE}-gcc
             REQUIRED)
set(CMAKE_CXX_COMPILER ${VANTREL_MINGW_CXX})
set(CMAKE_C_COMPILER ${VANTREL_MINGW_CC})
find_program(CMAKE_RC_COMPILER NAMES ${VANTREL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt for mingw-w64, for the window: -DVANTREL_QT_MINGW=<its folder> (the one that
# scripts/windows/find-qt-mingw.sh prints). Its moc, rcc and uic are the host's Qt of the same
# version (Debian's qt6-base-dev-tools).
set(VANTREL_QT_MINGW "" CACHE PATH "Qt 6 built for mingw-w64 (holds lib/cmake/Qt6)")
if(VANTREL_QT_MINGW)
    list(APPEND CMAKE_FIND_ROOT_PATH ${VANTREL_QT_MINGW})
    list(APPEND CMAKE_PREFIX_PATH ${VANTREL_QT_MINGW})
    set(QT_HOST_PATH /usr CACHE PATH "The host's Qt")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "The host Qt's CMake files")
endif()

# libmicrohttpd for mingw-w64, for "vantrel --serve": -DVANTREL_MHD_MINGW=<its folder> (the one
# scripts/windows/find-mhd-mingw.sh prints); without it, --serve says it is not in this build.
set(VANTREL_MHD_MINGW "" CACHE PATH "libmicrohttpd built for mingw-w64 (include/, lib/)")

# The programs without the window link the C and C++ runtimes statically; with the window they
# link them as DLLs, like Qt's own (cmake/windows-run-time.cmake).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Windows programs run here under Wine; the wrapper gives them a prefix of their own.
get_filename_component(_vantrel_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_vantrel_root}/scripts/windows/wine-run.sh")

# Test lists are read when ctest runs (under Wine), not at build time.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
