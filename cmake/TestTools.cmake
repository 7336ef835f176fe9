# How a check is added, with the Debian packages it needs beyond the game's build. The tests
# are tiers, one label each, named as the sets of scripts/packages.txt. Only the unit tests
# are needed to configure (GoogleTest); a check whose packages are missing is still added, and
# CTest reports it as skipped (its command only says what it needs), so that a plain `ctest`
# on any machine runs what it can and says what it could not. The configure prints one
# summary of the skipped checks and their packages; scripts/deps.sh tests installs them all.
#
#   tumult_add_check(NAME name LABELS tier... [NEEDS package...] [CHECKOUT] COMMAND command...
#                    [WORKING_DIRECTORY dir] [PROPERTIES property value...])
#
# NEEDS names packages of scripts/packages.txt, which says how to tell each is there; each is a
# package of the set of one of the check's tiers, so that a tier's set is what its checks need.
# CHECKOUT says the check needs the sources as a git checkout, which a release tarball is not:
# there it is skipped in the same way, with that reason.
# TUMULT_REQUIRE_ALL_CHECKS (on in the asan preset that ./test uses, and so in CI) turns a
# missing package into a configure error, so that nothing there is skipped silently.
option(TUMULT_REQUIRE_ALL_CHECKS "Stop the configure when a check's packages are missing" OFF)

# Per package of the table, what of it is here (TUMULT_FOUND_<package>: a program's or file's
# path, a python3 that has the module; empty when missing), what it is and its sets.
execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/deps.sh find
                OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n" ";" found "${found}")
set(TUMULT_PACKAGES "")
foreach(line IN LISTS found)
  string(REPLACE "|" ";" fields "${line}")
  list(GET fields 0 package)
  list(APPEND TUMULT_PACKAGES ${package})
  list(GET fields 1 TUMULT_FOUND_${package})
  list(GET fields 2 TUMULT_WHAT_${package})
  list(GET fields 3 sets)
  string(REPLACE "," ";" TUMULT_SETS_${package} "${sets}")
endforeach()
# The sets' names, which are the tiers' labels among others.
file(STRINGS ${PROJECT_SOURCE_DIR}/scripts/packages.txt TUMULT_SET_NAMES REGEX "^SETS ")
string(REGEX REPLACE "^SETS +" "" TUMULT_SET_NAMES "${TUMULT_SET_NAMES}")
separate_arguments(TUMULT_SET_NAMES UNIX_COMMAND "${TUMULT_SET_NAMES}")

# Sets VAR to the packages of SET, a set or a tier's build part (windows:build), but those of
# the game's set, which every build has.
function(tumult_packages_of var set)
  set(packages "")
  foreach(package IN LISTS TUMULT_PACKAGES)
    if(set IN_LIST TUMULT_SETS_${package} AND NOT game IN_LIST TUMULT_SETS_${package})
      list(APPEND packages ${package})
    endif()
  endforeach()
  set(${var} ${packages} PARENT_SCOPE)
endfunction()

# What every Python test runs with: the test harness (tests/harness/) on the python path, and
# no __pycache__ written into the source tree. Those that play the game on a private X server
# also get the libfaketime that pins its clock, and LeakSanitizer told of the small allocations
# SDL and Xlib keep until exit. The python3 those tests run with is the one that has
# python3-xlib.
set(TUMULT_PYTHON ${TUMULT_FOUND_python3-xlib})
set(TUMULT_HARNESS_ENV "PYTHONPATH=${PROJECT_SOURCE_DIR}/tests" "PYTHONDONTWRITEBYTECODE=1")
set(TUMULT_PLAY_TEST_ENV ${TUMULT_HARNESS_ENV} "TUMULT_FAKETIME=${TUMULT_FOUND_libfaketime}"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
tumult_packages_of(TUMULT_PLAY_NEEDS desktop)

# A check's package is in the set of one of its tiers (a tier's build part counts).
function(tumult_check_package_in_tiers name package tiers)
  foreach(tier IN LISTS tiers)
    if(tier IN_LIST TUMULT_SETS_${package} OR "${tier}:build" IN_LIST TUMULT_SETS_${package})
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "${name} needs ${package}, which scripts/packages.txt puts in no set of "
          "its tiers (${tiers}) but in ${TUMULT_SETS_${package}}")
endfunction()

# Prints (or with --run, runs) a command of a document, so that a test runs what the document
# shows: scripts/docs/doc_command.
set(TUMULT_DOC_COMMAND ${PROJECT_SOURCE_DIR}/scripts/docs/doc_command)

# Every check's labels and packages, one NAME|LABELS|NEEDS line each, for the docs checks to hold
# the tier tables to.
set(TUMULT_CHECKS_FILE ${PROJECT_BINARY_DIR}/tumult_checks.txt)
file(WRITE ${TUMULT_CHECKS_FILE} "")

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
  foreach(tier IN LISTS check_LABELS)
    if(NOT tier IN_LIST TUMULT_SET_NAMES)
      message(FATAL_ERROR "${check_NAME}: its tier ${tier} is no set of scripts/packages.txt")
    endif()
  endforeach()
  set(missing "")
  set(reasons "")
  foreach(package IN LISTS check_NEEDS)
    if(NOT DEFINED TUMULT_WHAT_${package})
      message(FATAL_ERROR "${check_NAME} needs ${package}, which scripts/packages.txt lacks")
    endif()
    tumult_check_package_in_tiers(${check_NAME} ${package} "${check_LABELS}")
    if(NOT TUMULT_FOUND_${package})
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
    # The command stays, unused, as the skip's last arguments, so that what it runs is still
    # listed (the docs checks see which document commands it runs).
    set(check_COMMAND sh -c "echo \"$0\" && exit 77" "skipped: needs ${reasons}" ${check_COMMAND})
    list(APPEND check_PROPERTIES SKIP_RETURN_CODE 77)
  endif()
  if(check_WORKING_DIRECTORY)
    set(check_WORKING_DIRECTORY WORKING_DIRECTORY ${check_WORKING_DIRECTORY})
  endif()
  file(APPEND ${TUMULT_CHECKS_FILE} "${check_NAME}|${check_LABELS}|${check_NEEDS}\n")
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
