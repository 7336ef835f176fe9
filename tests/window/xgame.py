"""The built game in a real X window on a private Xvfb server, for the window and install tests.

A Session ends every process it started by its own pid, newest first, when the test body
returns, fails, overruns its budget or receives SIGTERM, SIGINT or SIGHUP; should the test
itself be killed outright, the kernel's parent-death signal ends them. The game starts with
its clock pinned by libfaketime, so every start knows its battle, and tumult2d_frame renders
the frame that battle must show. Runs under Debian's /usr/bin/python3 (python3-xlib).
"""

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

from Xlib import X, XK, display, error
from Xlib.ext import xtest

WINDOW_TITLE = "Tumult 2D"
WINDOW_SIZE = (800, 600)
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
SEED = 493
WARNING = 'tumult2d: warning: cannot load image "images/{}"'

_libc = ctypes.CDLL("libc.so.6", use_errno=True)
_PR_SET_PDEATHSIG = 1
_STOP_SIGNALS = (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)


class CheckFailed(Exception):
    """A check about the game's behaviour did not hold; the message says which."""


def wait_until(seconds, what, probe, interval=0.05):
    """Calls probe until it returns something truthy, failing with `what` at the deadline. An
    X error (the window went or changed under us) means only "not ready yet"."""
    deadline = time.monotonic() + seconds
    last_error = None
    while True:
        try:
            result = probe()
            if result:
                return result
        except (error.XError, error.ConnectionClosedError) as x_error:
            last_error = x_error
        if time.monotonic() >= deadline:
            said = f" (last X error: {last_error})" if last_error else ""
            raise CheckFailed(f"timed out after {seconds:g} s waiting for {what}{said}")
        time.sleep(interval)


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode(errors="replace")


def read_png(path):
    """The RGB bytes of an 8-bit RGBA PNG without row filters, as tumult2d_frame writes them."""
    with open(path, "rb") as f:
        data = f.read()
    width, height, depth, kind = struct.unpack_from(">IIBB", data, 16)
    idat, at = b"", 8
    while at < len(data):
        length, = struct.unpack_from(">I", data, at)
        if data[at + 4:at + 8] == b"IDAT":
            idat += data[at + 8:at + 8 + length]
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = 4 * width + 1
    if (depth, kind) != (8, 6) or any(raw[y * stride] for y in range(height)):
        raise CheckFailed(f"{path}: not an unfiltered 8-bit RGBA PNG")
    rgba = b"".join(raw[y * stride + 1:(y + 1) * stride] for y in range(height))
    rgb = bytearray(width * height * 3)
    for channel in range(3):
        rgb[channel::3] = rgba[channel::4]
    return (width, height), bytes(rgb)


def write_png(path, size, rgb):
    """Writes RGB bytes as an 8-bit RGB PNG file."""
    def chunk(kind, payload):
        body = kind + payload
        return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body))

    width, height = size
    raw = b"".join(b"\0" + rgb[y * width * 3:(y + 1) * width * 3] for y in range(height))
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height,
                                                                      8, 2, 0, 0, 0))
                  + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def window_title(dpy, win):
    for name in ("_NET_WM_NAME", "WM_NAME"):
        prop = win.get_full_property(dpy.intern_atom(name), X.AnyPropertyType)
        if prop is not None and prop.value:
            value = prop.value
            return value.decode(errors="replace") if isinstance(value, bytes) else value
    return None


def find_window(dpy):
    """The first window titled "Tumult 2D", depth first from the root, or None."""
    pending = [dpy.screen().root]
    while pending:
        win = pending.pop()
        if window_title(dpy, win) == WINDOW_TITLE:
            return win
        pending.extend(reversed(win.query_tree().children))
    return None


def grab(win, size=WINDOW_SIZE, at=(0, 0)):
    """The RGB bytes the X server shows in a part of the window."""
    image = win.get_image(at[0], at[1], size[0], size[1], X.ZPixmap, 0xFFFFFFFF)
    if image.depth != 24 or len(image.data) != size[0] * size[1] * 4:
        raise CheckFailed(f"unexpected window image: depth {image.depth}, "
                          f"{len(image.data)} bytes for {size[0]}x{size[1]}")
    rgb = bytearray(size[0] * size[1] * 3)
    for channel in range(3):  # B, G, R and an undefined byte per pixel
        rgb[channel::3] = image.data[2 - channel::4]
    return bytes(rgb)


def differences(got, expected):
    """How two RGB frames of the window's size differ, in one sentence."""
    width = WINDOW_SIZE[0]
    wrong = [i // 3 for i in range(0, len(expected), 3) if got[i:i + 3] != expected[i:i + 3]]
    xs, ys = [i % width for i in wrong], [i // width for i in wrong]
    return (f"{len(wrong)} pixels differ, within x {min(xs)}..{max(xs)}, "
            f"y {min(ys)}..{max(ys)}") if wrong else "no pixel differs"


class Game:
    """One start of the game: its process, where its output goes, and its window."""

    def __init__(self, proc, out_path, err_path):
        self.proc, self.out_path, self.err_path = proc, out_path, err_path

    def running(self):
        if self.proc.poll() is not None:
            raise CheckFailed(f"the game exited with {self.proc.returncode}; stderr:\n"
                              + read_text(self.err_path))
        return True

    def wait_exit(self, seconds, what):
        try:
            return self.proc.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise CheckFailed(f"the game was still running {seconds} s after {what}") from None

    def check_output(self, code, warnings=()):
        """The exit code, nothing on stdout, and on stderr one warning per image in
        `warnings`, in load order, and nothing else (a sanitizer report would show here)."""
        stderr = [line for line in read_text(self.err_path).splitlines() if line.strip()]
        expected = [WARNING.format(name) for name in warnings]
        if (self.proc.returncode != code or read_text(self.out_path).strip()
                or len(stderr) != len(expected)
                or not all(line.startswith(w + ":") for line, w in zip(stderr, expected))):
            raise CheckFailed(f"exit code {self.proc.returncode}, expected {code}; expected "
                              f"{len(expected)} warnings {list(warnings)}; stdout:\n"
                              f"{read_text(self.out_path)}stderr:\n" + "\n".join(stderr))


class Session:
    """A temporary folder, the processes started in it, a private Xvfb and a time budget."""

    def __init__(self, prefix, budget_seconds, out_dir="."):
        self.prefix, self.budget, self.out_dir = prefix, budget_seconds, os.path.abspath(out_dir)
        self.started, self.dpy, self.display_name, self.workdir = [], None, None, None

    def start(self, args, **kwargs):
        # Between fork and exec: should this test die outright (SIGKILL leaves no `finally`),
        # the kernel sends the child SIGTERM rather than orphaning it.
        proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, **kwargs,
                                preexec_fn=lambda: _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM))
        self.started.append(proc)
        return proc

    def end_all(self):
        while self.started:  # newest first: the game goes before the X server it draws on
            proc = self.started.pop()
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=3)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()

    def start_xvfb(self):
        """A 24-bit Xvfb on a display number it picks itself (-displayfd), connected."""
        log = os.path.join(self.workdir, "xvfb.log")
        read_end, write_end = os.pipe()
        with open(log, "wb") as out:
            self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                        "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), stdout=out,
                       stderr=out)
        os.close(write_end)
        number, deadline = b"", time.monotonic() + 15
        try:  # Xvfb writes the number and a newline once it listens, or closes the pipe
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                chunk = os.read(read_end, 16) if left > 0 and select.select(
                    [read_end], [], [], left)[0] else b""
                if not chunk:
                    raise CheckFailed("Xvfb reported no display number:\n" + read_text(log))
                number += chunk
        finally:
            os.close(read_end)
        self.display_name = ":" + number.decode().strip()
        self.dpy = display.Display(self.display_name)

    def start_game(self, binary, cwd, name="game", seed=SEED):
        """Starts the game (or its launcher) in `cwd` on this session's X server with its clock
        pinned to a millisecond of `seed`, which seeds the battle."""
        env = dict(os.environ, DISPLAY=self.display_name, LD_PRELOAD=FAKETIME, TZ="UTC",
                   FAKETIME=f"2024-03-05 12:34:56.{seed:03d}5", FAKETIME_DONT_FAKE_MONOTONIC="1",
                   ASAN_OPTIONS=":".join(filter(None, [os.environ.get("ASAN_OPTIONS"),
                                                       "verify_asan_link_order=0"])))
        env.pop("SDL_VIDEODRIVER", None)
        out_path, err_path = (os.path.join(self.workdir, name + kind) for kind in (".out", ".err"))
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            proc = self.start([binary], cwd=cwd, env=env, stdout=out, stderr=err)
        return Game(proc, out_path, err_path)

    def render(self, tool, cwd, seed=SEED):
        """The frame battle `seed` shows with the images under `cwd`, rendered headless."""
        path = os.path.join(self.workdir, f"expected-{seed}.png")
        result = subprocess.run([tool, str(seed), path], cwd=cwd, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, check=False)
        if result.returncode != 0:
            raise CheckFailed("tumult2d_frame failed:\n" + result.stdout.decode(errors="replace"))
        size, rgb = read_png(path)
        if size != WINDOW_SIZE:
            raise CheckFailed(f"tumult2d_frame rendered {size}, expected {WINDOW_SIZE}")
        return rgb

    def window(self, game):
        """The game's window once it is viewable at 800x600."""
        def viewable():
            game.running()
            win = find_window(self.dpy)
            geometry = win and win.get_geometry()
            return (win if win and win.get_attributes().map_state == X.IsViewable
                    and (geometry.width, geometry.height) == WINDOW_SIZE else None)
        return wait_until(15, "a viewable 800x600 window titled \"Tumult 2D\"", viewable)

    def expect_frame(self, game, win, expected, name):
        """Waits until the window shows exactly `expected`; on failure keeps both pictures."""
        latest = []

        def shows_it():
            game.running()
            latest[:] = [grab(win)]
            return latest[0] == expected

        try:
            wait_until(15, "the window to show the expected frame", shows_it, 0.1)
        except CheckFailed as failure:
            if not latest:
                raise
            for kind, rgb in (("shown", latest[0]), ("expected", expected)):
                write_png(os.path.join(self.out_dir, f"{name}-{kind}.png"), WINDOW_SIZE, rgb)
            raise CheckFailed(f"{failure}: {differences(latest[0], expected)}; see "
                              f"{self.out_dir}/{name}-shown.png and -expected.png") from None

    def next_frames(self, game, win, expected, count=2):
        """Returns once the game has drawn `count` more frames: each time, paints over the
        top-left pixel and waits for the game's next frame to cover it. The game reads its
        events at the start of a pass, so two frames mean that it has read all it was sent."""
        gc = win.create_gc(foreground=int.from_bytes(expected[:3], "big") ^ 0xFFFFFF,
                           subwindow_mode=X.IncludeInferiors)
        for _ in range(count):
            win.fill_rectangle(gc, 0, 0, 1, 1)
            self.dpy.sync()
            wait_until(10, "the game to draw its next frame",
                       lambda: game.running() and grab(win, (1, 1)) == expected[:3])
        gc.free()

    def hold_key(self, win, game, name):
        """Holds a key down on the focused window until the game exits, then lets it go: the
        game reads its keys once per frame, and a press and release read together cancel."""
        win.set_input_focus(X.RevertToParent, X.CurrentTime)
        key = self.dpy.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(self.dpy, X.KeyPress, key)
        self.dpy.sync()
        try:
            game.wait_exit(10, f"{name} was held")
        finally:
            xtest.fake_input(self.dpy, X.KeyRelease, key)
            self.dpy.sync()

    def gone(self, game):
        """Waits until the ended game's window has gone, so the next start finds its own."""
        game.wait_exit(10, "it was asked to end")
        wait_until(10, "the ended game's window to go", lambda: find_window(self.dpy) is None)


def run(prefix, budget_seconds, body, out_dir="."):
    """Runs body(session) within the budget, then ends every process it started, even when a
    check fails or a signal arrives; a second signal cannot cut that short. Returns the exit
    status of the test and says PASSED or FAILED."""
    def stop(signum, _frame):
        raise SystemExit(f"{prefix}: stopped by signal {signum}")

    def overrun(_signum, _frame):
        raise CheckFailed(f"the test took longer than {budget_seconds} s")

    for signum in _STOP_SIGNALS:
        signal.signal(signum, stop)
    signal.signal(signal.SIGALRM, overrun)
    signal.alarm(budget_seconds)
    session, began = Session(prefix, budget_seconds, out_dir), time.monotonic()
    try:
        with tempfile.TemporaryDirectory(prefix=prefix) as session.workdir:
            try:
                body(session)
            finally:
                signal.alarm(0)
                for signum in _STOP_SIGNALS:
                    signal.signal(signum, signal.SIG_IGN)
                if session.dpy:
                    session.dpy.close()
                session.end_all()
    except (CheckFailed, error.XError) as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    print(f"PASSED in {time.monotonic() - began:.1f} s")
    return 0
