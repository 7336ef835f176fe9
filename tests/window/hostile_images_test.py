#!/usr/bin/python3
"""Starts the built game in a real X window with one of its images replaced by a hostile file.

Each of the given images is replaced in turn by each kind of file: missing, empty, a BMP cut
in half, a PNG named .bmp, a BMP whose header claims 30000x30000, a 1x1 picture, an 8-bit
palette picture, a 16-bit picture, and a picture larger than the screen. For every start the
window must appear and show what could be drawn (the land; the plain sky colour when the
background failed, the replacement picture when it loaded; every tank's turret, and the
replacement sprite when it loaded), a held Escape must end the game with exit code 0, and
stderr must hold one warning for a file that cannot load and nothing else (so no sanitizer
report either).

Usage: hostile_images_test.py GAME_BINARY --images NAME[,NAME...] [--out-dir DIR]
                              [--screenshots]

The game runs in a temporary folder with its own copy of images/; the repository's images are
never touched. A failed start leaves its screenshot in OUT_DIR/hostile-IMAGE-KIND.png.
"""

import argparse
import array
import os
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ beside the imported modules in the source tree
import real_window_test as rw  # noqa: E402
from Xlib import X, XK, display, error
from Xlib.ext import xtest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz"))
import bmp_files  # noqa: E402  (found through the path above)

BACKGROUND = "DesertEclipse.bmp"
TANKS = ("TK-1.bmp", "TK-2.bmp", "TK-3.bmp", "TK-4.bmp")
SKY_FILL = 0x0000EE
TURRET_PIXELS = 13  # the shortest turret: TurretLength 12, both ends drawn
# Replacement pictures use colours whose 5-bit channels widen back exactly: KEY is their
# top-left colour (transparent as a sprite), MARK the colour that must show.
KEY, MARK, OTHER = 0xF800F8, 0x08F8F8, 0xF8A000
MIN_MARK_PIXELS = 50
KINDS = ("missing", "empty", "truncated", "png", "huge-header", "one-pixel", "palette8",
         "bits16", "large")
LOADING_KINDS = ("one-pixel", "palette8", "bits16", "large")
BUDGET_SECONDS = 80  # ctest's TIMEOUT is 100


def small_picture():
    """24x16: KEY all round, a MARK band in rows 2-5 and an OTHER band in rows 10-13. Used as
    a sprite, row 8 (the turret's row) stays transparent, so the turret shows whole."""
    rows = [[KEY] * 24 for _ in range(16)]
    for y, colour in ((2, MARK), (3, MARK), (4, MARK), (5, MARK), (10, OTHER), (11, OTHER),
                      (12, OTHER), (13, OTHER)):
        rows[y][4:20] = [colour] * 16
    return rows


def large_file():
    """1600x1200 at 24 bits, mostly KEY: a MARK block near the top left that shows as the
    background, and a MARK patch centred just above the bottom that shows as a sprite (only
    its bottom 600 rows can reach the screen)."""
    width, height = 1600, 1200

    def row(*spans):
        pixels = bytearray(KEY.to_bytes(3, "little") * width)
        for start, end in spans:
            pixels[3 * start:3 * end] = MARK.to_bytes(3, "little") * (end - start)
        return bytes(pixels)

    plain, top, patch = row(), row((8, 200)), row((795, 806))
    rows = [top if 8 <= y < 100 else patch if 1184 <= y < 1190 else plain for y in range(height)]
    pixels = b"".join(reversed(rows))  # bottom row first; 4800-byte rows need no padding
    header = bmp_files.encode(1, 1, 24, [[0]])[:54]
    header = bytearray(header)
    header[2:6] = (54 + len(pixels)).to_bytes(4, "little")
    header[18:26] = width.to_bytes(4, "little") + height.to_bytes(4, "little")
    picture = {(x, y): MARK if 8 <= x < 200 and 8 <= y < 100 else KEY
               for y in range(rw.SKY_ONLY_ROWS) for x in range(800)}
    return bytes(header) + pixels, picture


def replacement(kind, original, workdir):
    """(bytes of the file or None for no file, {(x, y): colour} of the picture when it loads)."""
    small = small_picture()
    small_map = {(x, y): c for y, r in enumerate(small) for x, c in enumerate(r)}
    if kind == "missing":
        return None, None
    if kind == "empty":
        return b"", None
    if kind == "truncated":
        return original[:len(original) // 2], None
    if kind == "png":
        path = os.path.join(workdir, "picture.png")
        rw.write_png(path, rw.Frame(24, 16, array.array("I", [c for r in small for c in r])))
        with open(path, "rb") as f:
            return f.read(), None
    if kind == "huge-header":
        data = bytearray(bmp_files.encode(24, 16, 24, small))
        data[18:26] = (30000).to_bytes(4, "little") * 2
        return bytes(data), None
    if kind == "one-pixel":
        return bmp_files.encode(1, 1, 24, [[MARK]]), {(0, 0): MARK}
    if kind == "palette8":
        palette = [KEY, MARK, OTHER]
        return bmp_files.encode(24, 16, 8, [[palette.index(c) for c in r] for r in small],
                                palette), small_map
    if kind == "bits16":
        words = [[(c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31) for c in r]
                 for r in small]
        return bmp_files.encode(24, 16, 16, words), small_map
    return large_file()


def hold_escape(dpy, win):
    win.set_input_focus(X.RevertToParent, X.CurrentTime)
    escape = dpy.keysym_to_keycode(XK.string_to_keysym("Escape"))
    xtest.fake_input(dpy, X.KeyPress, escape)
    dpy.sync()
    time.sleep(rw.ESCAPE_HOLD_SECONDS)
    xtest.fake_input(dpy, X.KeyRelease, escape)
    dpy.sync()


def shown(frame, sky, colour):
    """Pixels of `colour` where the shipped sky picture has another colour."""
    return sum(1 for pixel, behind in zip(frame.pixels, sky.pixels)
               if pixel == colour and behind != colour)


def problems(frame, sky, image, picture):
    """What is wrong with the frame of a start with `image` replaced; `picture` is the
    replacement's pixels when it loaded, else None."""
    found = []
    land = frame.count(rw.LAND_COLOUR)
    if land <= rw.MIN_LAND_SHARE * frame.width * frame.height:
        found.append(f"land covers only {land} pixels")
    top = [(x, y) for y in range(rw.SKY_ONLY_ROWS) for x in range(frame.width)]
    if image == BACKGROUND:
        expected = {xy: (picture.get(xy) if picture else SKY_FILL) for xy in top}
        expected = {xy: c for xy, c in expected.items() if c is not None}
    else:
        expected = {xy: sky.pixels[xy[1] * sky.width + xy[0]] for xy in top}
    wrong = sum(1 for (x, y), c in expected.items() if frame.pixels[y * frame.width + x] != c)
    if wrong:
        found.append(f"{wrong} of the top {rw.SKY_ONLY_ROWS} rows' pixels are not the "
                     f"{'expected background' if image == BACKGROUND else 'sky picture'}")
    for name, colour in zip(TANKS, rw.TANK_COLOURS):
        least = TURRET_PIXELS if name == image else rw.MIN_TANK_PIXELS
        if shown(frame, sky, colour) < least:
            found.append(f"tank {name} shows {shown(frame, sky, colour)} pixels of "
                         f"#{colour:06x}, expected at least {least}")
    if image != BACKGROUND and picture and len(picture) > 1:
        if shown(frame, sky, MARK) < MIN_MARK_PIXELS:
            found.append(f"the replacement sprite shows {shown(frame, sky, MARK)} pixels of "
                         f"#{MARK:06x}, expected at least {MIN_MARK_PIXELS}")
    return found


def one_start(binary, dpy, display_name, processes, workdir, image, kind, out_dir, sky,
              keep_shots):
    """Runs the game once with `image` replaced by a file of `kind`; raises CheckFailed."""
    gamedir = os.path.join(workdir, f"{image}-{kind}")
    shutil.copytree("images", os.path.join(gamedir, "images"))
    target = os.path.join(gamedir, "images", image)
    with open(target, "rb") as f:
        data, picture = replacement(kind, f.read(), gamedir)
    os.remove(target)
    if data is not None:
        with open(target, "wb") as f:
            f.write(data)
    err_path = os.path.join(gamedir, "game.stderr")
    with open(err_path, "wb") as err:
        game = processes.start([binary], cwd=gamedir, env=rw.game_environment(display_name),
                               stdin=subprocess.DEVNULL, stdout=err, stderr=err)

    def window_or_exit():
        if game.poll() is not None:
            raise rw.CheckFailed(f"exited with {game.returncode} before its window showed:\n"
                                 + rw.read_text(err_path))
        return rw.find_window(dpy, rw.WINDOW_TITLE)

    win = rw.wait_until(10, "the game's window", window_or_exit, 0.05)
    latest = {}

    def good_frame():
        latest["frame"] = rw.grab_frame(dpy, win)
        return not problems(latest["frame"], sky, image, picture)

    try:
        rw.wait_until(5, "a frame showing what could be drawn", good_frame, 0.1)
    except rw.CheckFailed:
        if "frame" not in latest:
            raise
        rw.write_png(os.path.join(out_dir, f"hostile-{image}-{kind}.png"), latest["frame"])
        raise rw.CheckFailed("; ".join(problems(latest["frame"], sky, image, picture)))
    if keep_shots:
        rw.write_png(os.path.join(out_dir, f"hostile-{image}-{kind}.png"), latest["frame"])
    hold_escape(dpy, win)
    try:
        code = game.wait(timeout=5)
    except subprocess.TimeoutExpired:
        raise rw.CheckFailed("still running 5 s after Escape was held")
    # The next start looks for a window of the same title: let the server drop this one first.
    rw.wait_until(5, "the ended game's window to go away",
                  lambda: rw.find_window(dpy, rw.WINDOW_TITLE) is None)
    output = rw.unexpected_lines(rw.read_text(err_path))
    warning = f'tumult2d: warning: cannot load image "images/{image}"'
    wanted = 0 if kind in LOADING_KINDS else 1
    if code != 0 or len(output) != wanted or (wanted and not output[0].startswith(warning)):
        raise rw.CheckFailed(f"exit code {code}, expected 0, and {len(output)} lines of "
                             f"output, expected {wanted} warning:\n" + "\n".join(output))
    return output[0] if output else "no output"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("binary")
    parser.add_argument("--images", required=True, help="comma-separated image names")
    parser.add_argument("--out-dir", default=".")
    parser.add_argument("--screenshots", action="store_true",
                        help="keep the screenshot of every start, not only of failed ones")
    args = parser.parse_args()
    binary, out_dir = os.path.abspath(args.binary), os.path.abspath(args.out_dir)

    failures = []

    def start_each(servers, workdir):
        display_name = rw.start_xvfb(servers, workdir)
        dpy = display.Display(display_name)
        sky = rw.read_bmp24(rw.SKY_PICTURE)
        games = rw.Processes()
        for image in args.images.split(","):
            for kind in KINDS:
                try:
                    said = one_start(binary, dpy, display_name, games, workdir, image, kind,
                                     out_dir, sky, args.screenshots)
                    print(f"ok   {image:18} {kind:12} {said}")
                except (rw.CheckFailed, error.XError) as failure:
                    failures.append(f"{image} {kind}: {failure}")
                    print(f"FAIL {image:18} {kind:12} {failure}")
                finally:
                    games.end_all()  # before the server goes

    started = time.monotonic()
    failure = rw.run_guarded("tumult2d-hostile-", BUDGET_SECONDS, start_each)
    if failure:
        failures.append(str(failure))
    if failures:
        print("FAILED:\n  " + "\n  ".join(failures), file=sys.stderr)
        return 1
    print(f"PASSED ({args.images}) in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
