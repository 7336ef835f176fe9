#!/usr/bin/env bash
# Each package of scripts/packages.txt has a check of its own, one that fails when the package
# is missing: no two packages share a check, and for each package installed here dpkg says
# that what its check finds is the package's own, or is brought by a package it depends on
# that the table does not list (imagemagick's programs are imagemagick-6.q16's). Only a
# package that is never installed (its sets all SET:unpack) goes without a check.
# Usage: package_table_test.sh SOURCE_DIR
set -euo pipefail
# shellcheck source=tests/install/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"

[[ $# -eq 1 ]] || { echo "usage: $0 SOURCE_DIR" >&2; exit 2; }
# shellcheck source=scripts/deps.sh
source "$1/scripts/deps.sh"

# The packages that own FILE (or the file it leads to), one a line, without architecture.
owners() {
  local line
  line=$(dpkg -S "$1" 2>/dev/null || dpkg -S "$(readlink -f "$1")" 2>/dev/null) || return 0
  line=${line%%: /*}
  printf '%s\n' "${line//, /$'\n'}" | sed 's/:.*//'
}
# The packages PACKAGE depends on, one a line.
depends() {
  dpkg-query -W -f='${Depends}' "$1" | sed 's/[,|]/\n/g' | sed 's/^ *//; s/[ :].*//'
}

declare -A check_of=()
problems=()
checked=0
for row in "${!TUMULT_PACKAGES[@]}"; do
  package=${TUMULT_PACKAGES[row]} how=${TUMULT_CHECKS[row]}
  if [[ -z $how ]]; then
    [[ ,${TUMULT_SETS[row]} =~ ^(,[a-z0-9]+:unpack)+$ ]] ||
      problems+=("$package has no check, though a set installs it")
    continue
  fi
  if [[ -n ${check_of[$how]:-} ]]; then
    problems+=("$package and ${check_of[$how]} share the check '$how'")
  fi
  check_of[$how]=$package
  [[ $(dpkg-query -W -f='${Status}' "$package" 2>/dev/null) == "install ok installed" ]] || continue
  if ! found=$(tumult_find "$package"); then
    problems+=("$package is installed, but its check '$how' finds nothing")
    continue
  fi
  if [[ $how == "python "* ]]; then
    found=$("$found" -c "import ${how#python }; print(${how#python }.__file__)")
  fi
  checked=$((checked + 1))
  owned=no
  for owner in $(owners "$found"); do
    if [[ $owner == "$package" ]] ||
      { ! tumult_row "$owner" >/dev/null && depends "$package" | grep -qxF "$owner"; }; then
      owned=yes
    fi
  done
  [[ $owned == yes ]] ||
    problems+=("$package's check '$how' finds $found, which is $(owners "$found" | paste -sd,)'s")
done

if ((${#problems[@]} != 0)); then
  fail "$(printf '%s\n' "${problems[@]}")"
fi
echo "PASSED: ${#check_of[@]} checks, each its own; $checked installed packages each found by theirs"
