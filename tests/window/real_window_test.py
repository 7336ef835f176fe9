#!/usr/bin/env python3
"""Plays the built game in a real X window on a private Xvfb server, as a player would.

Usage: real_window_test.py GAME FRAME_TOOL window|hostile   (run from the folder of images/)"""

import os
import pathlib
import shutil
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import xgame  # noqa: E402
from Xlib import X, protocol  # noqa: E402

SEEDS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus", "images")
PIPE = "a named pipe"  # opening it to read would wait for a writer that never comes
FOLDER = "a folder"


def hostile_images():
    """Two sets of images, name -> bytes, PIPE, or None to delete: in the first none can load,
    each for its own reason; in the second each loads, none in the format the game ships."""
    def seed(name):
        return pathlib.Path(SEEDS, name).read_bytes()

    def resized(width, height, pixel_bytes):  # the 24-bit seed's header claiming another size
        data = bytearray(seed("bits24.bmp"))
        data[18:26] = width.to_bytes(4, "little") + height.to_bytes(4, "little")
        return bytes(data[:54] + (bytes(range(251)) * (pixel_bytes // 251 + 1))[:pixel_bytes])

    return ({"DesertEclipse.bmp": None, "TK-1.bmp": b"", "TK-2.bmp": PIPE, "TK-3.bmp":
             b"P6\n24 16\n255\n" + bytes(24 * 16 * 3), "TK-4.bmp": resized(30000, 30000, 4096)},
            {"DesertEclipse.bmp": resized(900, 700, 900 * 700 * 3), "TK-1.bmp": seed("bits8.bmp"),
             "TK-2.bmp": seed("bits16.bmp"), "TK-3.bmp": seed("one-pixel.bmp")})


def image_folder(session, name, files):
    """A folder of the session's holding a copy of images/ with `files` (from hostile_images,
    or FOLDER) put in place."""
    folder = os.path.join(session.workdir, name)
    shutil.copytree("images", os.path.join(folder, "images"))
    for image, data in files.items():
        path = os.path.join(folder, "images", image)
        os.remove(path)
        if data in (PIPE, FOLDER):
            (os.mkfifo if data is PIPE else os.mkdir)(path)
        elif data is not None:
            pathlib.Path(path).write_bytes(data)
    return folder


def send_close_request(dpy, win):
    """What a window manager sends when the player clicks the window's close button."""
    wm_delete = dpy.intern_atom("WM_DELETE_WINDOW")
    if wm_delete not in (win.get_wm_protocols() or []):  # else the request would test nothing
        raise xgame.CheckFailed("the window does not take WM_DELETE_WINDOW close requests")
    win.send_event(protocol.event.ClientMessage(
        window=win, client_type=dpy.intern_atom("WM_PROTOCOLS"),
        data=(32, [wm_delete, X.CurrentTime, 0, 0, 0])), event_mask=X.NoEventMask)
    dpy.sync()


def play(session, game_binary, frame_tool, case):
    """Each start: exactly the frame tumult2d_frame renders for its images, the close button
    ignored, and Escape, tapped or held, that ends it, printing only a warning per image that
    cannot load. "window" starts the game once with the shipped images, "hostile" twice: with
    no image loading, then with every image in an odd format."""
    broken, odd = hostile_images()
    starts = {"window": [("shipped", {}, [], True)],  # True: Escape is tapped, not held
              "hostile": [("broken", broken, list(broken), False), ("odd", odd, [], True)]}[case]
    for name, files, warned, tap in starts:
        folder = image_folder(session, name, files)
        game = session.start_game(game_binary, folder, name)
        expected = session.render(frame_tool, folder)
        send_close_request(session.dpy, game.win)
        game.expect_frame(expected)
        game.next_frames(expected)
        game.escape(warned, tap)


if __name__ == "__main__":
    xgame.check_usage(len(sys.argv) == 4 and sys.argv[3] in ("window", "hostile"), __doc__)
    sys.exit(xgame.run(lambda session: play(session, *sys.argv[1:])))
