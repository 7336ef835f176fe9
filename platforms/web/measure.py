#!/usr/bin/python3
"""Measures the browser build as a player meets it, in Debian's headless Chromium with the site
served on 127.0.0.1 from this process: the time from opening the page to its first frame, the
frame rate, how late a 10 ms timer runs while the game plays, and the download gzipped.

  platforms/web/measure.py [--touch] [BUILD_DIR [SECONDS]]   (BUILD_DIR: build-web/ unless given)

With --touch the page is opened as on a phone (390x844, touch), with its on-screen controls."""

import gzip
import os
import statistics
import sys
import time

# The page is served and opened as the browser tests do it, by their harness (and no
# __pycache__ is left in the source tree).
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests"))
from harness import browser  # noqa: E402

# Counts the canvas's updates from the page's start, and with ?timer, a 10 ms timer's delays
# (measured apart: the browser lines the game's own timer up with that one's wake-ups).
PROBE = """window.shown = []; window.late = [];
const put = CanvasRenderingContext2D.prototype.putImageData;
CanvasRenderingContext2D.prototype.putImageData = function (...args) {
  shown.push(performance.now());
  return put.apply(this, args);
};
let last = performance.now();
if (location.search === "?timer") {
  setInterval(() => {
    const now = performance.now();
    late.push(Math.max(0, now - last - 10));
    last = now;
  }, 10);
}"""


def main(build="build-web", seconds="10", touch=False):
    site = os.path.join(build, "site")
    server, url = browser.serve(site)
    driver = browser.chromium()
    try:
        if touch:
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
            driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {
                "enabled": True, "maxTouchPoints": 5})
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PROBE})
        driver.get(url)
        time.sleep(float(seconds))
        shown = driver.execute_script("return shown")
        controls = driver.execute_script("return document.querySelector('.controls').offsetParent")
        driver.get(url + "?timer")
        time.sleep(float(seconds))
        late = driver.execute_script("return late")
    finally:
        driver.quit()
        server.shutdown()
    if len(shown) < 2:
        sys.exit("measure: the page showed fewer than two frames")
    print(f"on-screen controls: {'shown' if controls else 'none'}")
    print(f"first frame: {shown[0]:.0f} ms after the page began to load")
    print(f"frame rate: {(len(shown) - 1) * 1000 / (shown[-1] - shown[0]):.1f} per second"
          f" over {len(shown)} frames")
    print(f"10 ms timer: {statistics.mean(late):.2f} ms late on average,"
          f" {max(late):.1f} ms at most")
    names = ("index.html", "tumult2d.js", "tumult2d.wasm", "tumult2d.data")
    sizes = [len(gzip.compress(open(os.path.join(site, name), "rb").read())) for name in names]
    print(f"download gzipped: {sum(sizes) / 1024:.0f} KB (" +
          ", ".join(f"{name} {size / 1024:.0f} KB" for name, size in zip(names, sizes)) + ")")


if __name__ == "__main__":
    touch = sys.argv[1:2] == ["--touch"]
    arguments = sys.argv[1 + touch:]
    if len(arguments) > 2 or not all(a.isdigit() for a in arguments[1:2]):
        print(__doc__.strip(), file=sys.stderr)
        sys.exit(2)
    main(*arguments, touch=touch)
