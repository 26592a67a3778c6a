"""The browser game as a player meets it, in headless Chromium: the site is served on 127.0.0.1,
the page opened at 640 x 480 CSS pixels (device scale factor 1, the desktop window's size) and
played with key and touch events through the DevTools protocol. The last line of the output is
"web: N passed, M failed".

    python3 test_web.py --site build-web/site --menu desktop-menu.png [--shots DIR]

--menu is the desktop game's main menu at 640 x 480, fresh state (no score in the tables).
Each check waits for what it needs with a time limit; a check that fails does not stop the next.
"""
import argparse
import contextlib
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


@contextlib.contextmanager
def serve(site):
    """Serves the folder on a free port of 127.0.0.1; yields (url, server process)."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    server = subprocess.Popen([sys.executable, "-m", "http.server", "--bind", "127.0.0.1",
                               str(port), "--directory", site],
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
            run.check("the console shows no error", lambda: no_errors(browser.events))
    except Exception as error:
        run.failed += 1
        print("FAIL - the browser run: %s" % error)
        traceback.print_exc(limit=3)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    print("web: %d passed, %d failed" % (run.passed, run.failed))
    return 1 if run.failed else 0


def no_errors(events):
    errors = console_errors(events)
    first_lines = (error.splitlines()[0][:200] for error in errors[:5])
    assert not errors, "%d: %s" % (len(errors), "; ".join(first_lines))


def play(run, page, url, menu, server):
    state = {}

    def menu_appears():
        start = time.monotonic()
        page.goto(url)
        wait_for(page, is_menu(menu), 30, "main menu matching the desktop's")
        print("   menu after %.1f s" % (time.monotonic() - start))
        run.save(page, "menu")
    run.check("the menu appears and matches the desktop's", menu_appears)

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
        for _ in range(3):
            start = start_game()
            hold()
            picture = wait_for(page, lambda p: scored(start)(p) or over(start)(p), 10,
                               "new score or end of the game while %s is held" % control)
            if scored(start)(picture):
                return
            let_go()
            wait_for(page, is_menu(menu, MENU_WITHOUT_TABLE), 15, "menu after a game")
        raise AssertionError("three games with %s held ended without a point" % control)

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
    run.check("installable, and with the server stopped the page still starts", starts_offline)


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
    for _ in range(3):
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
    raise AssertionError("three games with Right held ended without a point")


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
