#!/usr/bin/env python3
"""Plays the browser build, served on 127.0.0.1 from this process, in Debian's headless Chromium
driven by Selenium, as real_window_test.py plays the desktop build. A script the DevTools
protocol adds before the page's own pins its clock, so that tumult2d_frame renders the frame
each battle must show.

Usage: web_test.py SITE FRAME_TOOL battles|hostile|page   (run from the folder of images/)"""

import base64
import contextlib
import functools
import http.server
import os
import shutil
import signal
import sys
import tarfile
import threading

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))
import real_window_test  # noqa: E402
import xgame  # noqa: E402
from selenium import webdriver  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

EPOCH_MS = 1709642096000  # 2024-03-05 12:34:56 UTC: battle N is opened at EPOCH_MS + N
# The test's own scripts, run before the page's: the clock, and a log of whether each key
# press reached the top of the page with its default action (scrolling, focus) cancelled.
PIN_CLOCK = "window.pinnedClock = %d; Date.now = () => window.pinnedClock;"
KEY_LOG = "window.keyLog = []; addEventListener('keydown', e => keyLog.push(e.defaultPrevented));"
CANVAS_RGB = """const rgba = document.getElementById("screen").getContext("2d")
    .getImageData(0, 0, 800, 600).data.filter((_, i) => i % 4 != 3);
return btoa(Array.from(rgba, byte => String.fromCharCode(byte)).join(""));"""
NOTICE = """const notice = document.getElementById("notice");
return notice.hidden ? "" : document.getElementById("message").textContent +
    (document.getElementById("again").hidden ? "" : " [Play again]");"""
OVER = "The battle is over. [Play again]"


class FreshHandler(http.server.SimpleHTTPRequestHandler):
    """Serves every file as not to be kept: the tests rewrite the site's files between loads,
    often within one second, which a cached copy's date could not tell apart."""

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()


class Browser:
    """The site served from a copy in the session's folder, and Chromium driven by Selenium."""

    def __init__(self, session, site):
        self.session, self.site = session, os.path.join(session.workdir, "site")
        shutil.copytree(site, self.site)
        handler = functools.partial(FreshHandler, directory=self.site)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"
        self.driver, self.clock = None, None

    def start(self):
        """Chromium, driven through the chromedriver that Selenium starts."""
        options = webdriver.ChromeOptions()
        options.binary_location = shutil.which("chromium")
        for argument in ("--headless=new", "--no-sandbox", "--window-size=1024,700",
                         "--force-device-scale-factor=1"):
            options.add_argument(argument)
        self.driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")),
                                       options=options)
        self.driver.set_script_timeout(xgame.time_left(30))
        self.driver.set_page_load_timeout(xgame.time_left(30))
        self.before_page(KEY_LOG)

    def close(self):
        """Ends the browser, then the server."""
        try:
            if self.driver:
                self.driver.quit()
        finally:
            self.server.shutdown()

    def before_page(self, script):
        """Runs `script` in every page opened from now on, before the page's own; its id."""
        return self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                           {"source": script})["identifier"]

    def open(self, seed):
        """Opens the page with the clock pinned to battle `seed`."""
        if self.clock:
            self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument",
                                        {"identifier": self.clock})
        self.clock = self.before_page(PIN_CLOCK % (EPOCH_MS + seed))
        self.driver.get(self.url)

    def notice(self, wanted):
        """Waits until the page shows the notice `wanted` over the canvas ("" for none)."""
        shown = [""]

        def shows_it():
            shown[0] = self.driver.execute_script(NOTICE)
            return shown[0] == wanted

        try:
            xgame.wait_until(30, f"the page to show {wanted!r}", shows_it)
        except xgame.CheckFailed as failure:
            raise xgame.CheckFailed(f"{failure}; it shows {shown[0]!r}") from None

    def expect_frame(self, expected):
        xgame.wait_for_frame(expected, "on the canvas",
                             lambda: base64.b64decode(self.driver.execute_script(CANVAS_RGB)))

    def escape(self, tap=False):
        """Holds Escape down on the focused canvas until the page says the battle is over or,
        with `tap`, presses and releases it at once, both sent together."""
        press = ActionChains(self.driver).key_down(Keys.ESCAPE)
        (press.key_up(Keys.ESCAPE) if tap else press).perform()
        try:
            self.notice(OVER)
        finally:
            if not tap:
                ActionChains(self.driver).key_up(Keys.ESCAPE).perform()


def end_descendants():
    """Ends by pid every process started under this one and still running, and reaps them.
    The browser starts helpers that leave it (crash reporters); as this process is a subreaper,
    they stay under it."""
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


def battles(session, browser, frame_tool):
    """Three battles, the first as the page opens, the others from its play-again button: each
    shows its frame and ends with Escape (the second with a tap), and the page then offers
    another."""
    browser.open(493)
    for seed in (493, 7, 862):
        expected = session.render(frame_tool, ".", seed)
        if seed != 493:
            browser.driver.execute_script(f"window.pinnedClock = {EPOCH_MS + seed};")
            browser.driver.find_element("id", "again").click()
        browser.notice("")
        browser.expect_frame(expected)
        browser.escape(tap=seed == 7)


def hostile(session, browser, frame_tool):
    """With each hostile set of images packed in place of the shipped ones, the canvas shows
    exactly the frame tumult2d_frame renders from them. A folder stands in for the named pipe,
    which a browser's file system cannot hold."""
    for name, files in zip(("broken", "odd"), real_window_test.hostile_images()):
        files = {image: real_window_test.FOLDER if data is real_window_test.PIPE else data
                 for image, data in files.items()}
        folder = real_window_test.image_folder(session, name, files)
        # Packed as the build packs them: a tar archive, each folder before what it holds.
        with tarfile.open(os.path.join(browser.site, "tumult2d.data"), "w",
                          format=tarfile.USTAR_FORMAT) as archive:
            archive.add(os.path.join(folder, "images"), "images")
        browser.open(xgame.SEED)
        browser.expect_frame(session.render(frame_tool, folder))
        browser.escape()


def page(session, browser, frame_tool):
    """Without its data file the page says so. While the game has the keyboard, the arrows,
    Space and Tab reach it and do nothing to the page (made taller than the window), which is
    titled "Tumult 2D"."""
    data = os.path.join(browser.site, "tumult2d.data")
    os.rename(data, data + ".away")
    browser.open(xgame.SEED)
    browser.notice("Could not download tumult2d.data: 404 File not found")
    os.rename(data + ".away", data)
    browser.open(xgame.SEED)
    expected = session.render(frame_tool, ".")
    browser.expect_frame(expected)
    driver = browser.driver
    # The page fits the window; made taller here, it shows whether a key would scroll it.
    driver.execute_script("document.body.style.minHeight = '300vh'")
    keys = (Keys.ARROW_DOWN, Keys.SPACE, Keys.PAGE_DOWN, Keys.TAB, Keys.ARROW_UP)
    for key in keys:
        ActionChains(driver).key_down(key).key_up(key).perform()
    browser.expect_frame(expected)  # the game still draws, after them
    state = driver.execute_script("return [document.title, document.documentElement.scrollHeight"
                                  " > innerHeight, scrollY, document.activeElement.id, keyLog]")
    if state != ["Tumult 2D", True, 0, "screen", [True] * len(keys)]:
        raise xgame.CheckFailed(f"after the keys the page has [its title, taller than the window,"
                                f" scrollY, focus, each key's default action cancelled] = {state}")
    browser.escape()


def main(site, frame_tool, case):
    frame_tool = os.path.abspath(frame_tool)

    def body(session):
        browser = Browser(session, site)
        try:
            browser.start()
            {"battles": battles, "hostile": hostile, "page": page}[case](
                session, browser, frame_tool)
        finally:
            try:
                browser.close()
            finally:
                end_descendants()

    xgame._libc.prctl(36, 1)  # PR_SET_CHILD_SUBREAPER
    return xgame.run(body, xvfb=False)


if __name__ == "__main__":
    xgame.check_usage(len(sys.argv) == 4 and sys.argv[3] in ("battles", "hostile", "page"),
                      __doc__)
    sys.exit(main(*sys.argv[1:]))
