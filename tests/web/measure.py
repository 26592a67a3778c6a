"""Figures of the browser site: the size of its files (as served, and gzipped where the server
gzips), and what a player waits for, in headless Chromium from a fresh profile with the DevTools
network throttling: a phone (844 x 390 at ratio 3, touch) and a laptop window (640 x 480 at
ratio 1), each on slow 4G (150 ms, 200,000 bytes/s down, 93,750 up), fast 3G (563 ms, 180,000 /
84,375) and 20 Mbit/s (2,500,000 bytes/s each way, no added latency), first visit (cold) and the
visit after (warm: the service worker's copy).

    python3 measure.py --site build-web/site [--devices phone,laptop] [--networks slow4g,...]

For each run: the time from the navigation to the progress bar (the page's first contentful
paint), to the game's first frame (its loading screen: main running), to the menu fully shown
(the first of two equal screenshots after the loading screen, so up to one screenshot's time
late; a phone's ratio-3 frames are slow to draw on this machine's software WebGL), and the bytes
the page took from the network before the menu came up (the game's loader through; its own
resource timing: headers included, gzipped where the server gzips; the service worker's own
fetches come from the browser's cache).
"""
import argparse
import base64
import gzip
import os
import tempfile
import time

from devtools import Chromium
import pictures
import test_web

DEVICES = {"phone": (844, 390, 3, True), "laptop": (640, 480, 1, False)}
NETWORKS = {"slow4g": (150, 200000, 93750), "fast3g": (563, 180000, 84375),
            "20mbit": (0, 2500000, 2500000)}
GZIPPED = (".js", ".wasm", ".html", ".css", ".json", ".webmanifest")


def sizes(site):
    """Bytes as sent (gzip -9 where the server gzips): the code, and the data by image level."""
    code = [0, 0]
    levels = {}
    for folder, _, names in os.walk(site):
        for name in names:
            path = os.path.join(folder, name)
            with open(path, "rb") as file:
                data = file.read()
            sent = len(gzip.compress(data, 9)) if name.endswith(GZIPPED) else len(data)
            if name.startswith("drommel."):
                code[0] += len(data)
                code[1] += sent
                print("%-32s %10d %10d" % (name, len(data), sent))
            elif "/data" in folder:
                level = test_web.image_level("/data/" + name) or "sounds and other"
                levels[level] = levels.get(level, 0) + sent
    print("%-32s %10d %10d" % ("code (js + wasm)", code[0], code[1]))
    for level in sorted(levels, key=str):
        print("data, image level %-14s %10d" % (level, levels[level]))


def small_shot(page, scale):
    """A screenshot at CSS-pixel size (a phone's ratio-3 picture is slow to decode and compare)."""
    result = page.send("Page.captureScreenshot", {"format": "png", "clip": {
        "x": 0, "y": 0, "width": page.width, "height": page.height, "scale": 1 / scale}})
    return pictures.decode_png(base64.b64decode(result["data"]))


def visit(page, url, scale, reload):
    """One visit: (progress bar, first frame, menu, bytes before the menu)."""
    start = time.monotonic()
    if reload:
        page.reload()
    else:
        page.goto(url)
    # The loading screen turns; the menu comes to rest.
    deadline = start + 90
    previous = None
    while True:
        before = time.monotonic()
        shot = small_shot(page, scale)
        running = page.evaluate("performance.getEntriesByName('drommel-running').length > 0")
        if running and previous is not None and pictures.differing(shot, previous[1]) == 0:
            menu = previous[0] - start
            break
        previous = (before, shot) if running else None
        if time.monotonic() > deadline:
            raise AssertionError("no menu within 90 s")
    timing = page.evaluate("""({
        paint: (performance.getEntriesByName('first-contentful-paint')[0] || {}).startTime,
        running: (performance.getEntriesByName('drommel-running')[0] || {}).startTime})""")
    # The page's clock starts at the navigation; the screenshot's at the command.
    fetched = page.evaluate(test_web.BYTES_BEFORE_MENU_JS)
    return (timing.get("paint", float("nan")) / 1000, timing.get("running", float("nan")) / 1000,
            menu, fetched)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--devices", default="phone,laptop")
    parser.add_argument("--networks", default="slow4g,fast3g,20mbit")
    args = parser.parse_args()
    sizes(args.site)
    print("%-7s %-7s %-5s %9s %11s %8s %14s" % ("device", "network", "visit", "bar (s)",
                                                 "frame (s)", "menu (s)", "bytes to menu"))
    with test_web.serve(args.site) as (url, _):
        for device in args.devices.split(","):
            width, height, scale, mobile = DEVICES[device]
            for network in args.networks.split(","):
                latency, down, up = NETWORKS[network]
                with tempfile.TemporaryDirectory(prefix="drommel-chromium-") as profile, \
                        Chromium(profile) as browser:
                    page = browser.new_page(width, height)
                    page.width, page.height = width, height
                    page.send("Emulation.setDeviceMetricsOverride", {
                        "width": width, "height": height, "deviceScaleFactor": scale,
                        "mobile": mobile})
                    if mobile:
                        page.send("Emulation.setTouchEmulationEnabled",
                                  {"enabled": True, "maxTouchPoints": 5})
                    page.send("Network.enable")
                    page.send("Network.emulateNetworkConditions", {
                        "offline": False, "latency": latency, "downloadThroughput": down,
                        "uploadThroughput": up})
                    for visit_name in ("cold", "warm"):
                        if visit_name == "warm":
                            page.evaluate("navigator.serviceWorker.ready.then(() => true)",
                                          await_promise=True, timeout=60)
                            time.sleep(1)
                        bar, frame, menu, fetched = visit(page, url, scale, visit_name == "warm")
                        print("%-7s %-7s %-5s %9.2f %11.2f %8.2f %14s" % (
                            device, network, visit_name, bar, frame, menu, fetched))


if __name__ == "__main__":
    main()
