# Read by cpack before it builds a package: CPack's DEB generator stamps every file and
# archive member with SOURCE_DATE_EPOCH when it is set, and scripts/source_date_epoch.sh says
# which time a build of this source tree takes.
execute_process(COMMAND sh "${CPACK_TUMULT_SOURCE_DIR}/scripts/source_date_epoch.sh"
                OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
