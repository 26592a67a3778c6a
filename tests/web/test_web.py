"""The browser game as a player meets it, in headless Chromium: the site is served on 127.0.0.1,
the page opened at 640 x 480 CSS pixels (device scale factor 1, the desktop window's size) and
played with key and touch events through the DevTools protocol; then on a phone held upright, and
inside another site's page. The last line of the output is "web: N passed, M failed".

    python3 test_web.py --site build-web/site --menu desktop-menu.png [--shots DIR]

--menu is the desktop game's main menu at 640 x 480, fresh state (no score in the tables). The
phone's menu is compared with the menu of a plain page of the game's narrowest shape, 1170 x 1300
pixels (the first check ties that page's menu to the desktop's).
Each check waits for what it needs with a time limit; a check that fails does not stop the next.
"""
import argparse
import base64
import contextlib
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import traceback

from devtools import Chromium
import pictures

# Regions of the 640 x 480 screen: the score table of the main menu, the score digits above the
# play field, the left part of the pause button at the top left (dimmed once the game is over;
# the ball's bounce reaches the rest of it, so a still game would never look still there), the
# ball's column at the left of the play field, and the pause box.
TABLE = (500, 55, 140, 175)
MENU_WITHOUT_TABLE = (0, 0, 500, 480)
SCORE = (250, 2, 130, 28)
PAUSE_BUTTON = (0, 0, 12, 32)
BALL = (0, 50, 90, 190)
PAUSE_BOX = (180, 170, 280, 130)
PLAY_BUTTON = (250, 312)

MENU_TOLERANCE = 0.01  # share of pixels that may differ from the desktop's menu

# A phone held upright: 390 x 844 CSS pixels at 3 device pixels each, touch only. The game keeps
# its narrowest shape, 9 : 10, between bands: 1170 x 1300 device pixels in the middle.
PHONE = (390, 844, 3)
UPRIGHT_VIEW = (0, 616, 1170, 1300)

# The site in another origin's page, as a game portal shows it: the portal's page is taller than
# its window, so keys it receives would scroll it.
PORTAL_PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>A portal</title><link rel="icon" href="data:,">
<style>body { margin: 0; height: 4000px; background: #ddd; }
iframe { position: absolute; left: %dpx; top: %dpx; width: 640px; height: 480px; border: 0; }
</style></head>
<body><iframe src="%s" allow="fullscreen; gamepad; autoplay"></iframe></body></html>
"""
PORTAL_FRAME = (20, 30, 640, 480)

# Games a check plays for one that scores. A control held from an arbitrary moment of the ball's
# bounce meets the first spike in about one game in four (a player's luck, not a fault): with
# three games a check failed about once in sixty runs; with six, about once in four thousand.
SCORING_GAMES = 6

# The share of the pixels of box (x, y, width, height) of picture a that differ from picture b (of
# the box's size) by more than 48 in a channel, worked out by the browser (large pictures).
COMPARE_JS = """
(async (a, b, box) => {
  const load = async (data) => createImageBitmap(
      await (await fetch('data:image/png;base64,' + data)).blob(),
      {colorSpaceConversion: 'none', premultiplyAlpha: 'none'});
  const [first, second] = await Promise.all([load(a), load(b)]);
  const [x, y, w, h] = box;
  if (second.width !== w || second.height !== h || first.width < x + w || first.height < y + h)
    return 1;
  const pixels = (image, left, top) => {
    const context = new OffscreenCanvas(w, h).getContext('2d');
    context.drawImage(image, left, top, w, h, 0, 0, w, h);
    return context.getImageData(0, 0, w, h).data;
  };
  const p = pixels(first, x, y), q = pixels(second, 0, 0);
  let bad = 0;
  for (let i = 0; i < p.length; i += 4) {
    if (Math.abs(p[i] - q[i]) > 48 || Math.abs(p[i + 1] - q[i + 1]) > 48 ||
        Math.abs(p[i + 2] - q[i + 2]) > 48) bad++;
  }
  return bad / (w * h);
})(%s, %s, %s)
"""


# The site's server: gzip and cache headers as a static host sends them.
SERVER = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(
    __file__)))), "scripts", "serve_web.py")


@contextlib.contextmanager
def serve(site):
    """Serves the folder on a free port of 127.0.0.1; yields (url, server process)."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    server = subprocess.Popen([sys.executable, SERVER, site, "--bind", "127.0.0.1",
                               "--port", str(port)],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 10
        while True:
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                break
            except OSError:
                if time.monotonic() > deadline or server.poll() is not None:
                    raise RuntimeError("the web server did not start")
                time.sleep(0.05)
        yield "http://127.0.0.1:%d/" % port, server
    finally:
        server.terminate()
        server.wait(10)


def shoot(page):
    return pictures.decode_png(page.screenshot())


def wait_for(page, accept, seconds, what):
    """Takes screenshots until accept(picture) holds; returns that picture."""
    deadline = time.monotonic() + seconds
    while True:
        picture = shoot(page)
        if accept(picture):
            return picture
        if time.monotonic() > deadline:
            raise AssertionError("no %s within %g s" % (what, seconds))
        time.sleep(0.1)


def is_menu(reference, box=None):
    return lambda picture: pictures.differing(picture, reference, box) < MENU_TOLERANCE


def over(start):
    """Whether the game of the picture start is over: its white pause button dims (or is gone)."""
    ring = pictures.bright(start, PAUSE_BUTTON)
    return lambda picture: pictures.bright(picture, PAUSE_BUTTON) < ring * 0.3


def scored(start):
    """Whether a picture shows the game of the picture start still in play, with another score."""
    ended = over(start)
    return lambda picture: (pictures.differing(picture, start, SCORE) > 0.02 and
                            not ended(picture))


class Run:
    """Counts the checks and keeps the pictures of the steps (when a folder is given)."""

    def __init__(self, shots):
        self.passed = self.failed = 0
        self.shots = shots

    def check(self, name, body):
        try:
            body()
        except Exception as error:  # every failure is reported, and the next check still runs
            self.failed += 1
            print("FAIL - %s: %s" % (name, error or type(error).__name__))
            if not isinstance(error, AssertionError):
                traceback.print_exc(limit=3)
        else:
            self.passed += 1
            print("ok - " + name)
        sys.stdout.flush()

    def save(self, page, name):
        if self.shots:
            with open(os.path.join(self.shots, name + ".png"), "wb") as out:
                out.write(page.screenshot())


def console_errors(events):
    errors = []
    for _, method, params in events:
        if method == "Runtime.consoleAPICalled" and params.get("type") == "error":
            errors.append("console.error: " + " ".join(
                str(arg.get("value", arg.get("description", ""))) for arg in params["args"]))
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            errors.append("exception: " + details.get("exception", {}).get(
                "description", details.get("text", "")))
        elif method == "Inspector.targetCrashed":
            errors.append("the page crashed")
        elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
            entry = params["entry"]
            errors.append("log: %s %s" % (entry.get("text"), entry.get("url", "")))
    return errors


def downloads(events, session, since=0):
    """The page's downloads from the network among events[since:]: [(url, bytes)], bytes as they
    came over the wire (gzipped where the server gzips), headers included; files answered by the
    service worker or the browser's cache are left out."""
    urls, done = {}, []
    for event_session, method, params in events[since:]:
        if event_session != session:
            continue
        if method == "Network.responseReceived":
            response = params["response"]
            if not (response.get("fromServiceWorker") or response.get("fromDiskCache") or
                    response.get("fromPrefetchCache")):
                urls[params["requestId"]] = response["url"]
        elif method == "Network.loadingFinished" and params["requestId"] in urls:
            done.append((urls[params["requestId"]], params.get("encodedDataLength", 0)))
    return done


# What the page took from the network before the menu came up (the game's loader through: the
# page's mark "drommel-menu"), by the page's own resource timing: the page and every file whose
# request started before the mark, as transferred (gzipped where the server gzips, headers
# included). Null while the menu is not up.
BYTES_BEFORE_MENU_JS = """
(() => {
  const menu = performance.getEntriesByName('drommel-menu')[0];
  if (!menu) return null;
  let total = 0;
  for (const entry of performance.getEntriesByType('navigation')) total += entry.transferSize;
  for (const entry of performance.getEntriesByType('resource')) {
    if (entry.startTime < menu.startTime) total += entry.transferSize;
  }
  return total;
})()
"""


def image_level(url):
    """The image level of a data file's address (0: not an image)."""
    name = url.rsplit("/", 1)[-1]
    if not name.endswith(".png") or "/data/" not in url:
        return 0
    stem = name.rsplit(".", 2)[0]
    return 4 if stem.endswith("-hd2") else 2 if stem.endswith("-hd") else 1


# The state file as IndexedDB keeps it (Emscripten's IDBFS: one database per mount point, one
# record per file), read through the browser's own IndexedDB API.
SAVED_STATE_JS = """
new Promise((resolve, reject) => {
  const open = indexedDB.open('/save');
  open.onerror = () => reject(open.error);
  open.onsuccess = () => {
    const db = open.result;
    if (!db.objectStoreNames.contains('FILE_DATA')) return resolve(null);
    const get = db.transaction('FILE_DATA').objectStore('FILE_DATA').get('/save/.kestrostate');
    get.onerror = () => reject(get.error);
    get.onsuccess = () => resolve(get.result && get.result.contents ?
        new TextDecoder().decode(get.result.contents) : null);
  };
})
"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--menu", required=True, help="the desktop's main menu, 640 x 480 PNG")
    parser.add_argument("--shots", help="save a screenshot of every step into this folder")
    parser.add_argument("--chromium", default="chromium")
    args = parser.parse_args()
    with open(args.menu, "rb") as file:
        menu = pictures.decode_png(file.read())
    if args.shots:
        os.makedirs(args.shots, exist_ok=True)
    run = Run(args.shots)
    profile = tempfile.mkdtemp(prefix="drommel-chromium-")
    try:
        with serve(args.site) as (url, server), \
                Chromium(profile, args.chromium) as browser:
            page = browser.new_page(640, 480)
            play(run, page, url, menu, server)
            keep_scores(run, browser, args.site, menu)
            # Fresh servers: new origins, so no saved scores and no tab holding the game.
            with serve(args.site) as (plain_url, _), serve(args.site) as (second_url, _), \
                    tempfile.TemporaryDirectory() as portal:
                phone_upright(run, browser, second_url, plain_url)
                in_a_portal(run, browser, second_url.replace("127.0.0.1", "localhost"), menu,
                            portal)
            run.check("the console shows no error", lambda: no_errors(browser.events))
    except Exception as error:
        run.failed += 1
        print("FAIL - the browser run: %s" % error)
        traceback.print_exc(limit=3)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    run.check("a truncated data file shows the message, and its button reaches the menu",
              lambda: truncated_download(args, menu, run))
    print("web: %d passed, %d failed" % (run.passed, run.failed))
    return 1 if run.failed else 0


DOWNLOAD_FAILED = ("The game's files did not download completely. "
                   "Check the connection and try again.")


def truncated_download(args, menu, run):
    """A copy of the site whose title image (drawn by the menu at 640 x 480) is cut in half, as a
    broken connection or deployment leaves it: the page says so in plain words; once the server
    has the whole file, the message's button reaches the full menu."""
    folder = tempfile.mkdtemp(prefix="drommel-site-")
    profile = tempfile.mkdtemp(prefix="drommel-chromium-")
    try:
        site = os.path.join(folder, "site")
        shutil.copytree(args.site, site)
        data = os.path.join(site, "data")
        title = next(name for name in os.listdir(data)
                     if name.startswith("logo-hd.") and name.endswith(".png"))
        whole = os.path.join(data, title)
        with open(whole, "rb") as file:
            content = file.read()
        with open(whole, "wb") as file:
            file.write(content[:len(content) // 2])
        with serve(site) as (url, _), Chromium(profile, args.chromium) as browser:
            page = browser.new_page(640, 480)
            page.goto(url)
            deadline = time.monotonic() + 30
            text = None
            while text != DOWNLOAD_FAILED:
                assert time.monotonic() < deadline, "no message; the overlay says %r" % text
                time.sleep(0.2)
                text = page.evaluate(
                    "document.getElementById('overlay').hidden ? null : "
                    "document.getElementById('overlay-text').textContent")
            run.save(page, "download-failed")
            with open(whole, "wb") as file:
                file.write(content)
            since = len(browser.events)
            page.evaluate("document.getElementById('overlay-button').click()")
            browser.wait_event("Page.loadEventFired", page.session, since)
            wait_for(page, is_menu(menu), 30, "the full menu after Try again")
    finally:
        shutil.rmtree(folder, ignore_errors=True)
        shutil.rmtree(profile, ignore_errors=True)


def no_errors(events):
    errors = console_errors(events)
    first_lines = (error.splitlines()[0][:200] for error in errors[:5])
    assert not errors, "%d: %s" % (len(errors), "; ".join(first_lines))


def other_levels(page, state):
    """The addresses of image files not of level 2 (640 x 480's) the page took from the network."""
    levels = state.get("levels") or {}
    fetched = downloads(page.browser.events, page.session, state.get("since", 0))
    return sorted(url for url, _ in fetched
                  if levels.get(url.split("/", 3)[-1], 0) not in (0, 2))


def play(run, page, url, menu, server):
    state = {}

    def menu_appears():
        start = time.monotonic()
        page.send("Network.enable")
        state["since"] = len(page.browser.events)
        page.goto(url)
        wait_for(page, is_menu(menu), 30, "main menu matching the desktop's")
        state["before menu"] = page.evaluate(BYTES_BEFORE_MENU_JS)
        state["levels"] = page.evaluate(
            "Object.values(DrommelFiles.data).reduce((a, f) => (a[f.url] = f.level, a), {})")
        print("   menu after %.1f s" % (time.monotonic() - start))
        run.save(page, "menu")
    run.check("the menu appears and matches the desktop's", menu_appears)

    def one_level_small_download():
        # 640 x 480 at ratio 1 draws with the "-hd" images (level 2).
        total = state["before menu"]
        print("   %s bytes before the menu" % total)
        assert total is not None and total < 600000, "%s bytes before the menu" % total
        other = other_levels(page, state)
        assert not other, "images of other levels were fetched: %s" % other
    run.check("a first visit fetches one image level and under 0.6 MB before the menu",
              one_level_small_download)

    def enter_starts_and_escape_pauses():
        state["audio before"] = page.evaluate("Module.drommelAudioState()")
        page.press("Enter", 0.08)
        state["audio"] = page.evaluate("Module.drommelAudioState()")
        time.sleep(0.5)
        a = wait_for(page, lambda p: pictures.differing(p, menu) > 0.3, 5, "game")
        run.save(page, "play")
        b = wait_for(page, lambda p: pictures.differing(a, p, BALL) > 0.005, 3,
                     "ball moving in play")
        page.press("Escape")
        wait_for(page, lambda p: pictures.differing(p, b, PAUSE_BOX) > 0.3, 3, "pause box")
        # Once the pause menu has faded in, the ball stands still: three equal pictures in a row.
        seen = []

        def still(picture):
            seen.append(picture)
            return len(seen) >= 3 and all(
                pictures.differing(picture, earlier, BALL) == 0 for earlier in seen[-3:-1])
        wait_for(page, still, 4, "ball standing still")
        run.save(page, "pause")
        page.press("Escape")  # back to play
        time.sleep(0.3)
        state["in play"] = True
    run.check("Enter starts a game and Escape pauses", enter_starts_and_escape_pauses)

    def audio_runs():
        deadline = time.monotonic() + 3
        while state.get("audio") != "running" and time.monotonic() < deadline:
            time.sleep(0.1)
            state["audio"] = page.evaluate("Module.drommelAudioState()")
        assert state.get("audio") == "running", "audio is %r" % state.get("audio")
        # Headless Chromium may let audio start without a gesture, so it may have run before.
        print("   audio before the first key: %s" % state.get("audio before"))
    run.check("the audio runs after the first key", audio_runs)

    def play_until_scored(start_game, hold, let_go, control):
        """Plays games with the control held until one scores, and returns with the control still
        held in that game: a game may end on the first spike, as it may for a player."""
        for _ in range(SCORING_GAMES):
            start = start_game()
            hold()
            picture = wait_for(page, lambda p: scored(start)(p) or over(start)(p), 10,
                               "new score or end of the game while %s is held" % control)
            if scored(start)(picture):
                return
            let_go()
            wait_for(page, is_menu(menu, MENU_WITHOUT_TABLE), 15, "menu after a game")
        raise AssertionError("%d games with %s held ended without a point" %
                             (SCORING_GAMES, control))

    def settled_game(what):
        """The game's picture once it has come in: the score and the pause button stand still."""
        previous = [wait_for(page, lambda p: pictures.differing(p, menu) > 0.3, 5, what)]

        def still(picture):
            before, previous[0] = previous[0], picture
            return (pictures.differing(picture, before, SCORE) == 0 and
                    pictures.differing(picture, before, PAUSE_BUTTON) == 0)
        return wait_for(page, still, 5, what + " coming to rest")

    def start_with_enter():
        if not state.pop("in play", False):  # else the game Enter started above, back from pause
            page.press("Enter", 0.08)
        return settled_game("game")

    def right_scores():
        try:
            play_until_scored(start_with_enter, lambda: page.key_down("Right"),
                              lambda: page.key_up("Right"), "Right")
            run.save(page, "scored")
            # Held on, the ball sooner or later lands on a point: the game is over.
            state["after"] = wait_for(page, is_menu(menu, MENU_WITHOUT_TABLE), 30,
                                      "end of the game while Right is held")
        finally:
            page.key_up("Right")
    run.check("a held Right scores", right_scores)

    def score_in_table_after_reload():
        after = state.get("after") or wait_for(page, is_menu(menu, MENU_WITHOUT_TABLE), 5,
                                                "menu after the game")
        assert pictures.differing(after, menu, TABLE) > 0.002, "no score in the table"
        run.save(page, "menu-with-score")
        page.reload()
        reloaded = wait_for(page, is_menu(menu, MENU_WITHOUT_TABLE), 30, "menu after reload")
        assert pictures.differing(reloaded, after, TABLE) < 0.002, \
            "the table after the reload differs from the one before"
        saved = page.evaluate(SAVED_STATE_JS, await_promise=True)
        assert saved, "no .kestrostate in IndexedDB"
        print("   IndexedDB holds /save/.kestrostate, %d bytes" % len(saved))
    run.check("after a game with points, a reload shows the score in the table",
              score_in_table_after_reload)

    def start_with_tap():
        page.tap(*PLAY_BUTTON)
        return settled_game("game after a tap on play")

    def held_touch_plays():
        try:
            play_until_scored(start_with_tap, lambda: page.touch_down(320, 300), page.touch_up,
                              "a finger")
            run.save(page, "touch-scored")
        finally:
            page.touch_up()
    run.check("a held touch plays", held_touch_plays)

    def starts_offline():
        page.evaluate("navigator.serviceWorker.ready.then(() => true)", await_promise=True,
                      timeout=20)
        deadline = time.monotonic() + 10
        while not page.evaluate("!!navigator.serviceWorker.controller"):
            assert time.monotonic() < deadline, "no service worker controls the page"
            time.sleep(0.1)
        errors = page.send("Page.getInstallabilityErrors")["installabilityErrors"]
        assert not errors, "not installable: %s" % ", ".join(e["errorId"] for e in errors)
        server.terminate()
        server.wait(10)
        page.reload()
        wait_for(page, is_menu(menu, MENU_WITHOUT_TABLE), 30, "menu with the server stopped")
        run.save(page, "offline")
        other = other_levels(page, state)
        assert not other, "images of other levels were fetched at 640 x 480: %s" % other
    run.check("installable, and with the server stopped the page still starts at its level",
              starts_offline)


def differing_large(compare, picture_png, reference_png, box):
    """differing() of a box of a large screenshot against a reference, done by the browser."""
    encode = lambda data: json.dumps(base64.b64encode(data).decode())
    return compare.evaluate(COMPARE_JS % (encode(picture_png), encode(reference_png),
                                          json.dumps(list(box))), await_promise=True)


def settled_menu(page, compare, seconds):
    """The page's picture once the game runs and two pictures a second apart are the same (the
    loading screen always moves)."""
    deadline = time.monotonic() + seconds
    last = None
    while True:
        shot = page.screenshot()
        if last is not None and page.evaluate(
                "document.getElementById('loader').classList.contains('done')"):
            width, height = page.evaluate("[innerWidth, innerHeight]")
            if differing_large(compare, shot, last, (0, 0, width, height)) == 0:
                return shot
        assert time.monotonic() < deadline, "no settled menu within %g s" % seconds
        last = shot
        time.sleep(1)


def phone_upright(run, browser, url, plain_url):
    compare = browser.new_page(64, 64)
    tabs = [compare]

    def upright_shows_the_whole_menu_and_the_hint():
        # Only the newest tab draws: the plain page goes before the phone's opens.
        plain = browser.new_page(UPRIGHT_VIEW[2], UPRIGHT_VIEW[3])
        plain.goto(plain_url)
        upright_menu = settled_menu(plain, compare, 40)
        run.save(plain, "menu-narrowest")
        browser.send("Target.closeTarget", {"targetId": plain.target})
        page = browser.new_page(PHONE[0], PHONE[1])
        tabs.append(page)
        page.emulate_phone(*PHONE)
        page.goto(url)
        deadline = time.monotonic() + 40
        while True:
            shot = page.screenshot()
            share = differing_large(compare, shot, upright_menu, UPRIGHT_VIEW)
            if share < MENU_TOLERANCE:
                break
            assert time.monotonic() < deadline, \
                "no menu matching the desktop's at 9:10 within 40 s (%.1f %% differ)" % (
                    share * 100)
            time.sleep(0.2)
        if run.shots:
            with open(os.path.join(run.shots, "phone-upright.png"), "wb") as out:
                out.write(shot)
        hint = page.evaluate("(() => { const r = document.getElementById('turn-hint')"
                             ".getBoundingClientRect(); return [r.top, r.height]; })()")
        band = (UPRIGHT_VIEW[1] + UPRIGHT_VIEW[3]) / PHONE[2]
        assert hint[1] > 0, "no hint to turn the phone"
        assert hint[0] >= band, "the hint (at %g) is not in the band under the game (%g)" % (
            hint[0], band)
        # Turned: the hint goes.
        page.emulate_phone(PHONE[1], PHONE[0], PHONE[2])
        page.frames(2)
        gone = page.evaluate("document.getElementById('turn-hint').getBoundingClientRect().height")
        assert gone == 0, "the hint stays once the phone is turned"
    run.check("a phone held upright shows the whole menu and a hint to turn it",
              upright_shows_the_whole_menu_and_the_hint)
    for tab in tabs:
        browser.send("Target.closeTarget", {"targetId": tab.target})


def in_a_portal(run, browser, site_url, menu, folder):
    with open(os.path.join(folder, "portal.html"), "w") as out:
        out.write(PORTAL_PAGE % (PORTAL_FRAME[0], PORTAL_FRAME[1], site_url))
    page = browser.new_page(720, 560)
    frame = lambda: pictures.decode_png(page.screenshot(PORTAL_FRAME))

    def wait_frame(accept, seconds, what):
        deadline = time.monotonic() + seconds
        while True:
            picture = frame()
            if accept(picture):
                return picture
            assert time.monotonic() < deadline, "no %s within %g s" % (what, seconds)
            time.sleep(0.1)

    def a_click_gives_the_game_the_keys_and_the_portal_stays_put():
        with serve(folder) as (portal_url, _):
            page.goto(portal_url + "portal.html")
            wait_frame(is_menu(menu), 40, "menu in the portal's frame")
            # Between the title and the carousel: nothing there reacts to a click.
            page.click(PORTAL_FRAME[0] + 250, PORTAL_FRAME[1] + 210)
            page.frames(2)
            page.press("Enter", 0.08)
            start = wait_frame(lambda p: pictures.differing(p, menu) > 0.3, 5, "game")
            # Untouched, the ball bounces in place and the game neither scores nor ends: a new
            # score or the game's end (on the first spike, see SCORING_GAMES) shows that the held
            # Right plays.
            try:
                page.key_down("Right")
                for key in ("Space", "PageDown", "End", "Down"):
                    page.press(key, 0.05)
                wait_frame(lambda p: scored(start)(p) or over(start)(p), 15,
                           "new score or end of the game while Right is held")
            finally:
                page.key_up("Right")
            run.save(page, "portal")
            scrolled = page.evaluate("[window.scrollX, window.scrollY]")
            assert scrolled == [0, 0], "the portal's page scrolled to %s" % scrolled
    run.check("inside another site's page a click gives the game the keys, which play without "
              "scrolling the page", a_click_gives_the_game_the_keys_and_the_portal_stays_put)
    browser.send("Target.closeTarget", {"targetId": page.target})


# ---- Nothing lost: a storage that refuses every write, and a page closed as its game ends ----

# The menu above the storage notice's line at the foot of the page.
MENU_ABOVE_NOTICE = (0, 0, 500, 440)
# The right end of the orange bar that grows from the right edge from the first step of the
# game-over sequence (over the dark red ground).
GAME_OVER_BAR = (620, 259, 20, 10)

# The best scores' digits in the menu's table (one changed digit is a few dozen pixels).
BEST_DIGITS = (596, 70, 44, 160)

NOTICE_JS = "(n => n.hidden ? '' : n.textContent)(document.getElementById('notice'))"
OVERLAY_JS = "(o => o.hidden ? '' : o.textContent)(document.getElementById('overlay'))"


def game_over_begun(page):
    """Whether the game-over bar shows (a picture of its region only, which comes quickly)."""
    _, _, w, h = GAME_OVER_BAR
    picture = pictures.decode_png(page.screenshot(GAME_OVER_BAR))
    orange = sum(1 for y in range(h) for x in range(w)
                 if (lambda r, g, b: r > 130 and 35 < g < 120 and b < 70)(*picture.pixel(x, y)))
    return orange > w * h // 2


def menu_at_rest(page, menu, what):
    """The menu once its best scores stand still (two pictures in a row alike there)."""
    previous = [None]

    def still(picture):
        before, previous[0] = previous[0], picture
        return (is_menu(menu, MENU_WITHOUT_TABLE)(picture) and before is not None and
                pictures.differing(picture, before, BEST_DIGITS) == 0)
    return wait_for(page, still, 30, what)


def start_game(page, menu, menu_box):
    """Enter in the menu until a game shows (a press as the menu comes in may go unseen)."""
    for _ in range(3):
        page.press("Enter", 0.08)
        try:
            return wait_for(page, lambda p: pictures.differing(p, menu, menu_box) > 0.3, 3, "game")
        except AssertionError:
            pass
    raise AssertionError("no game after three presses of Enter")


def visit(browser, url):
    """A new page at the address, loaded again while it says the game is open in another tab (a
    page just closed may hold the one-tab lock a moment longer)."""
    page = browser.new_page(640, 480)
    deadline = time.monotonic() + 20
    page.goto(url)
    while time.monotonic() < deadline:
        if "another tab" in page.evaluate(OVERLAY_JS):
            time.sleep(0.2)
            page.goto(url)
        elif page.evaluate("!!(window.Module && Module.calledRun)"):
            break
        else:
            time.sleep(0.1)
    return page


def end_a_scoring_game(page, menu, menu_box):
    """Plays games with Right held until one has scored; returns with Right held in that game.
    Only the score and the pause button are looked at, pictures of their regions alone, so that a
    loaded machine still sees a score before the game ends."""
    def region(box):
        return pictures.decode_png(page.screenshot(box))

    def whole(box):
        return (0, 0, box[2], box[3])
    for _ in range(SCORING_GAMES):
        start_game(page, menu, menu_box)
        time.sleep(0.3)
        score = region(SCORE)
        ring = pictures.bright(region(PAUSE_BUTTON), whole(PAUSE_BUTTON))
        page.key_down("Right")
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if pictures.differing(region(SCORE), score, whole(SCORE)) > 0.02:
                return
            if pictures.bright(region(PAUSE_BUTTON), whole(PAUSE_BUTTON)) < ring * 0.3:
                break
        page.key_up("Right")
        wait_for(page, is_menu(menu, menu_box), 15, "menu after a game")
    raise AssertionError("%d games with Right held ended without a point" % SCORING_GAMES)


def keep_scores(run, browser, site, menu):
    def full_storage():
        with serve(site) as (url, _):
            page = browser.new_page(640, 480)
            # Before the first visit: the site never had room.
            page.send("Storage.overrideQuotaForOrigin",
                      {"origin": url.rstrip("/"), "quotaSize": 1})
            page.goto(url)
            wait_for(page, is_menu(menu, MENU_ABOVE_NOTICE), 30, "main menu")
            try:
                end_a_scoring_game(page, menu, MENU_ABOVE_NOTICE)
                wait_for(page, is_menu(menu, MENU_ABOVE_NOTICE), 30, "menu after the game")
            finally:
                page.key_up("Right")
            deadline = time.monotonic() + 5
            while not page.evaluate(NOTICE_JS):
                assert time.monotonic() < deadline, "no notice after a failed save"
                time.sleep(0.1)
            notice = page.evaluate(NOTICE_JS)
            print("   notice: " + notice)
            assert "full" in notice, notice
            run.save(page, "storage-full")
            # Play goes on: the next game starts.
            start_game(page, menu, MENU_ABOVE_NOTICE)
            browser.send("Target.closeTarget", {"targetId": page.target})
    run.check("with no room for storage, the page says so and play goes on", full_storage)

    def closed_at_game_over():
        with serve(site) as (url, _):
            page = browser.new_page(640, 480)
            page.goto(url)
            fresh = menu_at_rest(page, menu, "main menu")
            try:
                end_a_scoring_game(page, menu, MENU_WITHOUT_TABLE)
                # Closed right after the first picture with the game-over bar: the picture before
                # had none, so the sequence began at most that long before the close.
                before = time.monotonic()
                deadline = before + 30
                while True:
                    taken = time.monotonic()
                    if game_over_begun(page):
                        break
                    assert taken < deadline, "no GAME OVER within 30 s"
                    before = taken
            finally:
                browser.send("Target.closeTarget", {"targetId": page.target})
            print("   closed at most %.0f ms after GAME OVER appeared" % (
                (time.monotonic() - before) * 1000))
            deadline = time.monotonic() + 10
            while any(t["targetId"] == page.target
                      for t in browser.send("Target.getTargets")["targetInfos"]):
                assert time.monotonic() < deadline, "the page did not close"
                time.sleep(0.05)
            again = visit(browser, url)
            picture = menu_at_rest(again, menu, "menu on return")
            run.save(again, "score-after-close")
            area = BEST_DIGITS[2] * BEST_DIGITS[3]
            assert pictures.differing(picture, fresh, BEST_DIGITS) * area >= 16, \
                "no score in the table"
            saved = again.evaluate(SAVED_STATE_JS, await_promise=True) or ""
            fields = saved.split("|")
            assert len(fields) == 57 and int(fields[35]) > 0, "no score saved: %r" % saved
            print("   the next visit shows the score " + fields[35])
            browser.send("Target.closeTarget", {"targetId": again.target})
    run.check("a page closed as GAME OVER appears keeps the score", closed_at_game_over)


if __name__ == "__main__":
    sys.exit(main())
