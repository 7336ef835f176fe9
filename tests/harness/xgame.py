"""The built game in a real X window on a private Xvfb, driven as a player drives it."""

import os
import select

from Xlib import X, XK, display, error, protocol
from Xlib.ext import xtest

from harness import battle, process
from harness.process import CheckFailed


def wait_until(seconds, what, probe):
    return process.wait_until(seconds, what, probe, error.XError)


def grab(win, size=battle.SIZE):  # RGB bytes from the top-left corner
    data = win.get_image(0, 0, size[0], size[1], X.ZPixmap, 0xFFFFFFFF).data
    rgb = bytearray(size[0] * size[1] * 3)
    for channel in range(3):  # B, G, R and an unused byte per pixel
        rgb[channel::3] = data[2 - channel::4]
    return bytes(rgb)


def find_window(dpy, title, fits=lambda _win: True):
    return next((win for win in dpy.screen().root.query_tree().children if win.get_wm_name() ==
                 title and win.get_attributes().map_state == X.IsViewable and fits(win)), None)


def send_key(dpy, name, *events):  # through XTest, as a keyboard would, to the focus
    key = dpy.keysym_to_keycode(XK.string_to_keysym(name))
    for event in events:
        xtest.fake_input(dpy, event, key)
    dpy.sync()


class Game:
    def __init__(self, session, args, name, **kwargs):
        self.session, self.win, self.log = session, None, session.log(name)
        self.proc = session.start(args, name, **kwargs)

    def output(self):
        return self.session.program_lines(self.log)

    def running(self):
        if self.proc.poll() is not None:
            raise CheckFailed(f"the game {process.how_it_ended(self.proc)}")
        return True

    def wait_exit(self, after):
        wait_until(20, f"the game to exit after {after}", lambda: self.proc.poll() is not None)

    def window(self):
        dpy = self.session.dpy
        pid_atom = dpy.intern_atom("_NET_WM_PID")

        def fits(win):
            pid = win.get_full_property(pid_atom, X.AnyPropertyType)
            shape = win.get_geometry()
            return (self.session.launcher or pid and pid.value[0] == self.proc.pid) and \
                (shape.width, shape.height) == battle.SIZE

        self.win = wait_until(30, f'a viewable 800x600 window titled "{battle.TITLE}"',
                              lambda: self.running() and find_window(dpy, battle.TITLE, fits))

    def expect_frame(self, expected):
        battle.wait_for_frame(expected, "in the window",
                              lambda: self.running() and grab(self.win), error.XError)

    def next_frames(self, expected):
        """Once a pixel painted over is twice redrawn, the game has read all it was sent."""
        gc = self.win.create_gc(foreground=int.from_bytes(expected[:3], "big") ^ 0xFFFFFF,
                                subwindow_mode=X.IncludeInferiors)
        for _ in range(2):
            self.win.fill_rectangle(gc, 0, 0, 1, 1)
            self.session.dpy.sync()
            wait_until(20, "a frame", lambda: self.running() and grab(self.win, (1, 1))
                       == expected[:3])

    def escape(self, warned=(), tap=False):
        """Escape held until it exits, or with `tap` pressed and released for one frame to read."""
        dpy = self.session.dpy
        self.win.set_input_focus(X.RevertToParent, X.CurrentTime)
        send_key(dpy, "Escape", X.KeyPress, *[X.KeyRelease] * tap)
        try:
            self.wait_exit("an Escape tap" if tap else "Escape was held")
        finally:
            if not tap:
                send_key(dpy, "Escape", X.KeyRelease)
        self.check_output(0, [f'tumult2d: warning: cannot load image "images/{name}": '
                              for name in warned])

    def check_output(self, code, wanted):
        """Nothing printed but what starts with each of `wanted` (a sanitizer's report shows)."""
        lines = self.output()
        if self.proc.returncode != code or len(lines) != len(wanted) or \
                not all(map(str.startswith, lines, wanted)):
            raise CheckFailed(f"exit code {self.proc.returncode}, expected {code} and lines "
                              f"starting {wanted}")


class Session(process.Session):
    def __init__(self, workdir):
        super().__init__(workdir)
        # The launcher runs the game's binary: nothing, or Wine, whose window may name another of
        # its processes as its owner (on a private X server the title and size tell it apart),
        # and which writes lines of its own (launcher_line tells them) among the game's.
        self.launcher, self.launcher_line, self.dpy = (), lambda _line: False, None

    def program_lines(self, log):
        """The lines a program wrote in its log, without those its launcher wrote there."""
        return [line for line in process.read_lines(log) if not self.launcher_line(line)]

    def start_xvfb(self):
        """A 24-bit Xvfb on a display it picks and reports once it listens (-displayfd)."""
        read_end, write_end = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                    "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        allowed = process.time_left(30)
        with os.fdopen(read_end, "rb") as pipe:  # the number and the newline come in two writes
            number = pipe.readline() if select.select([pipe], [], [], allowed)[0] else b""
        if not number.endswith(b"\n"):
            raise CheckFailed(f"Xvfb reported no display number within {allowed:.0f} s")
        os.environ["DISPLAY"] = ":" + number.decode().strip()  # for all started from here on
        self.dpy = display.Display()

    def start_game(self, binary, cwd, name="game", seed=battle.SEED):
        env = battle.pinned_environment(seed)
        env.pop("SDL_VIDEODRIVER", None)
        game = Game(self, [*self.launcher, os.path.abspath(binary)], name, cwd=cwd, env=env)
        game.window()
        return game


def send_close_request(dpy, win):
    """What a window manager sends when the player clicks the close button."""
    wm_delete = dpy.intern_atom("WM_DELETE_WINDOW")
    if wm_delete not in (win.get_wm_protocols() or []):  # else the request would test nothing
        raise CheckFailed("the window does not take WM_DELETE_WINDOW close requests")
    win.send_event(protocol.event.ClientMessage(
        window=win, client_type=dpy.intern_atom("WM_PROTOCOLS"),
        data=(32, [wm_delete, X.CurrentTime, 0, 0, 0])), event_mask=X.NoEventMask)
    dpy.sync()


def play(session, game_binary, frame_tool, case):
    """Case "window": the shipped images; "hostile": none loading, then each in an odd format."""
    broken, odd = battle.hostile_images()
    starts = {"window": [("shipped", {}, [], True)],  # True: Escape is tapped, not held
              "hostile": [("broken", broken, list(broken), False), ("odd", odd, [], True)]}[case]
    for name, files, warned, tap in starts:
        folder = battle.image_folder(session, name, files)
        game = session.start_game(game_binary, folder, name)
        expected = battle.render(session, frame_tool, folder)
        send_close_request(session.dpy, game.win)
        game.expect_frame(expected)
        game.next_frames(expected)
        game.escape(warned, tap)


def run(body):
    def with_xvfb(session):
        session.start_xvfb()
        body(session)

    return process.run(with_xvfb, Session)
