"""A test's run: its folder, processes and clean-ups, one time budget, a report on failure."""

import contextlib
import ctypes
import os
import pathlib
import signal
import subprocess
import sys
import tempfile
import time
import traceback

TAIL = 20  # lines of each log a failure shows
_libc = ctypes.CDLL("libc.so.6")
_deadline = [float("inf")]  # time.monotonic() when the run's budget is spent


def check_usage(arguments_fit, doc):
    if not arguments_fit:
        print(doc.strip(), file=sys.stderr)
        sys.exit(2)


class CheckFailed(Exception):
    """A check about the game's behaviour did not hold; the message says which."""


def budget():  # ctest's TIMEOUT, passed on in TUMULT_TEST_TIMEOUT
    return int(os.environ.get("TUMULT_TEST_TIMEOUT", 120))


def time_left(seconds):  # never past the end of the run's budget
    return max(0.0, min(seconds, _deadline[0] - time.monotonic()))


def wait_until(seconds, what, probe, not_yet=(), last=lambda: ""):
    """Waits for a truthy probe(); an exception in `not_yet` means "not yet"."""
    allowed, last_error = time_left(seconds), ""
    deadline = time.monotonic() + allowed
    while time.monotonic() < deadline:
        try:
            if result := probe():
                return result
        except not_yet as failure:
            last_error = f" (last error: {failure})"
        time.sleep(0.05)
    raise CheckFailed(f"timed out after {allowed:.0f} s waiting for {what}{last_error}{last()}")


def wait_for(seconds, what, read, wanted, not_yet=(), differs=lambda it: f"; it shows {it!r}"):
    """Waits until read() == wanted; a failure tells, by differs(), what it read last."""
    shown = [None]

    def equal():
        shown[0] = read()
        return shown[0] == wanted

    wait_until(seconds, what, equal, not_yet, lambda: differs(shown[0]))


def read_lines(path):
    return pathlib.Path(path).read_bytes().decode(errors="replace").splitlines()


def how_it_ended(proc):
    code = proc.poll()
    if code is None:
        return "still running when the check failed"
    return f"killed by {signal.Signals(-code).name}" if code < 0 else f"exited with {code}"


class Session:
    """The run's folder, what to end (processes and clean-ups, newest last), what to report."""

    def __init__(self, workdir):
        self.workdir, self.to_end, self.reports, self.logs = workdir, [], [], set()

    def log(self, name):
        return os.path.join(self.workdir, name + ".log")

    def start(self, args, name=None, **kwargs):
        """Output to NAME.log; SIGTERM (PR_SET_PDEATHSIG) should this test be killed outright."""
        name = name or os.path.basename(args[0])
        with open(self.log(name), "ab") as out:
            proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                    preexec_fn=lambda: _libc.prctl(1, signal.SIGTERM), **kwargs)
        self.watch(name, proc, self.log(name))
        self.to_end.append(proc)
        return proc

    def run(self, args, name=None, seconds=60, **kwargs):
        """start(), then a failure unless it ends with 0."""
        proc = self.start(args, name, **kwargs)
        wait_until(seconds, f"{args[0]} to end", lambda: proc.poll() is not None)
        if proc.returncode != 0:
            raise CheckFailed(f"{args[0]} {how_it_ended(proc)}")

    def watch(self, name, proc, log):
        """On failure, how it ended and its log's tail (under the first process to share it)."""
        lines = (lambda: read_lines(log)) if log not in self.logs else list
        self.logs.add(log)
        self.reports.append((lambda: f"{name} (pid {proc.pid}: {' '.join(map(str, proc.args))}) "
                             f"{how_it_ended(proc)}", lines))

    def at_end(self, clean_up):
        self.to_end.append(clean_up)

    def failure_report(self):
        for heading, lines in self.reports:
            try:
                lines = list(lines())[-TAIL:]
            except Exception as failure:  # noqa: BLE001: a report must never hide the failure
                lines = [f"(cannot be read: {failure})"]
            print("\n    ".join([f"--- {heading()}", *lines]), file=sys.stderr)

    def end_all(self):
        """Newest first: the game goes before the X server it draws on."""
        failures = []
        while self.to_end:
            item = self.to_end.pop()
            try:
                item() if callable(item) else end(item)
            except Exception as failure:  # noqa: BLE001: the others are ended all the same
                failures.append(failure)
        if failures:
            raise failures[0]


def end(proc):
    proc.terminate()  # does nothing to a process that has exited
    try:
        proc.wait(timeout=3)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def end_descendants_at_end(session):
    """Processes that leave their parent (crash reporters) stay under this one till it ends them."""
    _libc.prctl(36, 1)  # PR_SET_CHILD_SUBREAPER
    session.at_end(end_descendants)


def end_descendants():  # by pid, and reaps them
    parents = {}
    for entry in filter(str.isdigit, os.listdir("/proc")):
        with contextlib.suppress(OSError), open(f"/proc/{entry}/stat") as stat:  # or it has ended
            parents[int(entry)] = int(stat.read().rsplit(")", 1)[1].split()[1])
    todo = [os.getpid()]
    while todo:
        parent = todo.pop()
        for child in [pid for pid, its_parent in parents.items() if its_parent == parent]:
            os.kill(child, signal.SIGKILL)
            todo.append(child)
    with contextlib.suppress(ChildProcessError):  # until none is left
        while True:  # each ended process, and those it leaves, come back to this one
            os.waitpid(-1, 0)


def run(body, session_type=Session):
    """body(session) in a temporary folder, all it started ended even on failure; exit status."""
    def stop(signum, _frame):
        raise CheckFailed(f"stopped by {signal.Signals(signum).name}")

    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, stop)
    # Every wait of a run comes out of three quarters of the budget: the rest is left for
    # ending the processes and saying what failed.
    began = time.monotonic()
    _deadline[0] = began + 0.75 * budget()
    with tempfile.TemporaryDirectory(prefix="tumult2d-test-") as workdir:
        session = session_type(workdir)
        try:
            body(session)
        except Exception as failure:  # noqa: BLE001: every failure is reported the same way
            if not isinstance(failure, CheckFailed):  # an X error shows where it came from
                traceback.print_exc()
            print(f"FAILED: {failure}", file=sys.stderr)
            session.failure_report()
            return 1
        finally:
            session.end_all()
    print(f"PASSED in {time.monotonic() - began:.1f} s")
    return 0
