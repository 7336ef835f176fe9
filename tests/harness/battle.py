"""A battle pinned from outside (its clock), the frame it must show, and hostile images."""

import calendar
import os
import pathlib
import shutil
import time

from harness import process

TITLE, SIZE, SEED = "Tumult 2D", (800, 600), 493
# Battle N starts N milliseconds into this second, UTC.
EPOCH = "2024-03-05 12:34:56"
EPOCH_MS = calendar.timegm(time.strptime(EPOCH, "%Y-%m-%d %H:%M:%S")) * 1000
# The libfaketime that cmake/TestTools.cmake found for this machine's architecture.
FAKETIME = os.environ.get("TUMULT_FAKETIME", "libfaketime.so.1")
SEEDS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus", "images")
PIPE = "a named pipe"  # opening it to read would wait for a writer that never comes
FOLDER = "a folder"


def pinned_environment(seed=SEED):
    """Millisecond `seed` and a half, not to be read one low; NO_FAKE_STAT: libfaketime's stat()
    takes a semaphore that it has closed when LeakSanitizer reads files at exit."""
    return dict(os.environ, LD_PRELOAD=FAKETIME, TZ="UTC", NO_FAKE_STAT="1",
                FAKETIME=f"{EPOCH}.{seed:03}5", FAKETIME_DONT_FAKE_MONOTONIC="1",
                ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")


# A page's clock, pinned to the battle its address names (?battle=N); pinnedClock moves it on.
PAGE_CLOCK = f"window.pinnedClock = {EPOCH_MS} + Number(new URLSearchParams(location.search)" \
    ".get('battle')); Date.now = () => window.pinnedClock;"


def render(session, tool, cwd, seed=SEED):
    """The RGB bytes of battle `seed`'s frame with the images under `cwd`."""
    path = os.path.join(session.workdir, "expected.ppm")
    session.run([os.path.abspath(tool), str(seed), path], cwd=cwd)
    return pathlib.Path(path).read_bytes().removeprefix(b"P6\n800 600\n255\n")


def wait_for_frame(expected, where, grab_frame, not_yet=()):
    def differs(shown, pixels=range(0, len(expected), 3)):
        return f": {sum((shown or b'')[i:i + 3] != expected[i:i + 3] for i in pixels)} pixels off"

    process.wait_for(30, f"the expected frame {where}", grab_frame, expected, not_yet, differs)


def hostile_images():
    """name -> bytes, PIPE or None (deleted): none loads, each for its own reason; then each
    loads, none in the format the game ships."""
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
    """A copy of images/ with `files` (from hostile_images, or FOLDER) put in place."""
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
