#!/usr/bin/env bash
# What the builds that ship a zip share (sourced by platforms/windows/build.sh and
# platforms/web/build.sh):
# SDL 1.2's Debian source, fetched without touching the system's apt setup, and a zip whose
# bytes depend only on the commit.

# Debian's source package of SDL 1.2, from the Debian mirrors this machine uses, unpacked with
# its patches applied into DIR/source. apt works in the private folder DIR/apt (the system's apt
# setup is only read, for its Debian mirror). Says which build failed with WHO.
#
#   tumult_fetch_sdl_source DIR WHO
tumult_fetch_sdl_source() {
  local sdl=$1 who=$2
  local apt=$sdl/apt
  rm -rf "$apt" "$sdl/source" "$sdl"/libsdl1.2_*
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts"
  # shellcheck disable=SC2016  # the fields are apt's, not the shell's
  apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' \
    'Origin: Debian' 'Component: main' | sort -u |
    while read -r uri release; do
      echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $release main"
    done >"$apt/sources.list"
  if [[ ! -s $apt/sources.list ]]; then
    echo "$who: this machine's apt knows no Debian mirror to take SDL's source from" >&2
    exit 1
  fi
  local -a private=(-o "Dir::Etc::SourceList=$apt/sources.list"
                    -o "Dir::Etc::SourceParts=$apt/parts" -o "Dir::State::Lists=$apt/lists"
                    -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root -qq)
  apt-get "${private[@]}" update
  (cd "$sdl" && apt-get "${private[@]}" source --download-only libsdl1.2)
  # apt checked the files against the signed index; dpkg-source need not check them again.
  dpkg-source --no-check -x "$sdl"/libsdl1.2_*.dsc "$sdl/source" >/dev/null
}

# Configures BUILD/game with the cmake command given (a toolchain and SDL of the platform's
# among its options) as a Release build of the game alone, no build path in its objects; builds
# the game and prints the project's version.
#
#   version=$(tumult_build_game BUILD CMAKE_COMMAND [OPTION...])
tumult_build_game() {
  local build=$1
  shift
  "$@" -S . -B "$build/game" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$PWD=." >"$build/configure.log" ||
    { cat "$build/configure.log" >&2; exit 1; }
  cmake --build "$build/game" --target tumult2d -j"$(nproc)" >&2
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/game/CMakeCache.txt"
}

# Prints the zip's README from its TEMPLATE (the platform folder's README.txt), with the game's
# VERSION and the Debian source package of the SDL built into SDL_PREFIX filled in, and the
# lines @ABOUT@ and @CONTROLS@ replaced by what data/about.txt tells a player.
#
#   tumult_fill_readme TEMPLATE VERSION SDL_PREFIX
tumult_fill_readme() {
  local line
  while IFS= read -r line; do
    case $line in
      @ABOUT@) scripts/about.sh description 90 ;;
      @CONTROLS@) scripts/about.sh controls text ;;
      *) sed -e "s/@VERSION@/$2/" -e "s/@SDL_SOURCE@/$(cat "$3/source-version")/" <<<"$line" ;;
    esac
  done <"$1"
}

# Makes BUILD/stage/NAME afresh, the zip's folder, and exports the time every file of the zip
# carries (scripts/source_date_epoch.sh), so that the tools run afterwards (strip) stamp it too.
#
#   tumult_start_stage BUILD NAME
tumult_start_stage() {
  SOURCE_DATE_EPOCH=$(scripts/source_date_epoch.sh)
  export SOURCE_DATE_EPOCH
  rm -rf "$1/stage"
  mkdir -p "$1/stage/$2"
}

# Zips STAGE/NAME into ZIP: every entry stamped with SOURCE_DATE_EPOCH, in one order, with one
# mode, so that the same files always give the same bytes.
#
#   tumult_zip_stage STAGE NAME ZIP
tumult_zip_stage() {
  local stage=$1 name=$2 zip_file=$3
  find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  find "$stage" -type f -exec chmod 0644 {} +
  find "$stage" -type d -exec chmod 0755 {} +
  rm -f "$zip_file"
  (cd "$stage" && find "$name" -type f | LC_ALL=C sort |
    TZ=UTC zip -X -D -9 -q "$zip_file" -@)
}
