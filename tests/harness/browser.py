"""The site served on 127.0.0.1 from this process, and Debian's headless Chromium."""

import functools
import http.server
import shutil
import subprocess
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *_):
        pass


def serve(site, handler=QuietHandler):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                             functools.partial(handler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f"http://127.0.0.1:{server.server_address[1]}/"


def chromium(*arguments, log=None):
    """With `log`, chromedriver's and Chromium's words go there, and the page's console is kept."""
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    for argument in ("--headless=new", "--no-sandbox", "--window-size=1024,700", *arguments):
        options.add_argument(argument)
    if log:  # Chromium's errors go to chromedriver's stderr, which goes to the log
        options.add_argument("--enable-logging=stderr")
        options.add_argument("--log-level=2")
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    service = Service(shutil.which("chromedriver"),
                      log_file=open(log, "ab") if log else subprocess.DEVNULL)
    return webdriver.Chrome(service=service, options=options)


def watch(session, driver, log):
    session.watch("chromedriver", driver.service.process, log)
    session.reports.append((lambda: "the page's console", lambda: (
        f"{entry['level']} {entry['message']}" for entry in driver.get_log("browser"))))
