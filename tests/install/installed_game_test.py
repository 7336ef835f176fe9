#!/usr/bin/python3
"""Installs the built game into a temporary prefix and plays it from there, as a player would.

appstreamcli checks the installed desktop entry, metainfo and icon together. The tree is then
moved as a whole (the launcher finds the game and its pictures relative to itself) and its
launcher started through a link in an unrelated folder on a private Xvfb server: the window
must show exactly the frame tumult2d_frame renders from the installed pictures for the pinned
battle, and a held Escape must end the game with exit code 0 and nothing printed.

Usage: installed_game_test.py BUILD_DIR FRAME_TOOL [--cmake CMAKE] [--out-dir DIR]
"""

import argparse
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))
import xgame  # noqa: E402

DATA_DIR = "share/tumult2d"  # where the launcher runs the game, with its images/


def run_checked(*command):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, check=False)
    if result.returncode != 0:
        raise xgame.CheckFailed(f"{' '.join(command)} failed:\n" + result.stdout.decode())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir", type=os.path.abspath)
    parser.add_argument("frame_tool", type=os.path.abspath)
    parser.add_argument("--cmake", default="cmake")
    parser.add_argument("--out-dir", default=".")
    args = parser.parse_args()

    def install_and_play(session):
        staged, prefix, elsewhere = (os.path.join(session.workdir, name)
                                     for name in ("staged", "moved", "elsewhere"))
        run_checked(args.cmake, "--install", args.build_dir, "--prefix", staged)
        run_checked("appstreamcli", "validate-tree", "--no-net", "--pedantic", staged)
        os.rename(staged, prefix)
        os.mkdir(elsewhere)
        os.symlink(os.path.join(prefix, "bin", "tumult2d"), os.path.join(elsewhere, "tumult2d"))
        session.start_xvfb()
        game = session.start_game(os.path.join(elsewhere, "tumult2d"), elsewhere)
        expected = session.render(args.frame_tool, os.path.join(prefix, DATA_DIR))
        win = session.window(game)
        session.expect_frame(game, win, expected, "installed-window")
        session.hold_key(win, game, "Escape")
        game.check_output(0)

    return xgame.run(install_and_play, args.out_dir)


if __name__ == "__main__":
    sys.exit(main())
