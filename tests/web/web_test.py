#!/usr/bin/env python3
"""Plays the browser build, served on 127.0.0.1 from this process, in Debian's headless Chromium
driven by Selenium, as tests/desktop/desktop_test.py plays the desktop build. A script the DevTools
protocol adds before the page's own pins its clock, so that tumult2d_frame renders the frame
each battle must show.

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
OFFLINE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "platforms", "web",
                       "offline.sh")


class Server(harness.browser.FreshHandler):
    """Serves the site, or while `down` answers nothing: the connection closes unanswered."""
    down = False

    def handle_one_request(self):
        if not Server.down:
            super().handle_one_request()
        else:
            self.close_connection = True


class Browser:
    """The site served from a copy in the session's folder, and Chromium driven by Selenium."""

    def __init__(self, session, site, offline=False):
        """Serves a copy of `site` and opens Chromium; the session ends both, and then every
        process left under this one (the browser starts helpers that leave it, such as crash
        reporters). Unless the test is about playing `offline`, every file comes from the server,
        not from what the page's service worker kept of an earlier load."""
        self.session, self.site = session, os.path.join(session.workdir, "site")
        shutil.copytree(site, self.site)
        process.become_subreaper()
        session.at_end(process.end_descendants)
        server, self.url = harness.browser.serve(self.site, Server)
        session.at_end(server.shutdown)
        log = session.log("chromium")
        self.driver = harness.browser.chromium("--force-device-scale-factor=1", log=log)
        self.clock = None
        session.at_end(self.driver.quit)
        harness.browser.watch(session, self.driver, log)
        self.driver.set_script_timeout(process.time_left(30))
        self.driver.set_page_load_timeout(process.time_left(30))
        self.before_page(KEY_LOG)
        self.driver.execute_cdp_cmd("Network.enable", {})
        self.driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": not offline})

    def before_page(self, script):
        """Runs `script` in every page opened from now on, before the page's own; its id."""
        return self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                           {"source": script})["identifier"]

    def rebuilt(self):
        """The site's service worker made again for its files as they are now, as the build
        makes it: a new release of the site."""
        self.session.run([OFFLINE, self.site])

    def pack(self, folder):
        """A new release of the site with the pictures of `folder`/images, packed as the build
        packs them: a tar archive, each folder before what it holds."""
        with tarfile.open(os.path.join(self.site, "tumult2d.data"), "w",
                          format=tarfile.USTAR_FORMAT) as archive:
            archive.add(os.path.join(folder, "images"), "images")
        self.rebuilt()

    def emulate(self, width, height, touch=True):
        """From now on, a phone or tablet's screen of `width` x `height` with `touch`, or a
        desktop window of that size without."""
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 1, "mobile": touch})
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {
            "enabled": touch, **({"maxTouchPoints": 5} if touch else {})})

    def open(self, seed):
        """Opens the page with the clock pinned to battle `seed`."""
        if self.clock:
            self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument",
                                        {"identifier": self.clock})
        self.clock = self.before_page(battle.pinned_page_clock(seed))
        self.driver.get(self.url)

    def notice(self, wanted):
        """Waits until the page shows the notice `wanted` over the canvas ("" for none)."""
        shown = [""]

        def shows_it():
            shown[0] = self.driver.execute_script(NOTICE)
            return shown[0] == wanted

        try:
            process.wait_until(30, f"the page to show {wanted!r}", shows_it)
        except CheckFailed as failure:
            raise CheckFailed(f"{failure}; it shows {shown[0]!r}") from None

    def expect_frame(self, expected):
        battle.wait_for_frame(expected, "on the canvas",
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


def battles(session, browser, frame_tool):
    """Three battles, the first as the page opens, the others from its play-again button: each
    shows its frame and ends with Escape (the second with a tap), and the page then offers
    another."""
    browser.open(493)
    for seed in (493, 7, 862):
        expected = battle.render(session, frame_tool, ".", seed)
        if seed != 493:
            browser.driver.execute_script(f"window.pinnedClock = {battle.EPOCH_MS + seed};")
            browser.driver.find_element("id", "again").click()
        browser.notice("")
        browser.expect_frame(expected)
        browser.escape(tap=seed == 7)


def hostile(session, browser, frame_tool):
    """With each hostile set of images packed in place of the shipped ones (a new release of the
    site, which the page kept from the last), the canvas shows exactly the frame tumult2d_frame
    renders from them. A folder stands in for the named pipe, which a browser's file system
    cannot hold."""
    for name, files in zip(("broken", "odd"), battle.hostile_images()):
        files = {image: battle.FOLDER if data is battle.PIPE else data
                 for image, data in files.items()}
        folder = battle.image_folder(session, name, files)
        browser.pack(folder)
        browser.open(battle.SEED)
        browser.expect_frame(battle.render(session, frame_tool, folder))
        browser.escape()


def page(session, browser, frame_tool):
    """Without its data file the page says so. While the game has the keyboard, the arrows,
    Space and Tab reach it and do nothing to the page (made taller than the window), which is
    titled "Tumult 2D"."""
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


def main(site, frame_tool, case):
    frame_tool = os.path.abspath(frame_tool)
    test = {"battles": battles, "hostile": hostile, "page": page}[case]
    return process.run(lambda session: test(session, Browser(session, site), frame_tool))


if __name__ == "__main__":
    process.check_usage(len(sys.argv) == 4 and sys.argv[3] in ("battles", "hostile", "page"),
                        __doc__)
    sys.exit(main(*sys.argv[1:]))
