#!/usr/bin/python3
"""Plays the built game in a real X window, as a player would, on a private Xvfb server.

Cases:
  window       - the window appears titled "Tumult 2D" at 800x600, survives the window
                 manager's close request, shows the sky picture, the green land and the
                 four tanks, and a held Escape ends the game with exit code 0 and nothing
                 printed.
  failed-start - with a video driver SDL does not have, the game exits 1 and says why in
                 one line on stderr.

Usage: real_window_test.py GAME_BINARY [--case window|failed-start|all]
                           [--screenshot PATH] [--out-dir DIR]

The screenshot is always written to OUT_DIR/real_window.png (OUT_DIR defaults to the current
directory) and also to PATH or to $TUMULT_SCREENSHOT when either is given.

Runs under Debian's /usr/bin/python3, which has python3-xlib. Every process it starts is
ended by its own pid: when a check fails, on SIGTERM, SIGINT or SIGHUP, and, should the test
itself be killed outright, by the kernel's parent-death signal.
"""

import argparse
import array
import ctypes
import os
import select
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

from Xlib import X, XK, display, error, protocol
from Xlib.ext import xtest

WINDOW_TITLE = "Tumult 2D"
WINDOW_SIZE = (800, 600)
LAND_COLOUR = 0x229900  # (34, 153, 0)
MIN_LAND_SHARE = 0.10
# The game reads its keys once per 33 ms frame and a press and release read in the same
# frame cancel out, so Escape is held for several frames.
ESCAPE_HOLD_SECONDS = 0.25
# The sky picture the game draws first in every frame, and the rows of it that nothing can
# cover: the land reaches at most 500 pixels above the bottom row and a tank's sprite stands
# at most 20 rows above the land, so rows 0 to 78 are the picture itself.
SKY_PICTURE = os.path.join("images", "DesertEclipse.bmp")
SKY_ONLY_ROWS = 79
# Each tank's turret is drawn in its colour, and its sprite is shaded from the same colour.
TANK_COLOURS = (0x008442, 0xE74218, 0x8400FF, 0xFFFF84)
MIN_TANK_PIXELS = 20
# The whole run fails by itself after this long, well inside ctest's TIMEOUT (60 s): ctest
# ends a test that overruns with SIGKILL, which leaves no chance to clean up.
TEST_BUDGET_SECONDS = 40

_libc = ctypes.CDLL("libc.so.6", use_errno=True)
_PR_SET_PDEATHSIG = 1


class CheckFailed(Exception):
    """A check about the game's behaviour did not hold; the message says which."""


def _end_with_this_test():
    # Runs in the child between fork and exec: should this test be killed outright (SIGKILL
    # leaves no `finally`), the kernel sends the child SIGTERM rather than orphaning it.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)


class Processes:
    """The processes this test started, each ended by its own pid on the way out."""

    def __init__(self):
        self._started = []

    def start(self, args, **kwargs):
        proc = subprocess.Popen(args, preexec_fn=_end_with_this_test, **kwargs)
        self._started.append(proc)
        return proc

    def end_all(self):
        # Newest first: the game goes before the X server it draws on.
        while self._started:
            proc = self._started.pop()
            if proc.poll() is not None:
                continue
            try:
                proc.terminate()
                proc.wait(timeout=3)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait(timeout=3)
            except ProcessLookupError:
                pass


def fail_on_overrun(_signum, _frame):
    raise CheckFailed(f"the test took longer than {TEST_BUDGET_SECONDS} s")


def raise_on_signal(signum, _frame):
    # Turns a termination signal into an exception so that every `finally` runs and the
    # started processes are ended rather than left behind.
    raise SystemExit(f"real_window_test: stopped by signal {signum}")


def wait_until(deadline_seconds, what, probe, interval=0.05):
    """Calls probe until it returns something truthy, failing with `what` at the deadline."""
    deadline = time.monotonic() + deadline_seconds
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise CheckFailed(f"timed out after {deadline_seconds:g} s waiting for {what}")
        time.sleep(interval)


def start_xvfb(processes, workdir):
    """Starts Xvfb on a display it picks itself; returns the display name once it answers."""
    log_path = os.path.join(workdir, "xvfb.log")
    read_end, write_end = os.pipe()
    try:
        with open(log_path, "wb") as log:
            processes.start(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        os.close(write_end)
        write_end = -1
        # Xvfb writes the display number and a newline once it is listening, and closes its
        # end of the pipe if it gives up.
        number = b""
        deadline = time.monotonic() + 10
        while not number.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            ready = remaining > 0 and select.select([read_end], [], [], remaining)[0]
            chunk = os.read(read_end, 64) if ready else b""
            if not chunk:
                raise CheckFailed("Xvfb did not report a display number; its output:\n"
                                  + read_text(log_path))
            number += chunk
    finally:
        os.close(read_end)
        if write_end >= 0:
            os.close(write_end)
    name = ":" + number.decode().strip()

    def connects():
        try:
            display.Display(name).close()
            return True
        except Exception:  # noqa: BLE001 - any failure to connect means "not yet"
            return False

    wait_until(5, f"Xvfb on {name} to accept connections", connects)
    return name


def window_title(dpy, win):
    try:
        for atom_name in ("_NET_WM_NAME", "WM_NAME"):
            atom = dpy.intern_atom(atom_name)
            prop = win.get_full_property(atom, X.AnyPropertyType)
            if prop is not None and prop.value:
                value = prop.value
                return value.decode(errors="replace") if isinstance(value, bytes) else value
    except error.XError:
        pass  # the window went away while we looked
    return None


def find_window(dpy, title):
    """The first window (depth first from the root) whose title is `title`, or None."""
    pending = [dpy.screen().root]
    while pending:
        win = pending.pop()
        if window_title(dpy, win) == title:
            return win
        try:
            pending.extend(reversed(win.query_tree().children))
        except error.XError:
            pass
    return None


def advertised_protocols(dpy, win):
    prop = win.get_full_property(dpy.intern_atom("WM_PROTOCOLS"), X.AnyPropertyType)
    return [] if prop is None else list(prop.value)


def send_close_request(dpy, win):
    """What a window manager sends when the player clicks the window's close button."""
    wm_protocols = dpy.intern_atom("WM_PROTOCOLS")
    wm_delete = dpy.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(
        window=win, client_type=wm_protocols,
        data=(32, [wm_delete, X.CurrentTime, 0, 0, 0]))
    # An empty event mask delivers the event to the client that made the window.
    win.send_event(event, event_mask=X.NoEventMask, propagate=False)
    dpy.sync()


class Frame:
    """One picture of the window: width, height and one 0xRRGGBB int per pixel, row by row."""

    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels

    def count(self, colour):
        return self.pixels.count(colour)

    def rgb_bytes(self):
        packed = self.pixels.tobytes()  # B, G, R, 0 per pixel on a little-endian machine
        rgb = bytearray(len(self.pixels) * 3)
        rgb[0::3] = packed[2::4]
        rgb[1::3] = packed[1::4]
        rgb[2::3] = packed[0::4]
        return bytes(rgb)


def grab_frame(dpy, win):
    """The window's current picture, as the X server shows it."""
    geometry = win.get_geometry()
    width, height = geometry.width, geometry.height
    image = win.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF)
    data = bytearray(image.data)
    if image.depth != 24 or len(data) != width * height * 4:
        raise CheckFailed(f"unexpected window image format: depth {image.depth}, "
                          f"{len(data)} bytes for {width}x{height}")
    if dpy.display.info.image_byte_order != X.LSBFirst or sys.byteorder != "little":
        raise CheckFailed("pixels are not least significant byte first; not handled")
    # Each pixel arrives as B, G, R and a byte that depth 24 leaves undefined.
    data[3::4] = bytes(width * height)
    return Frame(width, height, array.array("I", bytes(data)))


def write_png(path, frame):
    """Writes the frame as an 8-bit RGB PNG file (no imaging library needed)."""
    def chunk(kind, payload):
        body = kind + payload
        return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body))

    rgb = frame.rgb_bytes()
    stride = frame.width * 3
    raw = b"".join(b"\x00" + rgb[y * stride:(y + 1) * stride] for y in range(frame.height))
    header = struct.pack(">IIBBBBB", frame.width, frame.height, 8, 2, 0, 0, 0)
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                  + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def read_bmp24(path):
    """The pixels of an uncompressed 24-bit BMP as a Frame (rows top to bottom)."""
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits != 24 or compression != 0:
        raise CheckFailed(f"{path}: expected an uncompressed 24-bit BMP")
    stride = (width * 3 + 3) & ~3
    pixels = array.array("I", bytes(4 * width * abs(height)))
    for y in range(abs(height)):
        row = offset + stride * (abs(height) - 1 - y if height > 0 else y)
        for x in range(width):
            b, g, r = data[row + 3 * x:row + 3 * x + 3]
            pixels[y * width + x] = r << 16 | g << 8 | b
    return Frame(width, abs(height), pixels)


def frame_problems(frame, sky):
    """Everything wrong with one frame of the game, as a list of sentences (empty if fine).

    Takes the plain pixels so that more checks about what a frame must show can be added
    here without touching how the frame is captured.
    """
    problems = []
    if (frame.width, frame.height) != WINDOW_SIZE:
        problems.append(f"frame is {frame.width}x{frame.height}, "
                        f"expected {WINDOW_SIZE[0]}x{WINDOW_SIZE[1]}")
    total = frame.width * frame.height
    if total == 0:
        return problems + ["frame is empty"]

    land = frame.count(LAND_COLOUR)
    if land <= MIN_LAND_SHARE * total:
        problems.append(f"land green #{LAND_COLOUR:06x} covers {land} of {total} pixels "
                        f"({100.0 * land / total:.1f}%), expected more than "
                        f"{100 * MIN_LAND_SHARE:.0f}%")

    first = frame.pixels[0]
    if frame.count(first) == total:
        problems.append(f"the whole frame is one colour #{first:06x}")

    top = SKY_ONLY_ROWS * frame.width
    if sky.width != frame.width or frame.pixels[:top] != sky.pixels[:top]:
        problems.append(f"the top {SKY_ONLY_ROWS} rows are not the sky picture {SKY_PICTURE}")

    # Pixels of a tank's colour where the sky picture has another colour: the tank's own.
    for colour in TANK_COLOURS:
        shown = sum(1 for pixel, behind in zip(frame.pixels, sky.pixels)
                    if pixel == colour and behind != colour)
        if shown < MIN_TANK_PIXELS:
            problems.append(f"the tank of colour #{colour:06x} shows {shown} pixels, "
                            f"expected at least {MIN_TANK_PIXELS}")
    return problems


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode(errors="replace")


def unexpected_lines(text):
    return [line for line in text.splitlines() if line.strip()]


def game_environment(display_name):
    env = dict(os.environ)
    env.pop("SDL_VIDEODRIVER", None)
    env["DISPLAY"] = display_name
    return env


def case_window(binary, screenshots, processes, workdir, cwd=None, sky_picture=SKY_PICTURE):
    """The window case; `cwd` is where the game starts, `sky_picture` the sky it must show."""
    display_name = start_xvfb(processes, workdir)
    print(f"Xvfb is up on {display_name}")
    dpy = display.Display(display_name)
    try:
        out_path = os.path.join(workdir, "game.stdout")
        err_path = os.path.join(workdir, "game.stderr")
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            game = processes.start([binary], env=game_environment(display_name), cwd=cwd,
                                   stdin=subprocess.DEVNULL, stdout=out, stderr=err)

        def window_or_exit():
            if game.poll() is not None:
                raise CheckFailed(f"the game exited with {game.returncode} before showing "
                                  f"its window; stderr:\n{read_text(err_path)}")
            return find_window(dpy, WINDOW_TITLE)

        win = wait_until(10, f'a window titled "{WINDOW_TITLE}"', window_or_exit, 0.1)
        geometry = win.get_geometry()
        size = (geometry.width, geometry.height)
        if size != WINDOW_SIZE:
            raise CheckFailed(f"window is {size[0]}x{size[1]}, expected 800x600")
        print(f"found window 0x{win.id:x}, {size[0]}x{size[1]}")

        # The close request only tests something if the game asked to be sent it.
        wm_delete = dpy.intern_atom("WM_DELETE_WINDOW")
        if wm_delete not in advertised_protocols(dpy, win):
            raise CheckFailed("the window does not take WM_DELETE_WINDOW close requests")
        send_close_request(dpy, win)
        time.sleep(1.0)
        if game.poll() is not None:
            raise CheckFailed(f"the game exited with {game.returncode} after the window "
                              f"manager's close request; it should ignore it")
        if find_window(dpy, WINDOW_TITLE) is None:
            raise CheckFailed("the window went away after the close request")
        print("close request ignored: game and window still there")

        # The first frames may not be on screen yet; wait for one that looks right.
        latest = {}
        sky = read_bmp24(sky_picture)

        def good_frame():
            latest["frame"] = grab_frame(dpy, win)
            return not frame_problems(latest["frame"], sky)

        try:
            wait_until(5, "a frame showing the battlefield", good_frame, 0.1)
        except CheckFailed:
            if "frame" not in latest:
                raise
            raise CheckFailed("the window never showed a good frame:\n  "
                              + "\n  ".join(frame_problems(latest["frame"], sky)))
        finally:
            if "frame" in latest:
                for path in screenshots:
                    write_png(path, latest["frame"])
                    print(f"screenshot: {path}")
        print("frame shows the sky picture, the land and the four tanks")

        # Hold Escape the way a player would, on the focused game window.
        win.set_input_focus(X.RevertToParent, X.CurrentTime)
        escape = dpy.keysym_to_keycode(XK.string_to_keysym("Escape"))
        xtest.fake_input(dpy, X.KeyPress, escape)
        dpy.sync()
        time.sleep(ESCAPE_HOLD_SECONDS)
        xtest.fake_input(dpy, X.KeyRelease, escape)
        dpy.sync()
        try:
            code = game.wait(timeout=5)
        except subprocess.TimeoutExpired:
            raise CheckFailed("the game was still running 5 s after Escape was held")
        stdout, stderr = read_text(out_path), read_text(err_path)
        if code != 0:
            raise CheckFailed(f"the game exited with {code} after Escape, expected 0; "
                              f"stderr:\n{stderr}")
        if stdout.strip():
            raise CheckFailed(f"the game printed on stdout:\n{stdout}")
        extra = unexpected_lines(stderr)
        if extra:
            raise CheckFailed("the game printed on stderr:\n" + "\n".join(extra))
        for line in stderr.splitlines():
            print(f"note: {line}")
        print("Escape ended the game with exit code 0 and nothing printed")
    finally:
        dpy.close()


def case_failed_start(binary, processes, workdir):
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env["SDL_VIDEODRIVER"] = "nosuchdriver"
    err_path = os.path.join(workdir, "failed.stderr")
    out_path = os.path.join(workdir, "failed.stdout")
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        game = processes.start([binary], env=env, stdin=subprocess.DEVNULL, stdout=out,
                               stderr=err)
    try:
        code = game.wait(timeout=5)
    except subprocess.TimeoutExpired:
        raise CheckFailed("with no usable video driver the game was still running after 5 s")
    stderr = read_text(err_path)
    if code != 1:
        raise CheckFailed(f"with no usable video driver the game exited with {code}, "
                          f"expected 1; stderr:\n{stderr}")
    lines = stderr.splitlines()
    if len(lines) != 1 or not lines[0].startswith("tumult2d:"):
        raise CheckFailed("expected one stderr line beginning with 'tumult2d:', got:\n"
                          + stderr)
    if read_text(out_path).strip():
        raise CheckFailed("the failed start printed on stdout:\n" + read_text(out_path))
    print(f"failed start says: {lines[0]}")


def run_guarded(prefix, budget_seconds, body):
    """Runs body(processes, workdir) in a new temporary folder within the time budget. Every
    process registered in processes is ended afterwards, even when a check fails or a signal
    arrives, and a second signal cannot cut that short. Returns the CheckFailed raised, or None."""
    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, raise_on_signal)
    signal.signal(signal.SIGALRM, fail_on_overrun)
    signal.alarm(budget_seconds)
    processes = Processes()
    try:
        with tempfile.TemporaryDirectory(prefix=prefix) as workdir:
            try:
                body(processes, workdir)
            finally:
                signal.alarm(0)
                for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
                    signal.signal(signum, signal.SIG_IGN)
                processes.end_all()
    except CheckFailed as failure:
        return failure
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("binary", help="the built tumult2d executable")
    parser.add_argument("--case", choices=("window", "failed-start", "all"), default="all")
    parser.add_argument("--screenshot", default=os.environ.get("TUMULT_SCREENSHOT"),
                        help="also write the screenshot here (default: $TUMULT_SCREENSHOT)")
    parser.add_argument("--out-dir", default=".", help="where real_window.png always goes")
    args = parser.parse_args()

    binary = os.path.abspath(args.binary)
    screenshots = [os.path.join(os.path.abspath(args.out_dir), "real_window.png")]
    if args.screenshot:
        screenshots.append(os.path.abspath(args.screenshot))

    def run_cases(processes, workdir):
        if args.case in ("failed-start", "all"):
            case_failed_start(binary, processes, workdir)
        if args.case in ("window", "all"):
            case_window(binary, screenshots, processes, workdir)

    started = time.monotonic()
    failure = run_guarded("tumult2d-window-", TEST_BUDGET_SECONDS, run_cases)
    if failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    print(f"PASSED ({args.case}) in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
