#!/usr/bin/env python3
"""Plays the game installed (and appstreamcli-valid), moved and linked, or unpacked from a .deb.

Usage: installed_game_test.py BUILD_DIR FRAME_TOOL [CMAKE] | --deb PACKAGE FRAME_TOOL"""

import os
import sys

from harness import battle, process, xgame


def install(session, build_dir, cmake="cmake"):
    """The launcher linked from elsewhere, where it starts, and its data folder."""
    staged, prefix, elsewhere = (os.path.join(session.workdir, n)
                                 for n in ("staged", "moved", "elsewhere"))
    session.run([cmake, "--install", build_dir, "--prefix", staged])
    session.run(["appstreamcli", "validate-tree", "--no-net", "--pedantic", staged])
    os.rename(staged, prefix)
    os.mkdir(elsewhere)
    os.symlink(os.path.join(prefix, "bin", "tumult2d"), os.path.join(elsewhere, "tumult2d"))
    return os.path.join(elsewhere, "tumult2d"), elsewhere, os.path.join(prefix, "share/tumult2d")


def unpack(session, package):
    root = os.path.join(session.workdir, "root")
    session.run(["dpkg-deb", "-x", package, root])
    return (os.path.join(root, "usr/games/tumult2d"), session.workdir,
            os.path.join(root, "usr/share/games/tumult2d"))


def main(get_game, source, frame_tool, *options):
    def play(session):
        launcher, cwd, data_dir = get_game(session, source, *options)
        game = session.start_game(launcher, cwd, "installed")
        game.expect_frame(battle.render(session, frame_tool, data_dir))
        game.escape()

    return xgame.run(play)


if __name__ == "__main__":
    deb = sys.argv[1:2] == ["--deb"]
    process.check_usage(len(sys.argv) == 4 if deb else len(sys.argv) in (3, 4), __doc__)
    sys.exit(main(unpack if deb else install, *sys.argv[1 + deb:]))
