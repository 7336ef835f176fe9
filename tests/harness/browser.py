"""The browser build as a player meets it: its site served on 127.0.0.1 from this process, and
the page opened in Debian's headless Chromium, driven by Selenium through chromedriver."""

import functools
import http.server
import shutil
import subprocess
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    """Serves a folder without a log line per request, which would bury what matters."""

    def log_message(self, *_):
        pass


class FreshHandler(QuietHandler):
    """Serves every file as not to be kept: the tests rewrite the site's files between loads,
    often within one second, which a cached copy's date could not tell apart."""

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()


def serve(site, handler=QuietHandler):
    """Serves the folder `site` from a thread of this process; the server and its address."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                             functools.partial(handler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f"http://127.0.0.1:{server.server_address[1]}/"


def chromium(*arguments, log=None, **experimental_options):
    """Headless Chromium at 1024x700 with `arguments` and `experimental_options` besides; with
    `log`, chromedriver and Chromium write what they say there, and the page's console is kept
    for driver.get_log("browser")."""
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    for argument in ("--headless=new", "--no-sandbox", "--window-size=1024,700", *arguments):
        options.add_argument(argument)
    if log:  # Chromium's errors go to chromedriver's stderr, which goes to the log
        options.add_argument("--enable-logging=stderr")
        options.add_argument("--log-level=2")
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    for name, value in experimental_options.items():
        options.add_experimental_option(name, value)
    service = Service(shutil.which("chromedriver"),
                      log_file=open(log, "ab") if log else subprocess.DEVNULL)
    return webdriver.Chrome(service=service, options=options)


def watch(session, driver, log):
    """Has the session report on chromedriver, the page's console and its end."""
    session.watch("chromedriver", driver.service.process, log)
    session.report(lambda: "the page's console", lambda: (
        f"{entry['level']} {entry['message']}" for entry in driver.get_log("browser")))
