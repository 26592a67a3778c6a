"""Figures of the browser site: the size of each file, as served and gzipped (level 9), and the
time from opening the page to the main menu in headless Chromium, first visit (fresh profile,
files from the local server) and second visit (files from the service worker's cache).

    python3 measure.py --site build-web/site [--menu docs/menu.png] [--runs 3]

The menu counts as shown when a screenshot matches the desktop's menu picture (--menu); the time
runs from the navigation command to that screenshot, so it includes up to one screenshot's time
(about 0.1 s). The game's own start (main running, Module's status cleared) is given beside it,
from the page's performance timeline.
"""
import argparse
import gzip
import os
import statistics
import tempfile
import time

from devtools import Chromium
import pictures
import test_web

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def sizes(site):
    print("%-24s %10s %10s" % ("file", "bytes", "gzip -9"))
    code = [0, 0]
    for name in sorted(os.listdir(site)):
        path = os.path.join(site, name)
        if not os.path.isfile(path):
            continue
        with open(path, "rb") as file:
            data = file.read()
        packed = len(gzip.compress(data, 9))
        print("%-24s %10d %10d" % (name, len(data), packed))
        if name in ("drommel.js", "drommel.wasm"):
            code[0] += len(data)
            code[1] += packed
    print("%-24s %10d %10d" % ("code (js + wasm)", code[0], code[1]))


def open_to_menu(page, url, menu, reload=False):
    start = time.monotonic()
    if reload:
        page.reload()
    else:
        page.goto(url)
    test_web.wait_for(page, test_web.is_menu(menu, test_web.MENU_WITHOUT_TABLE), 30, "menu")
    shown = time.monotonic() - start
    running = page.evaluate(
        "(performance.getEntriesByName('drommel-running')[0] || {startTime: NaN}).startTime")
    return shown, running / 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--menu", default=os.path.join(ROOT, "docs", "menu.png"))
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    with open(args.menu, "rb") as file:
        menu = pictures.decode_png(file.read())
    sizes(args.site)
    first, second = [], []
    with test_web.serve(args.site) as (url, _):
        for _ in range(args.runs):
            with tempfile.TemporaryDirectory(prefix="drommel-chromium-") as profile, \
                    Chromium(profile) as browser:
                page = browser.new_page(640, 480)
                first.append(open_to_menu(page, url, menu))
                page.evaluate("navigator.serviceWorker.ready.then(() => true)",
                              await_promise=True)
                time.sleep(0.5)
                second.append(open_to_menu(page, url, menu, reload=True))
    for name, runs in (("first visit", first), ("second visit (service worker)", second)):
        print("%s: menu on screen %.2f s (median of %d; %s), game started %.2f s" % (
            name, statistics.median(r[0] for r in runs), len(runs),
            ", ".join("%.2f" % r[0] for r in runs), statistics.median(r[1] for r in runs)))


if __name__ == "__main__":
    main()
