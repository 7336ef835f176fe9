"""A run of a test: its folder, the processes it starts there (each with its output in a log of
its own) and what else it must undo, one time budget for all its waits, and, when a check
fails, a report of how each process ended and the last lines it wrote."""

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
    """A script called with wrong arguments prints its usage (its doc string) and exits 2."""
    if not arguments_fit:
        print(doc.strip(), file=sys.stderr)
        sys.exit(2)


class CheckFailed(Exception):
    """A check about the game's behaviour did not hold; the message says which."""


def budget():
    """The whole run's time budget in seconds: ctest's TIMEOUT, passed in TUMULT_TEST_TIMEOUT."""
    return int(os.environ.get("TUMULT_TEST_TIMEOUT", 120))


def time_left(seconds):
    """How long a wait of up to `seconds` may take: never past the end of the run's budget."""
    return max(0.0, min(seconds, _deadline[0] - time.monotonic()))


def wait_until(seconds, what, probe, not_yet=()):
    """Calls probe until it returns something truthy, for up to `seconds` within the run's
    budget; an exception of the types `not_yet` means only "not ready yet"."""
    allowed, last_error = time_left(seconds), ""
    deadline = time.monotonic() + allowed
    while time.monotonic() < deadline:
        try:
            if result := probe():
                return result
        except not_yet as failure:
            last_error = f" (last error: {failure})"
        time.sleep(0.05)
    raise CheckFailed(f"timed out after {allowed:.0f} s waiting for {what}{last_error}")


def read_lines(path):
    return pathlib.Path(path).read_bytes().decode(errors="replace").splitlines()


def how_it_ended(proc):
    code = proc.poll()
    if code is None:
        return "still running when the check failed"
    return f"killed by {signal.Signals(-code).name}" if code < 0 else f"exited with {code}"


class Session:
    """The run's temporary folder, what to end when the run ends (processes and clean-ups,
    newest last), and what to show should a check fail."""

    def __init__(self, workdir):
        self.workdir, self.to_end, self.reports, self.logs = workdir, [], [], set()

    def log(self, name):
        return os.path.join(self.workdir, name + ".log")

    def start(self, args, name=None, **kwargs):
        """Starts a program with no input and, unless told otherwise, its stdout and stderr
        appended to NAME.log in the folder (NAME: the program's). Should this test be killed
        outright (no `finally` runs), the kernel sends it SIGTERM (PR_SET_PDEATHSIG, set
        between fork and exec)."""
        name = name or os.path.basename(args[0])
        with open(self.log(name), "ab") as out:
            kwargs = {"stdout": out, "stderr": out, **kwargs}
            proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, **kwargs,
                                    preexec_fn=lambda: _libc.prctl(1, signal.SIGTERM))
        self.watch(name, proc, self.log(name))
        self.to_end.append(proc)
        return proc

    def run(self, args, name=None, seconds=60, **kwargs):
        """Starts a program as start() does and waits for it; a failure if it does not end with
        0 (the report then shows its log)."""
        proc = self.start(args, name, **kwargs)
        name = name or os.path.basename(args[0])
        wait_until(seconds, f"{name} to end", lambda: proc.poll() is not None)
        if proc.returncode != 0:
            raise CheckFailed(f"{name} {how_it_ended(proc)}")

    def watch(self, name, proc, log):
        """Should a check fail, shows how the process ended and the last lines of its log
        (under the first of the processes that share a log)."""
        lines = (lambda: read_lines(log)) if log not in self.logs else list
        self.logs.add(log)
        self.report(lambda: f"{name} (pid {proc.pid}: {' '.join(map(str, proc.args))}) "
                            f"{how_it_ended(proc)}", lines)

    def report(self, heading, read_lines):
        """Should a check fail, shows heading() and the last lines of read_lines() then."""
        self.reports.append((heading, read_lines))

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


def become_subreaper():
    """Processes that leave their parent (a browser's crash reporter) stay under this one."""
    _libc.prctl(36, 1)  # PR_SET_CHILD_SUBREAPER


def end_descendants():
    """Ends by pid every process started under this one and still running, and reaps them."""
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


def run(body, session_type=Session, expected=(CheckFailed,)):
    """Runs body(session) in a temporary folder, then ends all it started, even after a failure
    or a stop signal; a failure prints what failed (a traceback unless it is `expected`) and
    the session's report. Every wait ends within the run's budget. Returns the exit status."""
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
            if not isinstance(failure, expected):
                traceback.print_exc()
            print(f"FAILED: {failure}", file=sys.stderr)
            session.failure_report()
            return 1
        finally:
            session.end_all()
    print(f"PASSED in {time.monotonic() - began:.1f} s")
    return 0
