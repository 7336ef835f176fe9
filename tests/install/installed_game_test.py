#!/usr/bin/python3
"""Installs the built game into a temporary prefix and plays it from there, as a player would.

`cmake --install` lays the tree out and appstreamcli checks its desktop entry, metainfo
and icon together; the tree is then moved as a whole (the launcher must find
the game and its pictures relative to itself) and the installed launcher is started, through
a link in an unrelated working folder, on a private Xvfb server. The window must show exactly
the frame tumult2d_frame renders from the installed pictures for the pinned battle, and a held
Escape must end the game with exit code 0 and nothing printed.

Usage: installed_game_test.py BUILD_DIR FRAME_TOOL [--cmake CMAKE] [--out-dir DIR]
"""

import argparse
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))
import xgame  # noqa: E402

APP_ID = "io.github.tumult2d.tumult2d"
DATA_DIR = "share/tumult2d"  # where the launcher runs the game, with its images/
# Everything a player's system needs from the package, relative to the prefix.
INSTALLED_FILES = [
    "bin/tumult2d",
    "libexec/tumult2d/tumult2d",
    *(f"{DATA_DIR}/images/{name}.bmp"
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
        raise xgame.CheckFailed("cmake --install failed:\n"
                                + result.stdout.decode(errors="replace"))
    missing = [path for path in INSTALLED_FILES
               if not os.path.isfile(os.path.join(prefix, path))]
    if missing:
        raise xgame.CheckFailed("not installed: " + ", ".join(missing))
    # The desktop entry, metainfo and icon as the software centre reads them, together.
    result = subprocess.run(["appstreamcli", "validate-tree", "--no-net", "--pedantic", prefix],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, check=False)
    if result.returncode != 0:
        raise xgame.CheckFailed("appstreamcli validate-tree fails on the installed tree:\n"
                             + result.stdout.decode(errors="replace"))
    not_runnable = [path for path in EXECUTABLES
                    if not os.access(os.path.join(prefix, path), os.X_OK)]
    if not_runnable:
        raise xgame.CheckFailed("installed without execute permission: " + ", ".join(not_runnable))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir", type=os.path.abspath)
    parser.add_argument("frame_tool", type=os.path.abspath)
    parser.add_argument("--cmake", default="cmake")
    parser.add_argument("--out-dir", default=".", help="where a failed frame's pictures go")
    args = parser.parse_args()

    def install_and_play(session):
        staged = os.path.join(session.workdir, "staged")
        install(args.cmake, args.build_dir, staged)
        print(f"installed {len(INSTALLED_FILES)} files")
        prefix = os.path.join(session.workdir, "moved")
        os.rename(staged, prefix)
        elsewhere = os.path.join(session.workdir, "elsewhere")
        os.mkdir(elsewhere)
        link = os.path.join(elsewhere, "tumult2d")
        os.symlink(os.path.join(prefix, "bin", "tumult2d"), link)

        session.start_xvfb()
        game = session.start_game(link, elsewhere)
        expected = session.render(args.frame_tool, os.path.join(prefix, DATA_DIR))
        win = session.window(game)
        session.expect_frame(game, win, expected, "installed-window")
        session.hold_key(win, game, "Escape")
        game.check_output(0)

    return xgame.run("tumult2d-install-", 45, install_and_play, args.out_dir)


if __name__ == "__main__":
    sys.exit(main())
