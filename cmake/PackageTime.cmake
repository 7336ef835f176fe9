# Read by cpack before it builds a package: CPack's DEB generator stamps every file and
# archive member with SOURCE_DATE_EPOCH when it is set. Unless the caller chose a time, it is
# the time of the last commit, or outside a git checkout the date of the changelog's latest
# entry, so two builds of one source tree give the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_TUMULT_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT epoch MATCHES "^[0-9]+$")
    execute_process(COMMAND dpkg-parsechangelog -l "${CPACK_TUMULT_SOURCE_DIR}/data/changelog"
                            -STimestamp
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
