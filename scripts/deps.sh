#!/usr/bin/env bash
# Installs the Debian packages Tumult 2D needs, and only those that are missing; the packages
# and what each brings are listed once, in packages.txt beside this script.
#
#   scripts/deps.sh game    - what it takes to build and play
#   scripts/deps.sh unit    - that, plus GoogleTest: what the unit tests need
#   scripts/deps.sh TIER    - that, plus what the tests of the tier (its CTest label) need; so
#                             for any other set of the table (fuzz, compat, stress)
#   scripts/deps.sh TIER:build - the game's, plus what the tier's platform build script needs
#                             (windows:build, web:build)
#   scripts/deps.sh tests   - every package: what every check and the benchmarks use
#   scripts/deps.sh find    - installs nothing; prints PACKAGE|WHERE|WHAT IT IS|SETS for each
#                             package, WHERE being what was found of it, empty when missing
#
# It can be run as a command or sourced (then call tumult_ensure_deps MODE). When everything
# is already there it touches nothing, so it is cheap to run before every build. On a system
# without apt (Fedora, Arch, openSUSE) it looks for what each package brings instead, goes on
# when everything is there, and otherwise names what is missing.

# The table, one array per column, and the names of the sets. It keeps to what bash 3.2 has (no
# associative arrays, no mapfile), since the build runs it on macOS too.
TUMULT_SET_NAMES=() TUMULT_PACKAGES=() TUMULT_SETS=() TUMULT_WHATS=() TUMULT_CHECKS=()
tumult_read_packages() {
  local table package set what check item
  table="$(dirname "${BASH_SOURCE[0]}")/packages.txt"
  while IFS='|' read -r package set what check; do
    read -r package <<<"$package"
    [[ -z $package || $package == \#* ]] && continue
    if [[ $package == "SETS "* ]]; then
      read -r -a TUMULT_SET_NAMES <<<"${package#SETS }"
      continue
    fi
    TUMULT_PACKAGES+=("$package")
    read -r set <<<"$set" && TUMULT_SETS+=("$set")
    read -r what <<<"$what" && TUMULT_WHATS+=("$what")
    read -r check <<<"$check" && TUMULT_CHECKS+=("$check")
    # A set the SETS line does not declare is a slip of the pen, not a new set.
    for item in ${set//,/ }; do
      case " ${TUMULT_SET_NAMES[*]} " in
        *" ${item%:build} "* | *" ${item%:unpack} "*) ;;
        *) echo "deps: $table: $package is in '$item', which is no set of its SETS line" >&2
           return 1 ;;
      esac
    done
  done <"$table"
}
tumult_read_packages || exit 1

# Prints the row of PACKAGE in the table.
tumult_row() {
  local row
  for row in "${!TUMULT_PACKAGES[@]}"; do
    [[ ${TUMULT_PACKAGES[row]} == "$1" ]] && echo "$row" && return 0
  done
  return 1
}

# Prints the packages of the sets given. A tier's set holds its build part too (windows holds
# windows:build); a package a set only unpacks is not one of its packages.
tumult_packages_of() {
  local row item
  for row in "${!TUMULT_PACKAGES[@]}"; do
    for item in ${TUMULT_SETS[row]//,/ }; do
      if [[ " $* " == *" $item "* || " $* " == *" ${item%:build} "* ]]; then
        printf '%s\n' "${TUMULT_PACKAGES[row]}"
        break
      fi
    done
  done
  return 0
}

# Prints the packages SET unpacks (SET:unpack in the table), comma-separated.
tumult_unpacked_by() {
  local row list=""
  for row in "${!TUMULT_PACKAGES[@]}"; do
    [[ ,${TUMULT_SETS[row]}, == *",$1:unpack,"* ]] && list+=${list:+,}${TUMULT_PACKAGES[row]}
  done
  echo "$list"
}

# Prints the packages of the list given as arguments that dpkg does not report as installed.
tumult_missing_packages() {
  local package status
  for package in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
      printf '%s\n' "$package"
    fi
  done
}

# Prints what of PACKAGE is there (a program's or a file's path, a python3 that has the
# module, the pkg-config module's file), by its check: status 1 when it is missing, 2 when it
# has no check.
tumult_find() {
  local -a check
  local row
  row=$(tumult_row "$1") && read -r -a check <<<"${TUMULT_CHECKS[row]}"
  ((${#check[@]} != 0)) || return 2
  local kind=${check[0]} item dir found
  for item in "${check[@]:1}"; do
    case $kind in
      command) found=$(command -v "$item") && echo "$found" && return 0 ;;
      pkg-config) pkg-config --exists "$item" 2>/dev/null &&
        echo "$(pkg-config --variable=pcfiledir "$item")/$item.pc" && return 0 ;;
      python)  # Debian installs python modules for its own python3, which a python3 earlier on
        # the PATH (pyenv, a virtualenv) may lack: the first on the PATH that has it counts.
        local IFS=:
        for dir in $PATH; do
          [[ -x $dir/python3 ]] && "$dir/python3" -c "import $item" 2>/dev/null &&
            echo "$dir/python3" && return 0
        done ;;
      file) found=$(compgen -G "$item") && echo "${found%%$'\n'*}" && return 0 ;;
    esac
  done
  return 1
}

# One line per package: its Debian name and what it is.
tumult_describe() {
  local package row
  for package in "$@"; do
    row=$(tumult_row "$package") && printf '  %s: %s\n' "$package" "${TUMULT_WHATS[row]}"
  done
}

# Runs a command as root: directly when this is root, else through sudo; without sudo it names
# PACKAGES (what the command would have installed) and fails.
# Usage: tumult_as_root "PACKAGES..." COMMAND...
tumult_as_root() {
  local packages=$1
  shift
  if [[ $(id -u) -eq 0 ]]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "deps: not root and no sudo; install these packages as root:" >&2
    # shellcheck disable=SC2086  # a list of names
    tumult_describe $packages >&2
    return 1
  fi
}

# Without apt and dpkg: checks each package's part directly.
tumult_check_without_apt() {
  local package
  local -a missing=() unchecked=()
  for package in "$@"; do
    local status=0
    tumult_find "$package" >/dev/null || status=$?
    case $status in
      1) missing+=("$package") ;;
      2) unchecked+=("$package") ;;
    esac
  done
  if ((${#unchecked[@]} != 0)); then
    echo "deps: no apt here, and no way to check these (Debian names): ${unchecked[*]}" >&2
  fi
  if ((${#missing[@]} != 0)); then
    echo "deps: no apt here to install what is missing; install these by hand" \
      "(Debian's package names, and what they are):" >&2
    tumult_describe "${missing[@]}" >&2
    return 1
  fi
}

# The sets a mode of this script installs: `game`; `tests`, every set; a part TIER:build, with
# the game's set; any other set with the game's and the unit tests' (which every configure of
# the tests needs).
tumult_sets_of_mode() {
  case " ${TUMULT_SET_NAMES[*]} " in
    *" ${1%:build} "*) ;;
    *) [[ $1 == tests ]] && echo "${TUMULT_SET_NAMES[*]}" && return 0
       return 1 ;;
  esac
  case $1 in
    game) echo game ;;
    *:build) echo "game $1" ;;
    *) echo "game unit $1" ;;
  esac
}

tumult_ensure_deps() {
  local mode_sets
  local -a sets
  if ! mode_sets=$(tumult_sets_of_mode "${1:-}"); then
    echo "usage: scripts/deps.sh tests|find|SET|TIER:build   (SET: ${TUMULT_SET_NAMES[*]})" >&2
    return 2
  fi
  read -r -a sets <<<"$mode_sets"
  local -a wanted missing
  IFS=$'\n' read -r -d '' -a wanted < <(tumult_packages_of "${sets[@]}") || true
  if ! command -v apt-get >/dev/null 2>&1 || ! command -v dpkg-query >/dev/null 2>&1; then
    tumult_check_without_apt "${wanted[@]}"
    return
  fi

  IFS=$'\n' read -r -d '' -a missing < <(tumult_missing_packages "${wanted[@]}") || true
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  echo "deps: installing ${missing[*]}" >&2
  tumult_as_root "${missing[*]}" env DEBIAN_FRONTEND=noninteractive apt-get update || return 1
  tumult_as_root "${missing[*]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}" || return 1

  # Catch a package that apt-get quietly could not provide before the build trips over it.
  IFS=$'\n' read -r -d '' -a missing < <(tumult_missing_packages "${missing[@]}") || true
  if ((${#missing[@]} != 0)); then
    echo "deps: still missing after apt-get install:" >&2
    tumult_describe "${missing[@]}" >&2
    return 1
  fi
}

# Run as a command rather than sourced: do the work for the mode named on the command line.
if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  set -euo pipefail
  if [[ $# -eq 1 && $1 == find ]]; then
    for row in "${!TUMULT_PACKAGES[@]}"; do
      package=${TUMULT_PACKAGES[row]}
      echo "$package|$(tumult_find "$package" || true)|${TUMULT_WHATS[row]}|${TUMULT_SETS[row]}"
    done
  elif [[ $# -eq 1 ]]; then
    tumult_ensure_deps "$1"
  else
    tumult_ensure_deps ""
  fi
fi
