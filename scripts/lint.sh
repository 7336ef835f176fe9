#!/usr/bin/env bash
# House rules that a compiler does not check.
# Usage: lint.sh format | tidy BUILD_DIR | patterns | boundary [CXX]
set -euo pipefail
case "${1:-} $#" in
  "format 1" | "tidy 2" | "patterns 1" | "boundary 1" | "boundary 2") ;;
  *) echo "usage: $0 format | tidy BUILD_DIR | patterns | boundary [CXX]" >&2 && exit 2 ;;
esac
cd "$(dirname "$0")/.."

# The files git tracks; in sources that are not a checkout of their own (a release tarball, even
# unpacked inside another checkout), every such file of the game's folders.
cxx_files() {
  if [[ $(git rev-parse --show-toplevel 2>/dev/null) == "$(pwd -P)" ]]; then
    git ls-files -- '*.cpp' '*.h'
  else
    find src tests bench tools -name '*.cpp' -o -name '*.h'
  fi
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
