"""The built game in a real X window on a private Xvfb, its clock pinned with libfaketime so that
tumult2d_frame can render the frame its battle must show. Every process started ends by pid."""

import ctypes
import os
import pathlib
import select
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK, display, error
from Xlib.ext import xtest

TITLE, SIZE, SEED = "Tumult 2D", (800, 600), 493


# The libfaketime that cmake/TestTools.cmake found for this machine's architecture.
FAKETIME = os.environ.get("TUMULT_FAKETIME", "libfaketime.so.1")
_libc = ctypes.CDLL("libc.so.6")
_deadline = [float("inf")]  # time.monotonic() when the run's budget is spent


def check_usage(arguments_fit, doc):
    """A script called with wrong arguments prints its usage (its doc string) and exits 2."""
    if not arguments_fit:
        print(doc.strip(), file=sys.stderr)
        sys.exit(2)


class CheckFailed(Exception):
    """A check about the game's behaviour did not hold; the message says which."""


def time_left(seconds):
    """How long a wait of up to `seconds` may take: never past the end of the run's budget."""
    return max(0.0, min(seconds, _deadline[0] - time.monotonic()))


def wait_until(seconds, what, probe):
    """Calls probe until it returns something truthy, for up to `seconds` within the run's
    budget; an X error means only "not ready yet"."""
    allowed, last_error = time_left(seconds), ""
    deadline = time.monotonic() + allowed
    while time.monotonic() < deadline:
        try:
            if result := probe():
                return result
        except error.XError as x_error:
            last_error = f" (last X error: {x_error})"
        time.sleep(0.05)
    raise CheckFailed(f"timed out after {allowed:.0f} s waiting for {what}{last_error}")


def wait_for_frame(expected, where, grab_frame):
    """Waits until grab_frame() gives exactly the RGB bytes `expected`; else says how many
    pixels of the last one differ."""
    shown = [b""]

    def shows_it():
        shown[0] = grab_frame()
        return shown[0] == expected

    try:
        wait_until(30, f"the expected frame {where}", shows_it)
    except CheckFailed as failure:
        wrong = sum(shown[0][i:i + 3] != expected[i:i + 3] for i in range(0, len(expected), 3))
        raise CheckFailed(f"{failure}: {wrong} pixels differ") from None


def grab(win, size=SIZE):
    """The RGB bytes the X server shows in the window from its top-left corner."""
    data = win.get_image(0, 0, size[0], size[1], X.ZPixmap, 0xFFFFFFFF).data
    rgb = bytearray(size[0] * size[1] * 3)
    for channel in range(3):  # B, G, R and an unused byte per pixel
        rgb[channel::3] = data[2 - channel::4]
    return bytes(rgb)


class Game:
    """One start of the game: its process, its log of stdout and stderr, its window."""

    def __init__(self, session, args, name, **kwargs):
        self.session, self.win = session, None
        self.log = os.path.join(session.workdir, name + ".log")
        with open(self.log, "wb") as out:
            self.proc = session.start(args, stdout=out, stderr=out, **kwargs)

    def output(self):
        return pathlib.Path(self.log).read_bytes().decode(errors="replace")

    def running(self):
        if self.proc.poll() is not None:
            raise CheckFailed(f"the game exited with {self.proc.returncode}: {self.output()}")
        return True

    def wait_exit(self, after):
        wait_until(20, f"the game to exit after {after}", lambda: self.proc.poll() is not None)

    def window(self):
        """The game's top-level window once it is viewable at 800x600, titled "Tumult 2D"."""
        pid_atom = self.session.dpy.intern_atom("_NET_WM_PID")

        def viewable():
            for win in self.running() and self.session.dpy.screen().root.query_tree().children:
                pid = win.get_full_property(pid_atom, X.AnyPropertyType)
                mine = self.session.launcher or pid and pid.value[0] == self.proc.pid
                shape = win.get_geometry()
                if mine and win.get_wm_name() == TITLE and (shape.width, shape.height) == SIZE \
                        and win.get_attributes().map_state == X.IsViewable:
                    return win
        self.win = wait_until(30, f'a viewable 800x600 window titled "{TITLE}"', viewable)

    def expect_frame(self, expected):
        wait_for_frame(expected, "in the window", lambda: self.running() and grab(self.win))

    def next_frames(self, expected):
        """Returns once the game has twice redrawn a pixel painted over: a pass reads events
        before it draws, so the game has read all it was sent before."""
        gc = self.win.create_gc(foreground=int.from_bytes(expected[:3], "big") ^ 0xFFFFFF,
                                subwindow_mode=X.IncludeInferiors)
        for _ in range(2):
            self.win.fill_rectangle(gc, 0, 0, 1, 1)
            self.session.dpy.sync()
            wait_until(20, "a frame", lambda: self.running() and grab(self.win, (1, 1))
                       == expected[:3])

    def escape(self, warned=(), tap=False):
        """Ends the game with Escape, held down until it exits or, with `tap`, pressed and
        released at once, both sent together so that one frame reads them; it must end with 0
        and print nothing but a warning per image in `warned`."""
        dpy = self.session.dpy
        self.win.set_input_focus(X.RevertToParent, X.CurrentTime)
        key = dpy.keysym_to_keycode(XK.string_to_keysym("Escape"))
        xtest.fake_input(dpy, X.KeyPress, key)
        if tap:
            xtest.fake_input(dpy, X.KeyRelease, key)
        dpy.sync()
        try:
            self.wait_exit("an Escape tap" if tap else "Escape was held")
        finally:
            if not tap:
                xtest.fake_input(dpy, X.KeyRelease, key)
                dpy.sync()
        self.check_output(0, [f'tumult2d: warning: cannot load image "images/{name}": '
                              for name in warned])

    def check_output(self, code, wanted):
        """The exit code, and one line starting with each of `wanted` in order and nothing else
        printed (a sanitizer report would show here)."""
        lines = self.output().splitlines()
        if self.proc.returncode != code or len(lines) != len(wanted) or \
                not all(map(str.startswith, lines, wanted)):
            raise CheckFailed(f"exit code {self.proc.returncode}, expected {code} and lines "
                              f"starting {wanted}; output:\n{self.output()}")


class Session:
    """A temporary folder, the processes started from it, and a private Xvfb."""

    def __init__(self, workdir):
        # The launcher runs the game's binary: nothing, or Wine, whose window may name another of
        # its processes as its owner (on a private X server the title and size tell it apart).
        self.workdir, self.started, self.launcher = workdir, [], ()

    def start(self, args, **kwargs):
        # Should this test be killed outright (no `finally` runs), the kernel sends the child
        # SIGTERM (PR_SET_PDEATHSIG, set between fork and exec).
        proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, **kwargs,
                                preexec_fn=lambda: _libc.prctl(1, signal.SIGTERM))
        self.started.append(proc)
        return proc

    def end_all(self):
        while self.started:  # newest first: the game goes before the X server it draws on
            proc = self.started.pop()
            proc.terminate()  # does nothing to a process that has exited
            try:
                proc.wait(timeout=3)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()

    def start_xvfb(self):
        """A 24-bit Xvfb on a display it picks and reports once it listens (-displayfd)."""
        read_end, write_end = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                    "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        allowed = time_left(30)
        with os.fdopen(read_end, "rb") as pipe:  # the number and the newline come in two writes
            number = pipe.readline() if select.select([pipe], [], [], allowed)[0] else b""
        if not number.endswith(b"\n"):
            raise CheckFailed(f"Xvfb reported no display number within {allowed:.0f} s")
        os.environ["DISPLAY"] = ":" + number.decode().strip()  # for all started from here on
        self.dpy = display.Display()

    def start_game(self, binary, cwd, name="game", seed=SEED):
        """Starts the game (or its launcher) in `cwd` and waits for its window; its clock is
        pinned to millisecond `seed` and a half, so that it is not read one low. File times
        stay real (NO_FAKE_STAT): libfaketime's stat() takes a semaphore that it has closed
        when LeakSanitizer reads files at exit."""
        env = dict(os.environ, LD_PRELOAD=FAKETIME, TZ="UTC", NO_FAKE_STAT="1",
                   FAKETIME=f"2024-03-05 12:34:56.{seed:03}5", FAKETIME_DONT_FAKE_MONOTONIC="1",
                   ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
        env.pop("SDL_VIDEODRIVER", None)
        game = Game(self, [*self.launcher, os.path.abspath(binary)], name, cwd=cwd, env=env)
        game.window()
        return game

    def render(self, tool, cwd, seed=SEED):
        """The frame of battle `seed` with the images under `cwd`, rendered without a window."""
        path = os.path.join(self.workdir, "expected.ppm")
        proc = self.start([os.path.abspath(tool), str(seed), path], cwd=cwd,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        wait_until(60, "tumult2d_frame to render it", lambda: proc.poll() is not None)
        if proc.returncode != 0:
            raise CheckFailed(f"tumult2d_frame failed: {proc.stderr.read()}")
        return pathlib.Path(path).read_bytes().removeprefix(b"P6\n800 600\n255\n")


def run(body, xvfb=True):
    """Runs body(session) (with a private Xvfb unless told not to), then ends every process it
    started, even after a failure or a stop signal. Every wait ends within the run's budget."""
    def stop(signum, _frame):
        raise CheckFailed(f"stopped by {signal.Signals(signum).name}")

    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, stop)
    # Every wait of a run comes out of one budget, three quarters of ctest's TIMEOUT (passed in
    # TUMULT_TEST_TIMEOUT): the rest is left for ending the processes and saying what failed.
    began = time.monotonic()
    _deadline[0] = began + 0.75 * float(os.environ.get("TUMULT_TEST_TIMEOUT", 120))
    try:
        with tempfile.TemporaryDirectory(prefix="tumult2d-test-") as workdir:
            session = Session(workdir)
            try:
                if xvfb:
                    session.start_xvfb()
                body(session)
            finally:
                session.end_all()
    except (CheckFailed, error.XError, error.ConnectionClosedError) as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    print(f"PASSED in {time.monotonic() - began:.1f} s")
    return 0
