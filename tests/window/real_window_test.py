#!/usr/bin/python3
"""Plays the built game in a real X window on a private Xvfb server, as a player would.

  window       - the window shows exactly the frame tumult2d_frame renders for the pinned
                 battle and ignores the close button; a held Escape ends the game with exit
                 code 0 and nothing printed.
  signals      - SIGINT, SIGTERM and SIGHUP each end the game with 128 plus the signal's
                 number (130, 143, 129), as a shell expects, and nothing printed.
  failed-start - with a video driver SDL does not have, the game exits 1 and says why in one
                 line on stderr.

Usage: real_window_test.py GAME FRAME_TOOL --case CASE [--out-dir DIR]   (from the folder of
images/; a frame that is not the expected one is kept in DIR)
"""

import argparse
import os
import signal
import subprocess
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import xgame  # noqa: E402
from Xlib import X, protocol  # noqa: E402


def send_close_request(dpy, win):
    """What a window manager sends when the player clicks the window's close button."""
    wm_delete = dpy.intern_atom("WM_DELETE_WINDOW")
    if wm_delete not in (win.get_wm_protocols() or []):  # else the request would test nothing
        raise xgame.CheckFailed("the window does not take WM_DELETE_WINDOW close requests")
    win.send_event(protocol.event.ClientMessage(
        window=win, client_type=dpy.intern_atom("WM_PROTOCOLS"),
        data=(32, [wm_delete, X.CurrentTime, 0, 0, 0])), event_mask=X.NoEventMask)
    dpy.sync()


def case_window(session, game_binary, frame_tool):
    game = session.start_game(game_binary, os.getcwd())
    expected = session.render(frame_tool, os.getcwd())
    win = session.window(game)
    session.expect_frame(game, win, expected, "real-window")
    send_close_request(session.dpy, win)
    session.next_frames(game, win, expected)
    session.hold_key(win, game, "Escape")
    game.check_output(0)


def case_signals(session, game_binary):
    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        game = session.start_game(game_binary, os.getcwd(), signum.name)
        session.window(game)
        game.proc.send_signal(signum)
        session.gone(game)
        game.check_output(128 + signum)


def case_failed_start(game_binary):
    env = dict(os.environ, SDL_VIDEODRIVER="nosuchdriver")
    env.pop("DISPLAY", None)
    result = subprocess.run([game_binary], env=env, stdin=subprocess.DEVNULL,
                            capture_output=True, timeout=10, check=False)
    lines = result.stderr.decode(errors="replace").splitlines()
    if result.returncode != 1 or result.stdout or len(lines) != 1 or \
            not lines[0].startswith("tumult2d: "):
        raise xgame.CheckFailed(f"with no usable video driver: exit code {result.returncode}, "
                                f"expected 1 and one line on stderr; got {result.stderr}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("game", type=os.path.abspath)
    parser.add_argument("frame_tool", type=os.path.abspath)
    parser.add_argument("--case", choices=("window", "signals", "failed-start"), required=True)
    parser.add_argument("--out-dir", default=".")
    args = parser.parse_args()

    def body(session):
        if args.case == "failed-start":
            return case_failed_start(args.game)
        session.start_xvfb()
        if args.case == "window":
            return case_window(session, args.game, args.frame_tool)
        return case_signals(session, args.game)

    return xgame.run(body, args.out_dir)


if __name__ == "__main__":
    sys.exit(main())
