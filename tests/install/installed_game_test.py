#!/usr/bin/env python3
"""Installs the built game into a temporary prefix and plays it from there, as a player would.

appstreamcli checks the desktop entry, metainfo and icon together; the tree is moved and its
launcher started through a link elsewhere. The window must show exactly the frame
tumult2d_frame renders from the installed pictures; Escape ends the game, nothing printed.
With --deb, the same play from a Debian package unpacked into a temporary folder (Debian's
layout for games), without installing it.

Usage: installed_game_test.py BUILD_DIR FRAME_TOOL [CMAKE]
       installed_game_test.py --deb PACKAGE FRAME_TOOL
"""

import os
import subprocess
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))
import xgame  # noqa: E402

DATA_DIR = "share/tumult2d"  # where the launcher runs the game, with its images/
DEB_LAUNCHER, DEB_DATA_DIR = "usr/games/tumult2d", "usr/share/games/tumult2d"


def run_checked(*command):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, check=False)
    if result.returncode != 0:
        raise xgame.CheckFailed(f"{' '.join(command)} failed:\n" + result.stdout.decode())


def main(build_dir, frame_tool, cmake="cmake"):
    def install_and_play(session):
        staged, prefix, elsewhere = (os.path.join(session.workdir, name)
                                     for name in ("staged", "moved", "elsewhere"))
        run_checked(cmake, "--install", build_dir, "--prefix", staged)
        run_checked("appstreamcli", "validate-tree", "--no-net", "--pedantic", staged)
        os.rename(staged, prefix)
        os.mkdir(elsewhere)
        os.symlink(os.path.join(prefix, "bin", "tumult2d"), os.path.join(elsewhere, "tumult2d"))
        game = session.start_game(os.path.join(elsewhere, "tumult2d"), elsewhere, "installed")
        game.expect_frame(session.render(os.path.abspath(frame_tool), os.path.join(prefix, DATA_DIR)))
        game.escape()

    return xgame.run(install_and_play)


def play_package(package, frame_tool):
    def unpack_and_play(session):
        root = os.path.join(session.workdir, "root")
        run_checked("dpkg-deb", "-x", package, root)
        game = session.start_game(os.path.join(root, DEB_LAUNCHER), session.workdir, "packaged")
        game.expect_frame(session.render(os.path.abspath(frame_tool),
                                         os.path.join(root, DEB_DATA_DIR)))
        game.escape()

    return xgame.run(unpack_and_play)


if __name__ == "__main__":
    if sys.argv[1] == "--deb":
        sys.exit(play_package(*sys.argv[2:]))
    sys.exit(main(*sys.argv[1:]))
