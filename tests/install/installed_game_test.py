#!/usr/bin/python3
"""Installs the built game into a temporary prefix and plays it from there, as a player would.

`cmake --install` lays the tree out and appstreamcli checks its desktop entry, metainfo
and icon together; the tree is then moved as a whole (the launcher must find
the game and its pictures relative to itself) and the installed launcher is started, through
a link in an unrelated working folder, on a private Xvfb server. The window must show the
installed sky picture and the land, and a held Escape must end the game with exit code 0.

Usage: installed_game_test.py BUILD_DIR [--cmake CMAKE] [--out-dir DIR]
"""

import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))
import real_window_test as rw  # noqa: E402

APP_ID = "io.github.tumult2d.tumult2d"
# Everything a player's system needs from the package, relative to the prefix.
INSTALLED_FILES = [
    "bin/tumult2d",
    "libexec/tumult2d/tumult2d",
    *(f"share/tumult2d/images/{name}.bmp"
      for name in ("DesertEclipse", "TK-1", "TK-2", "TK-3", "TK-4")),
    f"share/applications/{APP_ID}.desktop",
    f"share/metainfo/{APP_ID}.metainfo.xml",
    *(f"share/icons/hicolor/{size}x{size}/apps/tumult2d.png"
      for size in (16, 32, 48, 64, 128, 256)),
]
EXECUTABLES = ("bin/tumult2d", "libexec/tumult2d/tumult2d")


def install(cmake, build_dir, prefix):
    result = subprocess.run([cmake, "--install", build_dir, "--prefix", prefix],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, check=False)
    if result.returncode != 0:
        raise rw.CheckFailed("cmake --install failed:\n" + result.stdout.decode(errors="replace"))
    missing = [path for path in INSTALLED_FILES
               if not os.path.isfile(os.path.join(prefix, path))]
    if missing:
        raise rw.CheckFailed("not installed: " + ", ".join(missing))
    # The desktop entry, metainfo and icon as the software centre reads them, together.
    result = subprocess.run(["appstreamcli", "validate-tree", "--no-net", "--pedantic", prefix],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, check=False)
    if result.returncode != 0:
        raise rw.CheckFailed("appstreamcli validate-tree fails on the installed tree:\n"
                             + result.stdout.decode(errors="replace"))
    not_runnable = [path for path in EXECUTABLES
                    if not os.access(os.path.join(prefix, path), os.X_OK)]
    if not_runnable:
        raise rw.CheckFailed("installed without execute permission: " + ", ".join(not_runnable))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir")
    parser.add_argument("--cmake", default="cmake")
    parser.add_argument("--out-dir", default=".", help="where installed_window.png goes")
    args = parser.parse_args()

    def install_and_play(processes, workdir):
        staged = os.path.join(workdir, "staged")
        install(args.cmake, os.path.abspath(args.build_dir), staged)
        print(f"installed {len(INSTALLED_FILES)} files")
        prefix = os.path.join(workdir, "moved")
        os.rename(staged, prefix)

        elsewhere = os.path.join(workdir, "elsewhere")
        os.mkdir(elsewhere)
        link = os.path.join(elsewhere, "tumult2d")
        os.symlink(os.path.join(prefix, "bin", "tumult2d"), link)
        screenshot = os.path.join(os.path.abspath(args.out_dir), "installed_window.png")
        sky = os.path.join(prefix, "share", "tumult2d", "images", "DesertEclipse.bmp")
        rw.case_window(link, [screenshot], processes, workdir, cwd=elsewhere, sky_picture=sky)

    started = time.monotonic()
    failure = rw.run_guarded("tumult2d-install-", rw.TEST_BUDGET_SECONDS, install_and_play)
    if failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    print(f"PASSED in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
