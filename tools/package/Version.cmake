# The version a build carries, and the Debian changelog, both from NEWS.
#
# NEWS says what each version brings, newest first, each section headed by
# "VERSION (YYYY-MM-DD)" or "Unreleased" over a line of dashes, its items
# "- text" with indented continuation lines. While NEWS has changes not yet
# released, the build is a snapshot after the last release, VERSION+next,
# dated the day it is configured (SOURCE_DATE_EPOCH when set). The changelog
# holds every section of NEWS as an entry of its own, so the two never
# disagree.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/NEWS)
# Lines as a list: a semicolon of the text stands as "<semicolon>" meanwhile.
file(READ ${CMAKE_SOURCE_DIR}/NEWS VELLMORA_NEWS_LINES)
string(REPLACE ";" "<semicolon>" VELLMORA_NEWS_LINES "${VELLMORA_NEWS_LINES}")
string(REPLACE "\n" ";" VELLMORA_NEWS_LINES "${VELLMORA_NEWS_LINES}")

# RFC 5322's "Mon, 07 Dec 2026 12:00:00 +0000" for an ISO date, the weekday
# by Zeller's congruence.
function(vellmora_rfc_date iso out)
  string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" _ "${iso}")
  set(year ${CMAKE_MATCH_1})
  math(EXPR month "${CMAKE_MATCH_2}")
  math(EXPR day "${CMAKE_MATCH_3}")
  set(y ${year})
  set(m ${month})
  if(m LESS 3)
    math(EXPR m "${m} + 12")
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR weekday "(${day} + (13 * (${m} + 1)) / 5 + ${y} + ${y} / 4 - ${y} / 100 + ${y} / 400) % 7")
  set(days Sat Sun Mon Tue Wed Thu Fri)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET days ${weekday} dayName)
  math(EXPR monthIndex "${month} - 1")
  list(GET months ${monthIndex} monthName)
  if(day LESS 10)
    set(day "0${day}")
  endif()
  set(${out} "${dayName}, ${day} ${monthName} ${year} 12:00:00 +0000" PARENT_SCOPE)
endfunction()

set(VELLMORA_VERSION ${PROJECT_VERSION})
set(VELLMORA_VERSION_DATE ${VELLMORA_RELEASE_DATE})
set(VELLMORA_CHANGELOG "")
set(entry_items "")
set(entry_header "")
set(entry_date "")
set(previous "")
set(in_item FALSE)
# A line is taken once the next one shows whether it heads a section; the
# last, "<end>", heads none and closes the last entry.
foreach(line IN LISTS VELLMORA_NEWS_LINES ITEMS "" "<end>")
  if((line MATCHES "^-+$" AND NOT previous STREQUAL "") OR line STREQUAL "<end>")
    # previous was a section's heading: the entry before it is complete.
    if(NOT entry_header STREQUAL "")
      vellmora_rfc_date(${entry_date} rfc)
      string(APPEND VELLMORA_CHANGELOG "${entry_header}\n\n${entry_items}\n -- "
             "Vellmora developers <developers@vellmora.org>  ${rfc}\n\n")
    endif()
    if(previous STREQUAL "Unreleased")
      set(VELLMORA_VERSION "${PROJECT_VERSION}+next")
      string(TIMESTAMP VELLMORA_VERSION_DATE "%Y-%m-%d" UTC)
      set(entry_header "vellmora (${VELLMORA_VERSION}) UNRELEASED; urgency=medium")
      set(entry_date ${VELLMORA_VERSION_DATE})
    elseif(previous MATCHES "^([0-9][0-9.]*) \\(([0-9-]+)\\)$")
      set(entry_header "vellmora (${CMAKE_MATCH_1}) unstable; urgency=medium")
      set(entry_date ${CMAKE_MATCH_2})
    endif()
    set(entry_items "")
    set(previous "")
    continue()
  endif()
  if(NOT previous STREQUAL "")
    if(previous MATCHES "^- (.*)$")
      string(APPEND entry_items "  * ${CMAKE_MATCH_1}\n")
    elseif(previous MATCHES "^  +(.*)$")
      string(APPEND entry_items "    ${CMAKE_MATCH_1}\n")
    elseif(NOT entry_header STREQUAL "" AND NOT previous MATCHES "^=+$")
      string(APPEND entry_items "  * ${previous}\n")
    endif()
  endif()
  set(previous "${line}")
endforeach()
string(REPLACE "<semicolon>" ";" VELLMORA_CHANGELOG "${VELLMORA_CHANGELOG}")
string(STRIP "${VELLMORA_CHANGELOG}" VELLMORA_CHANGELOG)
string(APPEND VELLMORA_CHANGELOG "\n")
# The metainfo lists a snapshot as a development release above the last one.
set(VELLMORA_SNAPSHOT_RELEASE "")
if(NOT VELLMORA_VERSION STREQUAL PROJECT_VERSION)
  set(VELLMORA_SNAPSHOT_RELEASE
      "<release version=\"${VELLMORA_VERSION}\" date=\"${VELLMORA_VERSION_DATE}\" type=\"development\"/>")
endif()
file(WRITE ${CMAKE_BINARY_DIR}/package/changelog "${VELLMORA_CHANGELOG}")
