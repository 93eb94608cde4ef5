# Debian's hardening defaults (what `dpkg-buildflags` gives a package with hardening=+all) for
# the optimised builds on Linux: fortified libc calls, a strong stack protector, format-string
# checks, read-only relocations bound at start-up, and position-independent programs.
# `hardening-check` on the installed program and window module tells whether they took.
#
# Control-flow protection (-fcf-protection) is left out as Debian 12 leaves it out: its C
# library's start files are built without it, and a program has it only when every object
# linked into it has.
#
# Included by the top-level CMakeLists.txt before any target exists, so every target gets them.
# Other systems (the mingw-w64 cross build) and Debug builds keep their plain flags.

# A sanitized build (cmake/sanitizers.cmake) is for tests only; _FORTIFY_SOURCE would get in the
# way of its checks.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" OR
   VANTREL_SANITIZE)
    return()
endif()

set(_vantrel_hardened "$<CONFIG:Release,RelWithDebInfo>")

# _FORTIFY_SOURCE works only on optimised code, which these configurations are. It is undefined
# first because some compilers define it on their own, and a second definition is a warning.
add_compile_options(
    "$<${_vantrel_hardened}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>"
    "$<${_vantrel_hardened}:-fstack-protector-strong>"
    "$<${_vantrel_hardened}:-Wformat;-Werror=format-security>")
add_link_options("$<${_vantrel_hardened}:LINKER:-z,relro;LINKER:-z,now>")

# A position-independent executable: the targets are position independent already (the
# top-level CMAKE_POSITION_INDEPENDENT_CODE), and with this check CMake links programs with -pie
# too, in every configuration, as Debian's compiler does by default.
include(CheckPIESupported)
check_pie_supported(OUTPUT_VARIABLE _vantrel_pie_output LANGUAGES CXX)
if(NOT CMAKE_CXX_LINK_PIE_SUPPORTED)
    message(WARNING "The linker cannot make position-independent programs:\n${_vantrel_pie_output}")
endif()
