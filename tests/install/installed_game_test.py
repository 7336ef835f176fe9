#!/usr/bin/env python3
"""Plays the game installed into a temporary prefix (appstreamcli checks the desktop entry,
metainfo and icon together), moved and started through a link elsewhere, or, with --deb,
unpacked from its Debian package: it must show exactly the frame tumult2d_frame renders from
the pictures found there, and Escape ends it with nothing printed.

Usage: installed_game_test.py BUILD_DIR FRAME_TOOL [CMAKE] | --deb PACKAGE FRAME_TOOL"""

import os
import subprocess
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))
import xgame  # noqa: E402


def run_checked(*command):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, check=False)
    if result.returncode != 0:
        raise xgame.CheckFailed(f"{' '.join(command)} failed:\n" + result.stdout.decode())


def install(workdir, build_dir, cmake="cmake"):
    """The launcher linked from elsewhere, where it starts, and where it runs the game."""
    staged, prefix, elsewhere = (os.path.join(workdir, n) for n in ("staged", "moved", "elsewhere"))
    run_checked(cmake, "--install", build_dir, "--prefix", staged)
    run_checked("appstreamcli", "validate-tree", "--no-net", "--pedantic", staged)
    os.rename(staged, prefix)
    os.mkdir(elsewhere)
    os.symlink(os.path.join(prefix, "bin", "tumult2d"), os.path.join(elsewhere, "tumult2d"))
    return os.path.join(elsewhere, "tumult2d"), elsewhere, os.path.join(prefix, "share/tumult2d")


def unpack(workdir, package):
    """The same three from the package, in Debian's layout for games."""
    root = os.path.join(workdir, "root")
    run_checked("dpkg-deb", "-x", package, root)
    return (os.path.join(root, "usr/games/tumult2d"), workdir,
            os.path.join(root, "usr/share/games/tumult2d"))


def main(get_game, source, frame_tool, *options):
    def play(session):
        launcher, cwd, data_dir = get_game(session.workdir, source, *options)
        game = session.start_game(launcher, cwd, "installed")
        game.expect_frame(session.render(frame_tool, data_dir))
        game.escape()

    return xgame.run(play)


if __name__ == "__main__":
    deb = sys.argv[1:2] == ["--deb"]
    xgame.check_usage(len(sys.argv) == 4 if deb else len(sys.argv) in (3, 4), __doc__)
    sys.exit(main(unpack if deb else install, *sys.argv[1 + deb:]))
