#!/usr/bin/env bash
# House rules that a compiler does not check.
# Usage: lint.sh format | tidy BUILD_DIR | patterns | boundary [CXX] | shell | python
set -euo pipefail
case "${1:-} $#" in
  "format 1" | "tidy 2" | "patterns 1" | "boundary 1" | "boundary 2" | "shell 1" | "python 1") ;;
  *) echo "usage: $0 format | tidy BUILD_DIR | patterns | boundary [CXX] | shell | python" >&2
     exit 2 ;;
esac
cd "$(dirname "$0")/.."

# The files git tracks; in sources that are not a checkout of their own (a release tarball, even
# unpacked inside another checkout), every file but the build folders.
source_files() {
  if [[ $(git rev-parse --show-toplevel 2>/dev/null) == "$(pwd -P)" ]]; then
    git ls-files
  else
    find . \( -path './build*' -o -path ./.git \) -prune -o -type f -printf '%P\n'
  fi
}
cxx_files() { source_files | grep -E '\.(cpp|h)$'; }
# Shell scripts by their name or by their first line, the templates of scripts too.
shell_files() {
  local file
  source_files | while IFS= read -r file; do
    case $file in
      *.sh | *.sh.in) echo "$file" ;;
      *) if [[ -f $file ]] && head -n 1 "$file" | grep -qE '^#!.*[/ ](ba|da)?sh$'; then
           echo "$file"
         fi ;;
    esac
  done
}

case "${1:-}" in
  format)
    # shellcheck disable=SC2046
    clang-format --dry-run --Werror $(cxx_files)
    ;;
  tidy)
    build_dir=$2
    # One file per run, as many runs at once as there are processors; any finding fails.
    printf '%s\n' src/*.cpp src/*/*.cpp tools/*/*.cpp |
      xargs -P "$(nproc)" -n 1 clang-tidy -p "$build_dir" --quiet 2>/dev/null
    ;;
  shell)
    # shellcheck disable=SC2046  # one name a line, no spaces
    shellcheck --external-sources $(shell_files)
    ;;
  python)
    # Line length and the rest are set in .flake8 at the top.
    # shellcheck disable=SC2046
    flake8 $(source_files | grep -E '\.py$')
    ;;
  patterns)
    # The rules are searched for in the files git tracks. Outside a checkout of this tree (a
    # release tarball) there is nothing to search, which must not pass for a clean tree.
    if ! git ls-files --error-unmatch scripts/lint.sh >/dev/null 2>&1; then
      echo "lint: cannot search: $PWD is not a git checkout of the game" >&2
      exit 2
    fi
    found=0
    check() {  # check DESCRIPTION REGEX PATHS...
      local what=$1 regex=$2 status=0
      shift 2
      git grep -n -E "$regex" -- "$@" || status=$?
      case $status in
        0) echo "lint: $what" >&2 && found=1 ;;
        1) ;;  # no match
        *) echo "lint: cannot search for: $what (git grep exit $status)" >&2 && found=2 ;;
      esac
    }
    check "game code owns memory through smart pointers, never raw new/delete" \
      '\bnew[[:space:]]+[[:alnum:]_:<>]+[[:space:]]*[[({]|\bdelete[[:space:]]*(\[\])?[[:space:]]*[[:alnum:]_]+;' 'src/*'
    check "rounding goes half to even through Round, never half away from zero" \
      '\b(l?l?round|roundl?)[[:space:]]*\(' 'src/*'
    check "tests end the processes they started by id, never by name" \
      '\b(pkill|killall)\b' 'tests/*' 'scripts/*' '.ci/*' ':!scripts/lint.sh'
    check "game code throws no exceptions" '\b(throw|try)\b' 'src/*'
    # Facts written once, each where the message says.
    check "Debian's layout for games is platforms/debian/Layout.cmake alone" \
      'INSTALL_BINDIR[= ]+games|TUMULT2D_DATADIR[= ]+share/games' ':!platforms/debian/Layout.cmake'
    check "the shell tests share one fail, tests/install/common.sh's" \
      '^[[:space:]]*fail[[:space:]]*\(\)' '*.sh' ':!tests/install/common.sh'
    check "what is kept between runs is made again through tumult_rebuild_if_changed" \
      '(cmp -s|\$\(cat)[^;|]*key' '*.sh' ':!scripts/rebuild.sh'
    # The CMake the build asks for is the one the presets and Debian's build dependencies name.
    cmake_minimum=$(sed -n 's/^cmake_minimum_required(VERSION \([0-9.]*\)).*/\1/p' CMakeLists.txt)
    presets_minimum=$(tr -d ' \n' <CMakePresets.json |
      sed -n 's/.*"cmakeMinimumRequired":{"major":\([0-9]*\),"minor":\([0-9]*\).*/\1.\2/p')
    debian_minimum=$(sed -n 's/.*cmake (>= \([0-9.]*\)).*/\1/p' platforms/debian/control)
    if [[ -z $cmake_minimum || $presets_minimum != "$cmake_minimum" ||
          $debian_minimum != "$cmake_minimum" ]]; then
      echo "lint: one CMake minimum: CMakeLists.txt '$cmake_minimum'," \
        "CMakePresets.json '$presets_minimum', platforms/debian/control '$debian_minimum'" >&2
      found=1
    fi
    # A unit's tests are found by its name (ctest -R Foo): the suites of tests/FooTest.cpp are
    # named Foo or Foo-something, and no other file there holds tests.
    for file in $(git ls-files 'tests/*.cpp' ':!tests/*/*'); do
      suite=$(basename "$file" Test.cpp)
      [[ $file == *Test.cpp ]] || suite='-'  # which no suite name matches
      if grep -nE '^TEST(_F|_P)?\(' "$file" | grep -vE "^[0-9]+:TEST(_F|_P)?\(${suite}[[:alnum:]_]*," |
        sed "s|^|$file:|" | grep .; then
        echo "lint: the suites of tests/FooTest.cpp are named Foo or Foo-something" >&2 && found=1
      fi
    done
    exit "$found"
    ;;
  boundary)
    # SDL stays behind the graphics boundary: the terrain and placement code, the battle's
    # recipe and facts, with the headers of the game objects, compile with no SDL include path.
    status=0
    for file in src/game/Battlefield.h src/game/Tank.h src/game/Battlefield.cpp \
      src/game/TankPlacement.cpp src/game/GameFacts.h src/game/BattleRecipe.cpp; do
      "${2:-c++}" -std=c++17 -fsyntax-only -Isrc -x c++ "$file" || status=1
    done
    exit "$status"
    ;;
esac
