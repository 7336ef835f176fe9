#!/usr/bin/env python3
"""Plays the browser build in headless Chromium as tests/desktop/desktop_test.py plays the game.

Usage: web_test.py SITE FRAME_TOOL battles|hostile|page   (run from the folder of images/)"""

import base64
import os
import shutil
import sys
import tarfile

import harness.browser
from harness import battle, process
from harness.process import CheckFailed
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

# The test's own script, run before the page's: a log of whether each key press reached the
# top of the page with its default action (scrolling, focus) cancelled.
KEY_LOG = "window.keyLog = []; addEventListener('keydown', e => keyLog.push(e.defaultPrevented));"
CANVAS_RGB = """const rgba = document.getElementById("screen").getContext("2d")
    .getImageData(0, 0, 800, 600).data.filter((_, i) => i % 4 != 3);
return btoa(Array.from(rgba, byte => String.fromCharCode(byte)).join(""));"""
NOTICE = """const notice = document.getElementById("notice");
return notice.hidden ? "" : document.getElementById("message").textContent +
    (document.getElementById("again").hidden ? "" : " [Play again]");"""
OVER = "The battle is over. [Play again]"
OFFLINE = os.path.abspath("platforms/web/offline.sh")  # from the source folder, as images/


class Server(harness.browser.QuietHandler):
    """While `down` it answers nothing. No file is kept: tests rewrite them within a second."""
    down = False

    def handle_one_request(self):
        if not Server.down:
            super().handle_one_request()
        else:
            self.close_connection = True

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()


class Browser:
    def __init__(self, session, site, offline=False):
        """A copy of `site` served; unless `offline`, every file from the server, not the worker."""
        self.session, self.site = session, os.path.join(session.workdir, "site")
        shutil.copytree(site, self.site)
        process.end_descendants_at_end(session)
        server, self.url = harness.browser.serve(self.site, Server)
        session.at_end(server.shutdown)
        log = session.log("chromium")
        self.driver = harness.browser.chromium("--force-device-scale-factor=1", log=log)
        session.at_end(self.driver.quit)
        harness.browser.watch(session, self.driver, log)
        self.driver.set_script_timeout(process.time_left(30))
        self.driver.set_page_load_timeout(process.time_left(30))
        self.before_page(KEY_LOG + battle.PAGE_CLOCK)
        self.driver.execute_cdp_cmd("Network.enable", {})
        self.driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": not offline})

    def before_page(self, script):
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": script})

    def pack(self, folder):
        """A new release with `folder`'s images, packed and its worker made as the build does."""
        with tarfile.open(os.path.join(self.site, "tumult2d.data"), "w",
                          format=tarfile.USTAR_FORMAT) as archive:
            archive.add(os.path.join(folder, "images"), "images")
        self.session.run([OFFLINE, self.site])

    def emulate(self, width, height, touch=True):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 1, "mobile": touch})
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {
            "enabled": touch, **({"maxTouchPoints": 5} if touch else {})})

    def open(self, seed):
        self.driver.get(f"{self.url}?battle={seed}")

    def notice(self, wanted):  # "" for none
        process.wait_for(30, f"the page to show {wanted!r}",
                         lambda: self.driver.execute_script(NOTICE), wanted)

    def move_clock(self, seed):  # for the battle the page starts next
        self.driver.execute_script(f"window.pinnedClock = {battle.EPOCH_MS + seed};")

    def expect_frame(self, expected):
        battle.wait_for_frame(expected, "on the canvas",
                              lambda: base64.b64decode(self.driver.execute_script(CANVAS_RGB)))

    def escape(self, tap=False):
        """Escape held until the battle is over, or with `tap` pressed and released at once."""
        press = ActionChains(self.driver).key_down(Keys.ESCAPE)
        (press.key_up(Keys.ESCAPE) if tap else press).perform()
        try:
            self.notice(OVER)
        finally:
            if not tap:
                ActionChains(self.driver).key_up(Keys.ESCAPE).perform()


def battles(session, browser, frame_tool):
    """The first battle as the page opens, the others from Play again, each ended by Escape."""
    browser.open(493)
    for seed in (493, 7, 862):
        expected = battle.render(session, frame_tool, ".", seed)
        if seed != 493:
            browser.move_clock(seed)
            browser.driver.find_element("id", "again").click()
        browser.notice("")
        browser.expect_frame(expected)
        browser.escape(tap=seed == 7)


def hostile(session, browser, frame_tool):
    """A folder stands in for the named pipe, which a browser's file system cannot hold."""
    for name, files in zip(("broken", "odd"), battle.hostile_images()):
        files = {image: battle.FOLDER if data is battle.PIPE else data
                 for image, data in files.items()}
        folder = battle.image_folder(session, name, files)
        browser.pack(folder)
        browser.open(battle.SEED)
        browser.expect_frame(battle.render(session, frame_tool, folder))
        browser.escape()


def page(session, browser, frame_tool):
    """Without its data file the page says so; keys reach the game and do nothing to the page."""
    data = os.path.join(browser.site, "tumult2d.data")
    os.rename(data, data + ".away")
    browser.open(battle.SEED)
    browser.notice("Could not download tumult2d.data: 404 File not found")
    os.rename(data + ".away", data)
    browser.open(battle.SEED)
    expected = battle.render(session, frame_tool, ".")
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
        raise CheckFailed(f"after the keys the page has [its title, taller than the window,"
                          f" scrollY, focus, each key's default action cancelled] = {state}")
    browser.escape()


def main(cases, doc):
    """Runs the case the third argument names; a test takes as many arguments as it is given."""
    arguments = sys.argv[1:]
    test = cases.get(arguments[2]) if len(arguments) > 2 else None
    process.check_usage(test and test.__code__.co_argcount == len(arguments), doc)
    site, frame_tool, case, *rest = arguments
    sys.exit(process.run(lambda session: test(session, Browser(session, site, case == "offline"),
                                              os.path.abspath(frame_tool), *rest)))


if __name__ == "__main__":
    main({"battles": battles, "hostile": hostile, "page": page}, __doc__)
