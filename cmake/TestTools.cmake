# How a check is added, with the Debian packages it needs beyond the game's build. The tests
# are tiers, one label each: unit, window, install, cross, wine, web and lint. Only the unit tests
# are needed to configure (GoogleTest); a check whose packages are missing is still added, and
# CTest reports it as skipped (its command only says what it needs), so that a plain `ctest`
# on any machine runs what it can and says what it could not. The configure prints one
# summary of the skipped checks and their packages; scripts/deps.sh tests installs them all.
#
#   tumult_add_check(NAME name LABELS tier... [NEEDS package...] [CHECKOUT] COMMAND command...
#                    [WORKING_DIRECTORY dir] [PROPERTIES property value...])
#
# NEEDS names packages of scripts/packages.txt, which says how to tell each is there. CHECKOUT
# says the check needs the sources as a git checkout, which a release tarball is not: there it
# is skipped in the same way, with that reason.
# TUMULT_REQUIRE_ALL_CHECKS (on in the asan preset that ./test uses, and so in CI) turns a
# missing package into a configure error, so that nothing there is skipped silently.
option(TUMULT_REQUIRE_ALL_CHECKS "Stop the configure when a check's packages are missing" OFF)

# Per package of the table, what of it is here (TUMULT_FOUND_<package>: a program's or file's
# path, a python3 that has the module; empty when missing) and what it is.
execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/deps.sh find
                OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n" ";" found "${found}")
foreach(line IN LISTS found)
  string(REPLACE "|" ";" fields "${line}")
  list(GET fields 0 package)
  list(GET fields 1 TUMULT_FOUND_${package})
  list(GET fields 2 TUMULT_WHAT_${package})
endforeach()

# What every test that plays the game in a window runs with: the libfaketime that pins its
# clock, and LeakSanitizer told of the small allocations SDL and Xlib keep until exit. The
# python3 the window tests run with is the one that has python3-xlib.
set(TUMULT_PYTHON ${TUMULT_FOUND_python3-xlib})
set(TUMULT_WINDOW_TEST_ENV "TUMULT_FAKETIME=${TUMULT_FOUND_faketime}"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
set(TUMULT_WINDOW_NEEDS xvfb python3-xlib faketime)

# Whether the sources are a git checkout of their own (not a tarball unpacked somewhere in
# another checkout).
execute_process(COMMAND git rev-parse --show-toplevel WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE status)
file(REAL_PATH "${PROJECT_SOURCE_DIR}" source_dir)
set(TUMULT_GIT_CHECKOUT OFF)
if(status EQUAL 0 AND top STREQUAL source_dir)
  set(TUMULT_GIT_CHECKOUT ON)
endif()

function(tumult_add_check)
  cmake_parse_arguments(PARSE_ARGV 0 check "CHECKOUT" "NAME;WORKING_DIRECTORY"
                        "LABELS;NEEDS;COMMAND;PROPERTIES")
  set(missing "")
  set(reasons "")
  foreach(package IN LISTS check_NEEDS)
    if(NOT DEFINED TUMULT_WHAT_${package})
      message(FATAL_ERROR "${check_NAME} needs ${package}, which scripts/packages.txt lacks")
    elseif(NOT TUMULT_FOUND_${package})
      list(APPEND missing ${package})
      list(APPEND reasons "${package} (${TUMULT_WHAT_${package}})")
    endif()
  endforeach()
  if(check_CHECKOUT AND NOT TUMULT_GIT_CHECKOUT)
    list(APPEND reasons "a git checkout of the sources (these are not one, e.g. a release tarball)")
  endif()
  if(reasons)
    list(JOIN reasons ", " reasons)
    set_property(GLOBAL APPEND PROPERTY TUMULT_SKIPPED "  ${check_NAME}: ${reasons}")
    set_property(GLOBAL APPEND PROPERTY TUMULT_SKIPPED_PACKAGES ${missing})
    # 77 is the exit status the automake tests use for a skip.
    set(check_COMMAND sh -c "echo \"$0\" && exit 77" "skipped: needs ${reasons}")
    list(APPEND check_PROPERTIES SKIP_RETURN_CODE 77)
  endif()
  if(check_WORKING_DIRECTORY)
    set(check_WORKING_DIRECTORY WORKING_DIRECTORY ${check_WORKING_DIRECTORY})
  endif()
  add_test(NAME ${check_NAME} COMMAND ${check_COMMAND} ${check_WORKING_DIRECTORY})
  set_tests_properties(${check_NAME} PROPERTIES LABELS "${check_LABELS}" ${check_PROPERTIES})
endfunction()

# The one summary of what was skipped, once every check is added.
function(tumult_report_skipped_checks)
  get_property(skipped GLOBAL PROPERTY TUMULT_SKIPPED)
  get_property(packages GLOBAL PROPERTY TUMULT_SKIPPED_PACKAGES)
  if(NOT skipped)
    return()
  endif()
  list(JOIN skipped "\n" skipped)
  set(report "These checks cannot run here; each needs:\n${skipped}")
  if(packages)
    list(REMOVE_DUPLICATES packages)
    list(JOIN packages " " packages)
    string(APPEND report "\nInstall them with: apt-get install ${packages}   (or scripts/deps.sh tests)")
  endif()
  if(TUMULT_REQUIRE_ALL_CHECKS)
    message(FATAL_ERROR ${report} "\nTUMULT_REQUIRE_ALL_CHECKS is on: no check may be skipped.")
  endif()
  message(NOTICE ${report} "\nCTest reports them as skipped.")
endfunction()
