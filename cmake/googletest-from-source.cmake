# GoogleTest and GoogleMock built from source inside this build, for cross builds that have no
# prebuilt GoogleTest for their target. Defines the same targets as find_package(GTest):
# GTest::gtest, GTest::gtest_main, GTest::gmock, GTest::gmock_main.
#
# VANTREL_GTEST_SOURCE_DIR points at the sources; Debian's "googletest" package puts them in
# /usr/src/googletest.

set(VANTREL_GTEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest sources, built for cross builds")
if(NOT EXISTS ${VANTREL_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${VANTREL_GTEST_SOURCE_DIR} "
                        "(install Debian's googletest package or set VANTREL_GTEST_SOURCE_DIR)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)

# GoogleTest's own sources are not held to this project's warning options.
get_directory_property(_vantrel_saved_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${VANTREL_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${_vantrel_saved_options}")

foreach(_vantrel_gtest_target gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${_vantrel_gtest_target})
        add_library(GTest::${_vantrel_gtest_target} ALIAS ${_vantrel_gtest_target})
    endif()
endforeach()
