# Writes the Debian package's changelog from CHANGELOG.md: one entry per "## VERSION (YYYY-MM-DD)"
# heading, one "  * " item per "- " item, wrapped to 80 columns, signed by the maintainer at
# midnight UTC of the release's date. The newest release must be the version being packaged, so
# that a release cannot go out with a changelog that does not mention it.
#
#   cmake -DSOURCE=CHANGELOG.md -DOUTPUT=changelog -DPACKAGE=vantrel -DVERSION=3.2.0
#         "-DMAINTAINER=Name <address>" -P debian-changelog.cmake

foreach(_var SOURCE OUTPUT PACKAGE VERSION MAINTAINER)
    if(NOT DEFINED ${_var} OR "${${_var}}" STREQUAL "")
        message(FATAL_ERROR "debian-changelog: ${_var} is not set")
    endif()
endforeach()

set(_width 80)
set(_weekdays Sun Mon Tue Wed Thu Fri Sat)
set(_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)

# RFC 5322 date of a day at midnight UTC: "Mon, 07 Dec 2026 00:00:00 +0000". The weekday comes
# from Sakamoto's rule (Sunday is 0).
function(changelog_date year month_text day_text out)
    # math() would read a leading zero as the start of an octal number.
    string(REGEX REPLACE "^0" "" month "${month_text}")
    string(REGEX REPLACE "^0" "" day "${day_text}")
    set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
    math(EXPR m "${month} - 1")
    list(GET offsets ${m} offset)
    set(y ${year})
    if(month LESS 3)
        math(EXPR y "${y} - 1")
    endif()
    math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
    list(GET _weekdays ${weekday} weekday_name)
    list(GET _months ${m} month_name)
    set(${out} "${weekday_name}, ${day_text} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

# Appends one item to `text` as "  * " lines of at most _width columns, the following lines
# indented to line up with the first.
function(changelog_item item text_var)
    string(REPLACE "`" "" rest "${item}")
    set(text "${${text_var}}")
    set(lead "  * ")
    math(EXPR room "${_width} - 4")
    string(LENGTH "${rest}" length)
    while(length GREATER room)
        math(EXPR probe "${room} + 1")
        string(SUBSTRING "${rest}" 0 ${probe} head)
        string(FIND "${head}" " " cut REVERSE)
        if(cut LESS 1)
            # A word longer than a line stands on a line of its own.
            string(FIND "${rest}" " " cut)
            if(cut LESS 1)
                break()
            endif()
        endif()
        string(SUBSTRING "${rest}" 0 ${cut} line)
        math(EXPR after "${cut} + 1")
        string(SUBSTRING "${rest}" ${after} -1 rest)
        string(APPEND text "${lead}${line}\n")
        set(lead "    ")
        string(LENGTH "${rest}" length)
    endwhile()
    string(APPEND text "${lead}${rest}\n")
    set(${text_var} "${text}" PARENT_SCOPE)
endfunction()

file(STRINGS "${SOURCE}" _lines ENCODING UTF-8)
set(_out "")
set(_item "")
set(_signature "")
set(_first_version "")
set(_line_number 0)

# Ends the item being read, if any.
macro(flush_item)
    if(NOT _item STREQUAL "")
        changelog_item("${_item}" _out)
        set(_item "")
    endif()
endmacro()
# Ends the release being read, if any, with its signature line.
macro(flush_release)
    flush_item()
    if(NOT _signature STREQUAL "")
        string(APPEND _out "\n${_signature}\n")
        set(_signature "")
    endif()
endmacro()

foreach(_line IN LISTS _lines)
    math(EXPR _line_number "${_line_number} + 1")
    if(_line MATCHES "^## ([0-9][0-9A-Za-z.+~-]*) \\(([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])\\)$")
        flush_release()
        set(_version "${CMAKE_MATCH_1}")
        changelog_date(${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4} _date)
        if(_first_version STREQUAL "")
            set(_first_version "${_version}")
        else()
            string(APPEND _out "\n")
        endif()
        string(APPEND _out "${PACKAGE} (${_version}) unstable; urgency=medium\n\n")
        set(_signature " -- ${MAINTAINER}  ${_date}")
    elseif(_first_version STREQUAL "")
        # The introduction above the first release is not part of the changelog.
    elseif(_line MATCHES "^- (.+)$")
        flush_item()
        set(_item "${CMAKE_MATCH_1}")
    elseif(_line MATCHES "^  +(.+)$" AND NOT _item STREQUAL "")
        string(APPEND _item " ${CMAKE_MATCH_1}")
    elseif(NOT _line MATCHES "^[ \t]*$")
        message(FATAL_ERROR "debian-changelog: ${SOURCE}:${_line_number}: neither a release "
                            "heading nor an item: ${_line}")
    endif()
endforeach()
flush_release()

if(NOT _first_version STREQUAL VERSION)
    message(FATAL_ERROR "debian-changelog: the newest release in ${SOURCE} is "
                        "'${_first_version}', but the version being packaged is ${VERSION}")
endif()
file(WRITE "${OUTPUT}" "${_out}")
