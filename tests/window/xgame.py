"""The built game in a real X window on a private Xvfb server, for the window and install tests.

Every process a test starts is ended by its own pid when the test ends, fails, overruns its
budget or gets SIGTERM, SIGINT or SIGHUP, and by the kernel's parent-death signal should the
test be killed outright. The game's clock is pinned with libfaketime, so every start knows
its battle, and tumult2d_frame renders the frame that battle must show.
"""

import ctypes
import os
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK, display, error
from Xlib.ext import xtest

TITLE, SIZE, SEED = "Tumult 2D", (800, 600), 493
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
_STOP_SIGNALS = (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)
_libc = ctypes.CDLL("libc.so.6")


class CheckFailed(Exception):
    """A check about the game's behaviour did not hold; the message says which."""


def wait_until(seconds, what, probe):
    """Calls probe until it returns something truthy. Within the deadline an X error (a window
    that went or changed while we looked) means only "not ready yet"."""
    deadline, last_error = time.monotonic() + seconds, ""
    while time.monotonic() < deadline:
        try:
            result = probe()
            if result:
                return result
        except error.XError as x_error:
            last_error = f" (last X error: {x_error})"
        time.sleep(0.05)
    raise CheckFailed(f"timed out after {seconds} s waiting for {what}{last_error}")


def read_ppm(path):
    with open(path, "rb") as f:
        header, rgb = f.read().split(b"\n255\n", 1)
    return tuple(int(n) for n in header.split()[1:]), rgb


def write_ppm(path, size, rgb):
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % size + rgb)


def find_window(dpy):
    """The top-level window titled "Tumult 2D", or None."""
    return next((w for w in dpy.screen().root.query_tree().children
                 if w.get_wm_name() == TITLE), None)


def grab(win, size=SIZE):
    """The RGB bytes the X server shows in the window from its top-left corner."""
    data = win.get_image(0, 0, size[0], size[1], X.ZPixmap, 0xFFFFFFFF).data
    rgb = bytearray(size[0] * size[1] * 3)
    for channel in range(3):  # B, G, R and an unused byte per pixel
        rgb[channel::3] = data[2 - channel::4]
    return bytes(rgb)


class Game:
    """One start of the game: its process and the files its output goes to."""

    def __init__(self, proc, out_path, err_path):
        self.proc, self.out_path, self.err_path = proc, out_path, err_path

    def output(self):
        with open(self.out_path, "rb") as out, open(self.err_path, "rb") as err:
            return out.read().decode(errors="replace"), err.read().decode(errors="replace")

    def running(self):
        if self.proc.poll() is not None:
            raise CheckFailed(f"the game exited with {self.proc.returncode}:\n{self.output()}")
        return True

    def wait_exit(self, what):
        try:
            return self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            raise CheckFailed(f"the game was still running 10 s after {what}") from None

    def check_output(self, code, warned=()):
        """The exit code, nothing on stdout, and on stderr a warning for each image in `warned`
        in load order and nothing else (a sanitizer report would show here)."""
        out, err = self.output()
        lines = err.splitlines()
        wanted = [f'tumult2d: warning: cannot load image "images/{name}": ' for name in warned]
        if (self.proc.returncode != code or out or len(lines) != len(wanted)
                or not all(map(str.startswith, lines, wanted))):
            raise CheckFailed(f"exit code {self.proc.returncode}, expected {code} and a warning "
                              f"for each of {list(warned)}; stdout:\n{out}stderr:\n{err}")


class Session:
    """A temporary folder, the processes started from it, and a private Xvfb."""

    def __init__(self, workdir, out_dir):
        self.workdir, self.out_dir, self.started, self.dpy = workdir, out_dir, [], None

    def start(self, args, **kwargs):
        # Between fork and exec: should this test die outright (SIGKILL leaves no `finally`),
        # the kernel sends the child SIGTERM.
        proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, **kwargs,
                                preexec_fn=lambda: _libc.prctl(1, signal.SIGTERM))
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
        """A 24-bit Xvfb on a free display, which it picks and reports on a pipe (-displayfd)
        once it listens; the pipe closes unwritten if it gives up."""
        read_end, write_end = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                    "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            number = pipe.readline()  # the number and the newline come in separate writes
        if not number.endswith(b"\n"):
            raise CheckFailed("Xvfb reported no display number")
        self.display = ":" + number.decode().strip()
        self.dpy = display.Display(self.display)

    def start_game(self, binary, cwd, name="game", seed=SEED):
        """Starts the game (or its launcher) in `cwd`, its clock pinned to a time whose
        millisecond is `seed`: half a millisecond more, so that it is not read one low."""
        env = dict(os.environ, DISPLAY=self.display, LD_PRELOAD=FAKETIME, TZ="UTC",
                   FAKETIME=f"2024-03-05 12:34:56.{seed:03}5", FAKETIME_DONT_FAKE_MONOTONIC="1",
                   ASAN_OPTIONS=":".join(filter(None, [os.environ.get("ASAN_OPTIONS"),
                                                       "verify_asan_link_order=0"])))
        env.pop("SDL_VIDEODRIVER", None)
        paths = [os.path.join(self.workdir, name + kind) for kind in (".out", ".err")]
        with open(paths[0], "wb") as out, open(paths[1], "wb") as err:
            return Game(self.start([binary], cwd=cwd, env=env, stdout=out, stderr=err), *paths)

    def render(self, tool, cwd, seed=SEED):
        """The frame of battle `seed` with the images under `cwd`, rendered without a window."""
        path = os.path.join(self.workdir, "expected.ppm")
        result = subprocess.run([tool, str(seed), path], cwd=cwd, capture_output=True, check=False)
        if result.returncode != 0:
            raise CheckFailed(f"tumult2d_frame failed: {result.stderr}")
        size, rgb = read_ppm(path)
        if size != SIZE:
            raise CheckFailed(f"tumult2d_frame rendered {size}")
        return rgb

    def window(self, game):
        """The game's window once it is viewable at 800x600."""
        def viewable():
            win = game.running() and find_window(self.dpy)
            geometry = win and win.get_geometry()
            return win if win and (geometry.width, geometry.height) == SIZE and \
                win.get_attributes().map_state == X.IsViewable else None
        return wait_until(15, f'a viewable 800x600 window titled "{TITLE}"', viewable)

    def expect_frame(self, game, win, expected, name):
        """Waits until the window shows exactly `expected`; keeps both pictures if it never does."""
        shown = []

        def shows_it():
            game.running()
            shown[:] = [grab(win)]
            return shown[0] == expected

        try:
            wait_until(15, "the expected frame", shows_it)
        except CheckFailed as failure:
            if not shown:
                raise
            wrong = sum(shown[0][i:i + 3] != expected[i:i + 3] for i in range(0, len(expected), 3))
            for kind, rgb in (("shown", shown[0]), ("expected", expected)):
                write_ppm(os.path.join(self.out_dir, f"{name}-{kind}.ppm"), SIZE, rgb)
            raise CheckFailed(f"{failure}: {wrong} pixels differ; see {name}-shown.ppm and "
                              f"{name}-expected.ppm in {self.out_dir}") from None

    def next_frames(self, game, win, expected):
        """Returns once the game has drawn two more frames: each time, paints over the top-left
        pixel and waits for a frame of the game to cover it. A frame comes after the reading of
        events that begins its pass, so by the second the game has read all it was sent."""
        gc = win.create_gc(foreground=int.from_bytes(expected[:3], "big") ^ 0xFFFFFF,
                           subwindow_mode=X.IncludeInferiors)
        for _ in range(2):
            win.fill_rectangle(gc, 0, 0, 1, 1)
            self.dpy.sync()
            wait_until(10, "a frame", lambda: game.running() and grab(win, (1, 1)) == expected[:3])
        gc.free()

    def hold_key(self, win, game, name):
        """Holds a key down on the focused window until the game exits: the game reads its
        keys once per frame, and a press and a release read together cancel out."""
        win.set_input_focus(X.RevertToParent, X.CurrentTime)
        key = self.dpy.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(self.dpy, X.KeyPress, key)
        self.dpy.sync()
        try:
            game.wait_exit(f"{name} was held")
        finally:
            xtest.fake_input(self.dpy, X.KeyRelease, key)
            self.dpy.sync()

    def gone(self, game):
        """Waits until the ended game's window has gone, so that the next start finds its own."""
        game.wait_exit("it was asked to end")
        wait_until(10, "the ended game's window to go", lambda: find_window(self.dpy) is None)


def run(body, out_dir, budget_seconds=45):
    """Runs body(session) within the budget (well inside ctest's TIMEOUT, which kills outright),
    then ends every process it started, even when a check fails or a signal arrives; a second
    signal cannot cut that short. Returns the test's exit status."""
    def stop(signum, _frame):
        raise CheckFailed(f"stopped by signal {signum}")

    def overrun(_signum, _frame):
        raise CheckFailed(f"the test took longer than {budget_seconds} s")

    for signum in _STOP_SIGNALS:
        signal.signal(signum, stop)
    signal.signal(signal.SIGALRM, overrun)
    signal.alarm(budget_seconds)
    began = time.monotonic()
    try:
        with tempfile.TemporaryDirectory(prefix="tumult2d-test-") as workdir:
            session = Session(workdir, os.path.abspath(out_dir))
            try:
                body(session)
            finally:
                signal.alarm(0)
                for signum in _STOP_SIGNALS:
                    signal.signal(signum, signal.SIG_IGN)
                session.end_all()
    except (CheckFailed, error.XError, error.ConnectionClosedError) as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    print(f"PASSED in {time.monotonic() - began:.1f} s")
    return 0
