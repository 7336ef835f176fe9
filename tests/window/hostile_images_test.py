#!/usr/bin/python3
"""Starts the built game in a real X window with its images broken in several ways at once.

Two starts, each on its own copy of images/: in the first no image can load (the background
missing, one sprite empty, one cut short, one not a BMP, one claiming 30000x30000 pixels); in the
second every image loads but none is what the game ships (a background larger than the
screen, 8-bit, 16-bit and 1x1 sprites). Each start must show exactly the frame tumult2d_frame
renders from the same folder for the same battle, end with exit code 0 when Escape is held,
and print one warning per image that cannot load and nothing else (no sanitizer report).

Usage: hostile_images_test.py GAME FRAME_TOOL [--out-dir DIR]   (from the folder of images/)
"""

import argparse
import os
import shutil
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import xgame  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz"))
import bmp_files  # noqa: E402

KEY, MARK, OTHER = 0xFF00FF, 0x10E0F0, 0xF0A000


def sprite():
    """24x16 rows: the key colour all round, two bands of colour inside."""
    rows = [[KEY] * 24 for _ in range(16)]
    for y in range(2, 14):
        rows[y][4:20] = [MARK if y < 8 else OTHER] * 16
    return rows


def large_background():
    """900x700 at 24 bits, a pattern that shows any shift or flip."""
    return bmp_files.encode(900, 700, 24, [[(x & 0xFF) << 16 | (y & 0xFF) << 8 | (x ^ y) & 0xFF
                                            for x in range(900)] for y in range(700)])


def broken_files(original):
    """Name -> bytes, or None to delete: no image of these can load, each for its own reason."""
    huge = bytearray(bmp_files.encode(24, 16, 24, sprite()))
    huge[18:26] = (30000).to_bytes(4, "little") * 2
    return {"DesertEclipse.bmp": None, "TK-1.bmp": b"", "TK-2.bmp": original[:len(original) // 2],
            "TK-3.bmp": b"P6\n24 16\n255\n" + bytes(24 * 16 * 3), "TK-4.bmp": bytes(huge)}


def odd_files():
    """Name -> bytes: every image loads, none in the shipped format."""
    palette = [KEY, MARK, OTHER]
    as555 = [[(c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31) for c in row]
             for row in sprite()]
    return {"DesertEclipse.bmp": large_background(),
            "TK-1.bmp": bmp_files.encode(24, 16, 8, [[palette.index(c) for c in row]
                                                     for row in sprite()], palette),
            "TK-2.bmp": bmp_files.encode(24, 16, 16, as555),
            "TK-3.bmp": bmp_files.encode(1, 1, 24, [[MARK]])}


def one_start(session, args, name, files, warned):
    """One start with `files` replaced; `warned` are the images it warns about, in load order."""
    folder = os.path.join(session.workdir, name)
    shutil.copytree("images", os.path.join(folder, "images"))
    for image, data in files.items():
        os.remove(os.path.join(folder, "images", image))
        if data is not None:
            with open(os.path.join(folder, "images", image), "wb") as f:
                f.write(data)
    game = session.start_game(args.game, folder, name)
    expected = session.render(args.frame_tool, folder)
    win = session.window(game)
    session.expect_frame(game, win, expected, f"hostile-{name}")
    session.hold_key(win, game, "Escape")
    game.check_output(0, warned)
    session.gone(game)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("game", type=os.path.abspath)
    parser.add_argument("frame_tool", type=os.path.abspath)
    parser.add_argument("--out-dir", default=".", help="where a wrong frame is kept")
    args = parser.parse_args()

    def body(session):
        session.start_xvfb()
        with open(os.path.join("images", "TK-2.bmp"), "rb") as tank:
            broken = broken_files(tank.read())
        one_start(session, args, "broken", broken, list(broken))
        one_start(session, args, "odd", odd_files(), [])

    return xgame.run(body, args.out_dir)


if __name__ == "__main__":
    sys.exit(main())
