#!/usr/bin/env python3
"""Plays the browser build as web_test.py does, on a phone and a tablet with touch, and offline.

Usage: devices_test.py SITE FRAME_TOOL touch|offline   (run from the folder of images/)
       devices_test.py SITE FRAME_TOOL screens FOLDER  (writes the screenshots there)"""

import base64
import os

from harness import battle, process
from harness.process import CheckFailed
from web_test import OVER, Server, main

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


def centre(element):  # in the viewport, as the page does not scroll
    r = element.rect
    return {"x": r["x"] + r["width"] / 2, "y": r["y"] + r["height"] / 2}


def control(driver, key):
    return driver.find_element("css selector", f".controls [data-key='{key}']")


def fingers(driver, kind, points):
    """touchStart or touchMove puts fingers `points` ({id: place}); touchEnd lifts them."""
    driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [
        dict(place, id=finger) for finger, place in points.items()]})


def tap(driver, element):
    for kind in ("touchStart", "touchEnd"):
        fingers(driver, kind, {9: centre(element)})


def gestures(driver, place):
    """A pinch that would zoom the page in, and a drag that would scroll it, at `place`."""
    x, y = place["x"], place["y"]
    fingers(driver, "touchStart", {1: {"x": x - 5, "y": y}, 2: {"x": x + 5, "y": y}})
    for step in range(1, 9):
        fingers(driver, "touchMove", {1: {"x": x - 5 - 6 * step, "y": y - 6 * step},
                                      2: {"x": x + 5 + 6 * step, "y": y + 6 * step}})
    fingers(driver, "touchEnd", {1: {"x": x - 53, "y": y - 48}, 2: {"x": x + 53, "y": y + 48}})
    fingers(driver, "touchStart", {1: place})
    for step in range(1, 9):
        fingers(driver, "touchMove", {1: {"x": x, "y": y - 25 * step}})
    fingers(driver, "touchEnd", {1: {"x": x, "y": y - 200}})


def reads(driver):
    return [tuple(read) for read in driver.execute_script("return gameReads")]


def between_frames(browser, action):
    """`action` while the game waits between two frames; the number of frames shown before."""
    driver = browser.driver
    driver.execute_script("heldTimers = []")
    process.wait_until(10, "the game to wait for its next frame",
                       lambda: driver.execute_script("return heldTimers.length > 0"))
    shown = driver.execute_script("return framesShown")
    action()
    driver.execute_script("releaseTimers()")
    return shown


def touch(session, browser, frame_tool):
    """Touches within one frame reach the game as keys would; the page neither zooms nor scrolls."""
    browser.emulate(390, 844)
    browser.before_page(WATCH)
    browser.open(battle.SEED)
    browser.expect_frame(battle.render(session, frame_tool, "."))
    driver = browser.driver
    arrow, fire = centre(control(driver, LEFT)), centre(control(driver, FIRE))

    def hold_arrow_tap_fire():
        fingers(driver, "touchStart", {1: arrow})
        fingers(driver, "touchStart", {1: arrow, 2: fire})
        fingers(driver, "touchEnd", {2: fire})

    frame = between_frames(browser, hold_arrow_tap_fire)
    wanted = [(frame, PRESSED + SDL_SYMBOL[LEFT]), (frame, PRESSED + SDL_SYMBOL[FIRE]),
              (frame, SDL_SYMBOL[FIRE])]
    process.wait_until(10, "the frames after it", lambda: driver.execute_script(
        "return framesShown") > frame + 5)
    if reads(driver) != wanted:
        raise CheckFailed(f"the game read (frames shown before, key) {reads(driver)}, not {wanted}")
    fingers(driver, "touchEnd", {1: arrow})
    process.wait_until(10, "the arrow's release to reach the game",
                       lambda: len(reads(driver)) > 3)
    later = reads(driver)[3:]
    if [key for _, key in later] != [SDL_SYMBOL[LEFT]] or later[0][0] <= frame + 5:
        raise CheckFailed(f"after the arrow's finger lifted the game read {later}")

    for place in (centre(driver.find_element("id", "screen")), arrow):
        gestures(driver, place)
    view = driver.execute_script("return [visualViewport.scale, visualViewport.offsetTop, scrollY]")
    if view != [1, 0, 0]:
        raise CheckFailed(f"after a pinch and a drag the page has [zoom, offset, scrollY] = {view}")

    menu = control(driver, MENU)
    between_frames(browser, lambda: tap(driver, menu))
    browser.notice(OVER)
    browser.move_clock(7)
    tap(driver, driver.find_element("id", "again"))
    browser.notice("")
    browser.expect_frame(battle.render(session, frame_tool, ".", 7))


def controls_told():  # (name, keys, what it does) of each
    with open("data/about.txt") as about:  # from the source folder, as images/
        fields = [[field.strip() for field in line.split("|")] for line in about]
    return [(name, keys, does) for kind, name, keys, _, does, *_ in
            (line + [""] * 5 for line in fields) if kind == "control"]


def check_layout(driver, touch):
    """All whole on the screen, none over the battle, which fills its room at 4:3; the help in
    the device's words, about each control as data/about.txt tells it."""
    layout = driver.execute_script(LAYOUT)
    width, height = layout["screen"]
    battle_box, room = layout["battle"], layout["room"]
    inside = [name for name, (left, top, right, bottom) in
              [("battle", battle_box), ("help", layout["help"])] + layout["controls"]
              if left < 0 or top < 0 or right > width + 0.5 or bottom > height + 0.5]
    over = [name for name, box in [("help", layout["help"])] + layout["controls"]
            if box[0] < battle_box[2] and battle_box[0] < box[2]
            and box[1] < battle_box[3] and battle_box[1] < box[3]]
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


def full_screen(browser):
    """Touched, the fullscreen control puts the game on the whole screen, then takes it back."""
    driver = browser.driver
    before = driver.execute_script(LAYOUT)
    for wanted in ("game", None):
        tap(driver, driver.find_element("id", "fullscreen"))
        process.wait_for(10, "the full screen", lambda: driver.execute_script(
            "return document.fullscreenElement?.id ?? null"), wanted)
    process.wait_for(10, "the page as it was", lambda: driver.execute_script(LAYOUT), before)


def screens(session, browser, frame_tool, folder):
    """A phone both ways and a tablet with touch, a desktop's window; each saved as a PNG."""
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
    Server.down = not up
    browser.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": not up, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})


def offline(session, browser, frame_tool):
    """Played offline after one visit; back online, a new release's page and pictures both."""
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


if __name__ == "__main__":
    main({"touch": touch, "screens": screens, "offline": offline}, __doc__)
