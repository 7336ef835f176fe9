#!/usr/bin/env python3
"""Plays the browser build as web_test.py does, on the screens of a phone and a tablet with touch
(Chromium's mobile emulation, fingers sent through the DevTools protocol), and without a network.

Usage: devices_test.py SITE FRAME_TOOL touch|offline   (run from the folder of images/)
       devices_test.py SITE FRAME_TOOL screens FOLDER  (writes the screenshots there)"""

import base64
import os
import sys

from harness import battle, process
from harness.process import CheckFailed
from web_test import OVER, Browser, Server

LEFT, FIRE, MENU = "ArrowLeft", " ", "Escape"  # the keys the on-screen controls press
PRESSED = 0x10000  # a key's code as the game's driver queues a press of it: PRESSED + SDL symbol
SDL_SYMBOL = {LEFT: 276, FIRE: 32, MENU: 27}
# The test's script, run before the page's. It counts the frames the game shows, lets the test
# hold the game's pause between two frames (the timer that ends it is kept until released),
# and logs what the game reads of the keyboard: each key its SDL driver takes from the queue the
# page's key events fill (platforms/web/sdl/SDL_webvideo.c), with the frames shown before it.
WATCH = """window.framesShown = 0; window.gameReads = []; window.heldTimers = null;
const put = CanvasRenderingContext2D.prototype.putImageData;
CanvasRenderingContext2D.prototype.putImageData = function (...args) {
  framesShown++;
  return put.apply(this, args);
};
const setTimer = setTimeout;
window.setTimeout = (call, ms, ...args) =>
  heldTimers ? heldTimers.push(() => call(...args)) : setTimer(call, ms, ...args);
window.releaseTimers = () => {
  heldTimers.splice(0).forEach(call => setTimer(call));
  heldTimers = null;
};
let factory;
Object.defineProperty(window, "Tumult2D", { set: made => { factory = made; }, get: () => game => {
  const watchKeys = () => {
    if (!game.webKeys) return setTimer(watchKeys);
    const queue = game.webKeys.queue;
    queue.shift = () => {
      const key = Array.prototype.shift.call(queue);
      gameReads.push([framesShown, key]);
      return key;
    };
  };
  watchKeys();
  return factory(game);
} });"""
RECT = "const r = arguments[0].getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom];"
# Where the page puts what it shows: the screen, the battle, the room the battle has, the help
# (its words, and whether any are cut off), each control shown, and the page's whole size.
LAYOUT = """const box = element => { const r = element.getBoundingClientRect();
  return [r.left, r.top, r.right, r.bottom]; };
const help = document.getElementById("help");
const room = document.getElementById("field").getBoundingClientRect();
return { screen: [innerWidth, innerHeight], battle: box(document.getElementById("screen")),
  room: [room.width, room.height], help: box(help), words: help.innerText,
  clipped: help.scrollWidth > help.clientWidth || help.scrollHeight > help.clientHeight,
  controls: [...document.querySelectorAll(".controls button")].filter(b => b.offsetParent)
    .map(b => [b.textContent, box(b)]),
  scroll: [document.documentElement.scrollWidth, document.documentElement.scrollHeight] };"""
ABOUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "about.txt")


class Fingers:
    """Touches on the page through the DevTools protocol, each finger by its own id."""

    def __init__(self, browser):
        self.driver = browser.driver

    def centre(self, element):
        left, top, right, bottom = self.driver.execute_script(RECT, element)
        return {"x": (left + right) / 2, "y": (top + bottom) / 2}

    def control(self, key):
        return self.driver.find_element("css selector", f".controls [data-key='{key}']")

    def touch(self, kind, points):
        """touchStart or touchMove sets where the fingers `points` ({id: place}) are; touchEnd
        lifts them."""
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [
            dict(place, id=finger) for finger, place in points.items()]})

    def tap(self, element, finger=9):
        point = {finger: self.centre(element)}
        self.touch("touchStart", point)
        self.touch("touchEnd", point)

    def gestures(self, place):
        """A pinch that would zoom the page in, and a drag that would scroll it, at `place`."""
        x, y = place["x"], place["y"]
        self.touch("touchStart", {1: {"x": x - 5, "y": y}, 2: {"x": x + 5, "y": y}})
        for step in range(1, 9):
            self.touch("touchMove", {1: {"x": x - 5 - 6 * step, "y": y - 6 * step},
                                     2: {"x": x + 5 + 6 * step, "y": y + 6 * step}})
        self.touch("touchEnd", {1: {"x": x - 53, "y": y - 48}, 2: {"x": x + 53, "y": y + 48}})
        self.touch("touchStart", {1: place})
        for step in range(1, 9):
            self.touch("touchMove", {1: {"x": x, "y": y - 25 * step}})
        self.touch("touchEnd", {1: {"x": x, "y": y - 200}})


def reads(driver):
    return [tuple(read) for read in driver.execute_script("return gameReads")]


def between_frames(browser, action):
    """Does `action` while the game waits between two frames, then lets it on; the number of
    frames shown before the next one."""
    driver = browser.driver
    driver.execute_script("heldTimers = []")
    process.wait_until(10, "the game to wait for its next frame",
                       lambda: driver.execute_script("return heldTimers.length > 0"))
    shown = driver.execute_script("return framesShown")
    action()
    driver.execute_script("releaseTimers()")
    return shown


def touch(session, browser, frame_tool):
    """On a phone's screen with touch: the battle is exact; an arrow held while Fire is tapped,
    all within one frame, reaches the game as the keyboard's key events, the arrow held until
    its finger lifts; a pinch or a drag neither zooms nor scrolls the page; a tap on Menu that
    begins and ends within one frame ends the battle, and a tap on Play again starts the next,
    exact too."""
    browser.emulate(390, 844)
    browser.before_page(WATCH)
    browser.open(battle.SEED)
    browser.expect_frame(battle.render(session, frame_tool, "."))
    driver, fingers = browser.driver, Fingers(browser)
    arrow, fire = fingers.centre(fingers.control(LEFT)), fingers.centre(fingers.control(FIRE))

    def hold_arrow_tap_fire():
        fingers.touch("touchStart", {1: arrow})
        fingers.touch("touchStart", {1: arrow, 2: fire})
        fingers.touch("touchEnd", {2: fire})

    frame = between_frames(browser, hold_arrow_tap_fire)
    wanted = [(frame, PRESSED + SDL_SYMBOL[LEFT]), (frame, PRESSED + SDL_SYMBOL[FIRE]),
              (frame, SDL_SYMBOL[FIRE])]
    process.wait_until(10, "the frames after it", lambda: driver.execute_script(
        "return framesShown") > frame + 5)
    if reads(driver) != wanted:
        raise CheckFailed(f"the game read (frames shown before, key) {reads(driver)}, not {wanted}")
    fingers.touch("touchEnd", {1: arrow})
    process.wait_until(10, "the arrow's release to reach the game",
                       lambda: len(reads(driver)) > 3)
    later = reads(driver)[3:]
    if [key for _, key in later] != [SDL_SYMBOL[LEFT]] or later[0][0] <= frame + 5:
        raise CheckFailed(f"after the arrow's finger lifted the game read {later}")

    for place in (fingers.centre(driver.find_element("id", "screen")), arrow):
        fingers.gestures(place)
    view = driver.execute_script("return [visualViewport.scale, visualViewport.offsetTop, scrollY]")
    if view != [1, 0, 0]:
        raise CheckFailed(f"after a pinch and a drag the page has [zoom, offset, scrollY] = {view}")

    menu = fingers.control(MENU)
    between_frames(browser, lambda: fingers.tap(menu))
    browser.notice(OVER)
    driver.execute_script(f"window.pinnedClock = {battle.EPOCH_MS + 7};")
    fingers.tap(driver.find_element("id", "again"))
    browser.notice("")
    browser.expect_frame(battle.render(session, frame_tool, ".", 7))


def controls_told():
    """data/about.txt's controls: (name, keys, what it does) of each."""
    with open(ABOUT) as about:
        fields = [[field.strip() for field in line.split("|")] for line in about]
    return [(name, keys, does) for kind, name, keys, _, does, *_ in
            (line + [""] * 5 for line in fields) if kind == "control"]


def check_layout(driver, touch):
    """The battle, the help and the controls each whole on the screen, none over the battle,
    the battle as large as its room allows at 4:3, nothing to scroll; the help in the device's
    words, about each control as data/about.txt tells it."""
    layout = driver.execute_script(LAYOUT)
    width, height = layout["screen"]
    battle_box, room = layout["battle"], layout["room"]
    inside = [name for name, (left, top, right, bottom) in
              [("battle", battle_box), ("help", layout["help"])] + layout["controls"]
              if left < 0 or top < 0 or right > width + 0.5 or bottom > height + 0.5]
    over = [name for name, box in [("help", layout["help"])] + layout["controls"]
            if overlap(box, battle_box)]
    size = [battle_box[2] - battle_box[0], battle_box[3] - battle_box[1]]
    fills = abs(size[0] - room[0]) < 1 or abs(size[1] - room[1]) < 1
    words = layout["words"].lower()
    told = all((name if touch else keys).lower() in words and does in words and
               (keys if touch else name).lower() not in words
               for name, keys, does in controls_told())
    shown = len(layout["controls"]) == (7 if touch else 0)
    if (inside or over or not fills or abs(size[0] * 3 - size[1] * 4) > 4 or layout["clipped"]
            or layout["scroll"] != [width, height] or not told or not shown):
        raise CheckFailed(f"at {width}x{height} (touch: {touch}) out of the screen: {inside},"
                          f" over the battle: {over}, battle {size} in a room of {room},"
                          f" help clipped: {layout['clipped']}, page {layout['scroll']},"
                          f" help {layout['words']!r}, {len(layout['controls'])} controls shown")


def overlap(one, other):
    return one[0] < other[2] and other[0] < one[2] and one[1] < other[3] and other[1] < one[3]


def full_screen(browser):
    """The fullscreen control, touched, puts the game on the whole screen; touched again, it
    brings back the page as it was."""
    driver, fingers = browser.driver, Fingers(browser)
    before = driver.execute_script(LAYOUT)
    button = driver.find_element("id", "fullscreen")
    for wanted in ("game", None):
        fingers.tap(button)
        process.wait_until(10, f"the full screen to be {wanted}", lambda: driver.execute_script(
            "return document.fullscreenElement?.id ?? null") == wanted)
    process.wait_until(10, "the page as it was", lambda: driver.execute_script(LAYOUT) == before)


def screens(session, browser, frame_tool, folder):
    """A phone upright and on its side and a tablet, with touch, and a desktop's window: each
    shows the whole battle, exact, and the whole help (checked, and saved as a PNG in `folder`
    to look at); fullscreen comes and goes by touch."""
    os.makedirs(folder, exist_ok=True)
    expected = battle.render(session, frame_tool, ".")
    for width, height, touch in ((390, 844, True), (844, 390, True), (1024, 768, True),
                                 (1024, 768, False)):
        browser.emulate(width, height, touch)
        browser.open(battle.SEED)
        browser.expect_frame(expected)
        check_layout(browser.driver, touch)
        shot = browser.driver.execute_cdp_cmd("Page.captureScreenshot", {"format": "png"})
        with open(os.path.join(folder, f"{width}x{height}{'-touch' * touch}.png"), "wb") as png:
            png.write(base64.b64decode(shot["data"]))
        if (width, touch) == (844, True):
            full_screen(browser)


def network(browser, up):
    """Has the server answer or not, and the browser be online or offline."""
    Server.down = not up
    browser.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": not up, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})


def offline(session, browser, frame_tool):
    """After one visit, with the server answering nothing and the browser offline, the page
    opens again and its battle is exact. Back online, a new release of the site (a changed page
    and other pictures) is what the next visit plays, the page and the pictures both."""
    browser.emulate(390, 844)
    browser.open(battle.SEED)
    browser.expect_frame(battle.render(session, frame_tool, "."))
    browser.driver.execute_async_script("navigator.serviceWorker.ready.then(arguments[0])")
    network(browser, up=False)
    browser.open(7)
    browser.notice("")
    browser.expect_frame(battle.render(session, frame_tool, ".", 7))
    network(browser, up=True)
    page = os.path.join(browser.site, "index.html")
    with open(page) as old:
        text = old.read().replace("<title>Tumult 2D</title>", "<title>Tumult 2D, again</title>")
    with open(page, "w") as new:
        new.write(text)
    folder = battle.image_folder(session, "odd", battle.hostile_images()[1])
    browser.pack(folder)
    browser.open(battle.SEED)
    browser.expect_frame(battle.render(session, frame_tool, folder))
    if browser.driver.title != "Tumult 2D, again":
        raise CheckFailed(f"the new release's pictures came with the old page,"
                          f" {browser.driver.title!r}")


def main(site, frame_tool, case, *folder):
    frame_tool = os.path.abspath(frame_tool)
    test = {"touch": touch, "screens": screens, "offline": offline}[case]
    return process.run(lambda session: test(session, Browser(session, site, case == "offline"),
                                            frame_tool, *folder))


if __name__ == "__main__":
    process.check_usage(len(sys.argv) == 4 and sys.argv[3] in ("touch", "offline") or
                        len(sys.argv) == 5 and sys.argv[3] == "screens", __doc__)
    sys.exit(main(*sys.argv[1:]))
