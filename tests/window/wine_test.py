#!/usr/bin/env python3
"""Plays the Windows build under Debian's Wine on a private Xvfb, as real_window_test.py plays
the Linux build. Unpacked from its zip, it is a window program (no console); its clock pinned
with libfaketime (which reaches through Wine), it must show exactly the frame tumult2d_frame
renders for that battle, with the shipped and with hostile images; the close button is ignored
and a held Escape ends it with 0. Without a video driver it says why and exits with 1.

Usage: wine_test.py ZIP FRAME_TOOL WINEPREFIX. The prefix is made on first use (and again for
another Wine version) and kept; every Wine process of it is ended when the test ends.
"""

import os
import shutil
import subprocess
import sys
import zipfile

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import real_window_test  # noqa: E402
import xgame  # noqa: E402

WINE, WINESERVER = "/usr/lib/wine/wine64", "/usr/lib/wine/wineserver"


def use_prefix(prefix):
    """Every Wine process started from here on runs in `prefix`, with no debug output and
    without the prompts to install Mono or Gecko or the menu entries a prefix would make."""
    os.environ.update(WINEPREFIX=prefix, WINEDEBUG="-all",
                      WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")


def end_wine():
    """Ends every process of the prefix in use, by the prefix: the game, whichever of Wine's
    own processes it started, and the server; returns once they are gone."""
    for option in ("-k", "-w"):
        subprocess.run([WINESERVER, option], check=False, timeout=30)


def make_prefix(session, prefix):
    """Makes the prefix unless it is there (a newer Wine updates it as it starts); a half-made
    one never takes its name, so a test stopped while making it makes it anew next time."""
    if os.path.isdir(prefix):
        return
    fresh = prefix + ".new"
    for folder in (fresh, prefix):
        shutil.rmtree(folder, ignore_errors=True)
    use_prefix(fresh)
    try:
        env = dict(os.environ, DISPLAY=session.display)
        session.start([WINE, "wineboot", "-i"], env=env, stdout=subprocess.DEVNULL,
                      stderr=subprocess.DEVNULL).wait(timeout=xgame.time_left(90))
        subprocess.run([WINESERVER, "-w"], env=env, check=True, timeout=xgame.time_left(30))
    except subprocess.TimeoutExpired:
        raise xgame.CheckFailed("wineboot did not make the prefix in time") from None
    finally:
        end_wine()
    os.rename(fresh, prefix)


def check_window_program(exe):
    """The executable is a window program (PE subsystem 2), so Explorer opens no console."""
    with open(exe, "rb") as f:
        header = f.read(4096)
    pe = int.from_bytes(header[0x3C:0x40], "little")
    if header[pe:pe + 4] != b"PE\0\0" or header[pe + 0x5C] != 2:
        raise xgame.CheckFailed(f"{exe} is not a Windows window program")


def case_failed_start(session, exe):
    """With no video driver to be had the game exits with 1 and says why on standard error."""
    log = os.path.join(session.workdir, "failed-start.log")
    with open(log, "wb") as out:
        proc = session.start([WINE, exe], env=dict(os.environ, SDL_VIDEODRIVER="nosuchdriver"),
                             stdout=out, stderr=out)
    game = xgame.Game(session, proc, log)
    game.wait_exit("a start without a video driver")
    if proc.returncode != 1 or not game.output().startswith(
            "tumult2d: cannot initialise SDL video: "):
        raise xgame.CheckFailed(f"exit code {proc.returncode}, expected 1 and the reason; "
                                f"output:\n{game.output()}")


def main(zip_path, frame_tool, prefix):
    def body(session):
        with zipfile.ZipFile(zip_path) as archive:
            archive.extractall(session.workdir)
            folder = os.path.join(session.workdir, os.path.dirname(archive.namelist()[0]))
        exe, frame_tool_path = os.path.join(folder, "tumult2d.exe"), os.path.abspath(frame_tool)
        check_window_program(exe)
        make_prefix(session, os.path.abspath(prefix))
        use_prefix(os.path.abspath(prefix))
        session.launcher = (WINE,)
        here = os.getcwd()
        os.chdir(folder)  # the game and tumult2d_frame read images/ from where they start
        try:
            for case in ("window", "hostile"):
                real_window_test.play(session, exe, frame_tool_path, case)
            case_failed_start(session, exe)
        finally:
            os.chdir(here)
            end_wine()

    return xgame.run(body)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
