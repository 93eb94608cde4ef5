# The Windows icon: vantrel.ico, 16, 24, 32, 48 and 256 pixels, each drawn from
# packaging/vantrel.svg by rsvg-convert (librsvg2-bin) and put together by icotool (icoutils);
# the 256-pixel image is kept as PNG, as Windows expects of that size.
#
# Sets VANTREL_WINDOWS_ICON (the file, made at build time) and VANTREL_WINDOWS_ICON_DIR. Include
# it from the folder whose targets use the file.

include_guard(DIRECTORY)

find_program(VANTREL_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VANTREL_ICOTOOL icotool REQUIRED)
mark_as_advanced(VANTREL_RSVG_CONVERT VANTREL_ICOTOOL)

set(VANTREL_WINDOWS_ICON_DIR ${PROJECT_BINARY_DIR}/packaging/windows)
set(VANTREL_WINDOWS_ICON ${VANTREL_WINDOWS_ICON_DIR}/vantrel.ico)

set(_vantrel_icon_svg ${PROJECT_SOURCE_DIR}/packaging/vantrel.svg)
set(_vantrel_icon_commands)
set(_vantrel_icon_small)
foreach(side 16 24 32 48 256)
    set(png ${VANTREL_WINDOWS_ICON_DIR}/vantrel-${side}.png)
    list(APPEND _vantrel_icon_commands
         COMMAND ${VANTREL_RSVG_CONVERT} -w ${side} -h ${side} -o ${png} ${_vantrel_icon_svg})
    if(side LESS 256)
        list(APPEND _vantrel_icon_small ${png})
    endif()
endforeach()
add_custom_command(OUTPUT ${VANTREL_WINDOWS_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VANTREL_WINDOWS_ICON_DIR}
    ${_vantrel_icon_commands}
    COMMAND ${VANTREL_ICOTOOL} -c -o ${VANTREL_WINDOWS_ICON} ${_vantrel_icon_small}
            -r ${VANTREL_WINDOWS_ICON_DIR}/vantrel-256.png
    DEPENDS ${_vantrel_icon_svg}
    COMMENT "Drawing the Windows icon from vantrel.svg"
    VERBATIM)
