#!/usr/bin/env python3
"""Plays the Windows build's zip under Wine as tests/desktop/desktop_test.py plays the game.

Usage: wine_test.py ZIP FRAME_TOOL WINEPREFIX   (the prefix is made on first use and kept)"""

import os
import re
import shutil
import sys
import zipfile

from harness import battle, process, xgame
from Xlib import X

WINE, WINESERVER = "/usr/lib/wine/wine64", "/usr/lib/wine/wineserver"
MINGW_CC = "x86_64-w64-mingw32-gcc-win32"
WINDOW_TEXT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "window_text.c")
# What Wine writes among a program's lines: a channel's message, or a word from its loader.
WINE_LINE = re.compile(r"([0-9a-f]{4,}:)*(err|warn|fixme|trace):|wine: ").match


def end_wine(session):
    """Every process of the prefix in use, gone once this returns."""
    for option in ("-k", "-w"):
        session.start([WINESERVER, option], "wine").wait(timeout=30)


def use_prefix(session, prefix, reader):
    """A half-made prefix never takes its name. Its server, services and desktop start here and
    stay until the test ends: started by a game, they would be its children, with its clock and
    log, and its exit would shut the prefix down, where under load Wine's driver host can crash
    into the game's log. The desktop starts with the first program to look for a window:
    `reader`."""
    os.environ.update(WINEDEBUG="-all,err+all",
                      WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    session.launcher, session.launcher_line = (WINE,), WINE_LINE
    if not os.path.isdir(prefix):
        os.environ["WINEPREFIX"] = fresh = prefix + ".new"
        shutil.rmtree(fresh, ignore_errors=True)
        try:
            session.run([WINE, "wineboot", "-i"], "wine", seconds=90)
            session.run([WINESERVER, "-w"], "wine", seconds=30)
        finally:
            end_wine(session)
        os.rename(fresh, prefix)
    os.environ["WINEPREFIX"] = prefix
    end_wine(session)  # what a run of this test killed outright left behind
    session.at_end(lambda: end_wine(session))
    session.run([WINESERVER, f"--persistent={process.budget()}"], "wine")
    session.run([WINE, "wineboot"], "wine", seconds=90)
    session.run([WINE, reader, battle.TITLE], "wine")


def check_window_program(exe):
    """PE subsystem 2, so Explorer opens no console."""
    with open(exe, "rb") as f:
        header = f.read(4096)
    pe = int.from_bytes(header[0x3C:0x40], "little")
    if header[pe:pe + 4] != b"PE\0\0" or header[pe + 0x5C] != 2:
        raise process.CheckFailed(f"{exe} is not a Windows window program")


def build_reader(session):
    reader = os.path.join(session.workdir, "window_text.exe")
    session.run([MINGW_CC, "-O2", "-o", reader, WINDOW_TEXT], "mingw")
    return reader


def failed_start(session, exe, reader):
    """Without a video driver, why on stderr and in a box that holds the game until Return."""
    game = xgame.Game(session, [WINE, exe], "failed-start",
                      env=dict(os.environ, SDL_VIDEODRIVER="nosuchdriver"))
    box = xgame.wait_until(30, f'a message box titled "{battle.TITLE}"', lambda: game.running()
                           and xgame.find_window(session.dpy, battle.TITLE))
    session.run([WINE, reader, battle.TITLE], "window_text")
    shown = session.program_lines(session.log("window_text"))
    printed = game.output()
    if len(shown) != 1 or printed != ["tumult2d: " + shown[0]]:
        raise process.CheckFailed(f"the box shows {shown}, the game printed {printed}")
    game.running()  # the box holds it
    box.set_input_focus(X.RevertToParent, X.CurrentTime)
    xgame.send_key(session.dpy, "Return", X.KeyPress, X.KeyRelease)
    game.wait_exit("Return closed the message box")
    game.check_output(1, ["tumult2d: cannot initialise SDL video: "])


def main(zip_path, frame_tool, prefix):
    prefix, frame_tool = os.path.abspath(prefix), os.path.abspath(frame_tool)

    def body(session):
        with zipfile.ZipFile(zip_path) as archive:
            archive.extractall(session.workdir)
            folder = os.path.join(session.workdir, os.path.dirname(archive.namelist()[0]))
        exe = os.path.join(folder, "tumult2d.exe")
        check_window_program(exe)
        reader = build_reader(session)
        use_prefix(session, prefix, reader)
        os.chdir(folder)  # the game and tumult2d_frame read images/ from where they start
        for case in ("window", "hostile"):
            xgame.play(session, exe, frame_tool, case)
        failed_start(session, exe, reader)

    return xgame.run(body)


if __name__ == "__main__":
    process.check_usage(len(sys.argv) == 4, __doc__)
    sys.exit(main(*sys.argv[1:]))
