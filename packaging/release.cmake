# SPDX-License-Identifier: MIT
# The release's date, from the first entry of the changelog the packages carry; that entry
# must be for this version. Also the one way files are compressed for the packages.

set(QUOBREL_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUOBREL_CHANGELOG})
file(STRINGS ${QUOBREL_CHANGELOG} heading LIMIT_COUNT 1)
if(NOT heading MATCHES "^quobrel \\(([^)]+)\\) ")
  message(FATAL_ERROR "${QUOBREL_CHANGELOG} does not start with a Debian changelog entry")
elseif(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR
    "${QUOBREL_CHANGELOG} starts with version ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}")
endif()
file(STRINGS ${QUOBREL_CHANGELOG} trailers REGEX "^ -- ")
list(GET trailers 0 trailer)
if(NOT trailer MATCHES ">  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "No date in the changelog's line \"${trailer}\"")
endif()
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
string(LENGTH ${month} digits)
if(digits EQUAL 1)
  set(month 0${month})
endif()
set(QUOBREL_RELEASE_DATE ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1})

# Adds to LIST the path of FILE compressed as Debian's policy has it: gzip -9, with no
# name or time stamp inside, so that the same file always gives the same bytes.
function(quobrel_gzip list file)
  add_custom_command(OUTPUT ${file}.gz
                     COMMAND gzip -9nkf ${file}
                     DEPENDS ${file}
                     VERBATIM)
  set(${list} ${${list}} ${file}.gz PARENT_SCOPE)
endfunction()
