#!/usr/bin/env python3
"""Plays the browser build in Debian's headless Chromium, driven by Selenium through
chromedriver, as real_window_test.py plays the desktop build. The site is served on 127.0.0.1
from this process; the page's clock is pinned by a script the DevTools protocol adds before the
page's own, so that tumult2d_frame can render the frame each battle must show.

Usage: web_test.py SITE FRAME_TOOL battles|hostile|page   (run from the folder of images/)
  battles  three battles in a row, each ended by a held Escape and the page's play-again button
  hostile  the images that cannot load, then those in odd formats
  page     the keys the game takes do not scroll the page; a missing data file is reported"""

import base64
import functools
import http.server
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tarfile
import threading

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))
import real_window_test  # noqa: E402
import xgame  # noqa: E402
from selenium import webdriver  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.chromium.remote_connection import ChromiumRemoteConnection  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

EPOCH_MS = 1709642096000  # 2024-03-05 12:34:56 UTC: battle N is opened at EPOCH_MS + N
# The test's own scripts, run before the page's: the clock, and a log of whether each key
# press reached the top of the page with its default action (scrolling, focus) cancelled.
PIN_CLOCK = "window.pinnedClock = %d; Date.now = () => window.pinnedClock;"
KEY_LOG = """window.keyLog = []; addEventListener("keydown", e => keyLog.push([e.key, e.defaultPrevented]));"""
CANVAS_RGB = """const pixels = document.getElementById("screen").getContext("2d")
    .getImageData(0, 0, 800, 600).data;
let rgb = "";
for (let i = 0; i < pixels.length; i += 4) rgb += String.fromCharCode(pixels[i], pixels[i + 1], pixels[i + 2]);
return btoa(rgb);"""
NOTICE = """const notice = document.getElementById("notice");
return notice.hidden ? "" : document.getElementById("message").textContent +
    (document.getElementById("again").hidden ? "" : " [Play again]");"""
OVER = "The battle is over. [Play again]"


class Browser:
    """The site served from a copy in the session's folder, and Chromium driven by Selenium."""

    def __init__(self, session, site):
        self.session, self.site = session, os.path.join(session.workdir, "site")
        shutil.copytree(site, self.site)
        handler = functools.partial(Quiet, directory=self.site)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"
        self.driver, self.chromedriver, self.clock = None, None, None

    def start(self):
        """chromedriver, on a free port it reports, and the browser it starts."""
        self.chromedriver = self.session.start(["chromedriver", "--port=0"], stdout=subprocess.PIPE)
        port = wait_for_line(self.chromedriver.stdout, rb"started successfully on port (\d+)")
        options = webdriver.ChromeOptions()
        options.binary_location = shutil.which("chromium")
        for argument in ("--headless=new", "--no-sandbox", "--disable-crash-reporter",
                         "--window-size=1024,700", "--force-device-scale-factor=1"):
            options.add_argument(argument)
        self.driver = webdriver.Remote(
            ChromiumRemoteConnection(f"http://127.0.0.1:{port}", "goog", "chrome"), options=options)
        self.driver.set_script_timeout(xgame.time_left(30))
        self.before_page(KEY_LOG)

    def close(self):
        """Ends the browser, then the server."""
        try:
            if self.driver:
                self.driver.quit()
        finally:
            self.server.shutdown()

    def cdp(self, command, **params):
        """A DevTools protocol command's result."""
        return self.driver.execute("executeCdpCommand", {"cmd": command, "params": params})["value"]

    def pin_clock(self, seed):
        self.driver.execute_script(f"window.pinnedClock = {EPOCH_MS + seed};")

    def before_page(self, script):
        """Runs `script` in every page opened from now on, before the page's own; its id."""
        return self.cdp("Page.addScriptToEvaluateOnNewDocument", source=script)["identifier"]

    def open(self, seed):
        """Opens the page with the clock pinned to battle `seed`."""
        if self.clock:
            self.cdp("Page.removeScriptToEvaluateOnNewDocument", identifier=self.clock)
        self.clock = self.before_page(PIN_CLOCK % (EPOCH_MS + seed))
        self.driver.get(self.url)

    def notice(self, wanted):
        """Waits until the page shows the notice `wanted` over the canvas ("" for none)."""
        shown = [""]

        def shows_it():
            shown[0] = self.driver.execute_script(NOTICE)
            return shown[0] == wanted or re.fullmatch(wanted, shown[0])

        try:
            xgame.wait_until(30, f"the page to show {wanted!r}", shows_it)
        except xgame.CheckFailed as failure:
            raise xgame.CheckFailed(f"{failure}; it shows {shown[0]!r}") from None

    def expect_frame(self, expected):
        """Waits until the canvas shows exactly `expected`; else says how many pixels differ."""
        shown = [b""]

        def shows_it():
            shown[0] = base64.b64decode(self.driver.execute_script(CANVAS_RGB))
            return shown[0] == expected

        try:
            xgame.wait_until(30, "the expected frame on the canvas", shows_it)
        except xgame.CheckFailed as failure:
            wrong = sum(shown[0][i:i + 3] != expected[i:i + 3] for i in range(0, len(expected), 3))
            raise xgame.CheckFailed(f"{failure}: {wrong} pixels differ") from None

    def escape(self):
        """Holds Escape down on the focused canvas until the page says the battle is over (the
        game reads its keys once per frame, and a press and a release read together cancel out)."""
        ActionChains(self.driver).key_down(Keys.ESCAPE).perform()
        try:
            self.notice(OVER)
        finally:
            ActionChains(self.driver).key_up(Keys.ESCAPE).perform()


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def wait_for_line(pipe, pattern):
    """The first group of `pattern` in the first line of `pipe` that matches it."""
    deadline_left = xgame.time_left(30)
    while select.select([pipe], [], [], deadline_left)[0]:
        line = pipe.readline()
        if not line:
            break
        if match := re.search(pattern, line):
            return int(match.group(1))
        deadline_left = xgame.time_left(30)
    raise xgame.CheckFailed("chromedriver did not say which port it listens on")


def end_descendants():
    """Ends by pid every process started under this one and still running, and reaps them.
    The browser starts helpers that leave it (crash reporters); as this process is a subreaper,
    they stay under it."""
    parents = {}
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{entry}/stat") as stat:
                parents[int(entry)] = int(stat.read().rsplit(")", 1)[1].split()[1])
        except OSError:  # it has ended meanwhile
            pass
    todo = [os.getpid()]
    while todo:
        parent = todo.pop()
        for child in [pid for pid, its_parent in parents.items() if its_parent == parent]:
            os.kill(child, signal.SIGKILL)
            todo.append(child)
    while True:  # each ended process, and those it leaves, come back to this one
        try:
            if os.waitpid(-1, 0)[0] == 0:
                break
        except ChildProcessError:
            break


def images_archive(folder, path):
    """The images/ of `folder` as the build packs them: a tar archive, folders before files."""
    with tarfile.open(path, "w", format=tarfile.USTAR_FORMAT) as archive:
        archive.add(os.path.join(folder, "images"), "images")


def battles(session, browser, frame_tool):
    """Three battles, the first as the page opens, the others from its play-again button: each
    shows its frame and ends with Escape, and the page then offers another."""
    for number, seed in enumerate((493, 7, 862)):
        expected = session.render(frame_tool, ".", seed)
        if number == 0:
            browser.open(seed)
        else:
            browser.pin_clock(seed)
            browser.driver.find_element("id", "again").click()
        browser.notice("")
        browser.expect_frame(expected)
        browser.escape()


def hostile(session, browser, frame_tool):
    """With each hostile set of images packed in place of the shipped ones, the canvas shows
    exactly the frame tumult2d_frame renders from them. A folder stands in for the named pipe,
    which a browser's file system cannot hold."""
    for name, files in zip(("broken", "odd"), real_window_test.hostile_images()):
        files = {image: real_window_test.FOLDER if data is real_window_test.PIPE else data
                 for image, data in files.items()}
        folder = real_window_test.image_folder(session, name, files)
        images_archive(folder, os.path.join(browser.site, "tumult2d.data"))
        browser.open(xgame.SEED)
        browser.expect_frame(session.render(frame_tool, folder))
        browser.escape()


def page(session, browser, frame_tool, site):
    """Without its data file the page says so. While the game has the keyboard, the arrows,
    Space and Tab reach it and do nothing to the page (which is taller than the window)."""
    data = os.path.join(browser.site, "tumult2d.data")
    os.remove(data)
    browser.open(xgame.SEED)
    browser.notice("Could not download tumult2d.data: 404 File not found")
    shutil.copy(os.path.join(site, "tumult2d.data"), data)
    browser.open(xgame.SEED)
    expected = session.render(frame_tool, ".")
    browser.expect_frame(expected)
    driver = browser.driver
    if not driver.execute_script("return document.documentElement.scrollHeight > innerHeight"):
        raise xgame.CheckFailed("the page does not scroll, so scrolling keys test nothing")
    keys = (Keys.ARROW_DOWN, Keys.SPACE, Keys.PAGE_DOWN, Keys.TAB, Keys.ARROW_UP)
    for key in keys:
        ActionChains(driver).key_down(key).key_up(key).perform()
    browser.expect_frame(expected)  # the game still draws, after them
    state = driver.execute_script(
        "return [scrollY, document.activeElement.id, keyLog.map(k => k[1])]")
    if state != [0, "screen", [True] * len(keys)]:
        raise xgame.CheckFailed(f"after the keys the page has [scrollY, focus, each key's default"
                                f" action cancelled] = {state}")
    browser.escape()


def main(site, frame_tool, case):
    frame_tool = os.path.abspath(frame_tool)

    def body(session):
        browser = Browser(session, site)
        try:
            browser.start()
            if case == "page":
                page(session, browser, frame_tool, site)
            else:
                {"battles": battles, "hostile": hostile}[case](session, browser, frame_tool)
        finally:
            try:
                browser.close()
            finally:
                end_descendants()

    xgame._libc.prctl(36, 1)  # PR_SET_CHILD_SUBREAPER
    return xgame.run(body, xvfb=False)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
