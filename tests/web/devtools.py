"""A small client of Chromium's DevTools protocol over --remote-debugging-pipe, standard library
only: the browser reads commands on its file descriptor 3 and writes answers and events on 4, each
message one JSON text ended by a NUL byte.

    with Chromium(profile_dir) as browser:
        page = browser.new_page(640, 480)
        page.goto("http://127.0.0.1:8000/")
        png = page.screenshot()

Every wait has a time limit: a browser that stops answering raises TimeoutError, never hangs.
"""
import base64
import fcntl
import json
import os
import subprocess
import threading
import time


class ProtocolError(RuntimeError):
    pass


class Chromium:
    """A headless Chromium with WebGL on SwiftShader, driven through the pipe."""

    def __init__(self, profile_dir, executable="chromium", extra_args=()):
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()
        # The browser's ends move above 4 first, so that putting them on 3 and 4 in the child
        # cannot overwrite one with the other.
        high = [fcntl.fcntl(fd, fcntl.F_DUPFD, 10) for fd in (to_browser_read, from_browser_write)]
        os.close(to_browser_read)
        os.close(from_browser_write)
        to_browser_read, from_browser_write = high

        def child_fds():
            os.dup2(to_browser_read, 3)
            os.dup2(from_browser_write, 4)

        args = [executable, "--headless=new", "--use-angle=swiftshader",
                "--enable-unsafe-swiftshader", "--no-sandbox", "--remote-debugging-pipe",
                "--user-data-dir=" + profile_dir, "--no-first-run", "--no-default-browser-check",
                "--disable-background-networking", "--disable-component-update",
                "--disable-sync", "--disable-dev-shm-usage", "--mute-audio",
                "--window-size=640,480", *extra_args,
                "about:blank"]
        self.process = subprocess.Popen(args, preexec_fn=child_fds, pass_fds=(3, 4),
                                        stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._next_id = 0
        self._lock = threading.Lock()
        self._answers = {}
        self._answered = threading.Condition(self._lock)
        self.events = []  # (session id or None, method, params) of every event, in order
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        pending = b""
        while True:
            try:
                chunk = os.read(self._from_browser, 1 << 16)
            except OSError:
                chunk = b""
            if not chunk:
                with self._lock:
                    self._answers[None] = "closed"
                    self._answered.notify_all()
                return
            pending += chunk
            while b"\0" in pending:
                text, pending = pending.split(b"\0", 1)
                message = json.loads(text)
                if "id" in message:
                    with self._lock:
                        self._answers[message["id"]] = message
                        self._answered.notify_all()
                else:
                    with self._lock:
                        self.events.append((message.get("sessionId"), message["method"],
                                            message.get("params", {})))
                        self._answered.notify_all()

    def send(self, method, params=None, session=None, timeout=30):
        """Sends a command and returns its result; raises ProtocolError on an error answer."""
        with self._lock:
            self._next_id += 1
            ident = self._next_id
        message = {"id": ident, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        with self._lock:
            while ident not in self._answers:
                if None in self._answers:
                    raise ProtocolError("the browser closed the pipe during " + method)
                left = deadline - time.monotonic()
                if left <= 0:
                    raise TimeoutError(method + " got no answer in %g s" % timeout)
                self._answered.wait(left)
            answer = self._answers.pop(ident)
        if "error" in answer:
            raise ProtocolError("%s: %s" % (method, answer["error"].get("message")))
        return answer.get("result", {})

    def wait_event(self, method, session, since, timeout=30):
        """Waits for an event of the session that came as events[since] or later."""
        deadline = time.monotonic() + timeout
        with self._lock:
            while True:
                for event in self.events[since:]:
                    if event[0] == session and event[1] == method:
                        return event[2]
                since = len(self.events)
                left = deadline - time.monotonic()
                if left <= 0 or None in self._answers:
                    raise TimeoutError("no %s within %g s" % (method, timeout))
                self._answered.wait(left)

    def new_page(self, width, height):
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True})
        return Page(self, target, session["sessionId"], width, height)

    def close(self):
        if self.process.poll() is None:
            try:
                self.send("Browser.close", timeout=5)
            except (ProtocolError, TimeoutError, OSError):
                pass
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        for fd in (self._to_browser, self._from_browser):
            try:
                os.close(fd)
            except OSError:
                pass

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


# Keys as the browser reports them: (key, code, Windows virtual key code, text).
KEYS = {
    "Enter": ("Enter", "Enter", 13, "\r"),
    "Escape": ("Escape", "Escape", 27, ""),
    "Left": ("ArrowLeft", "ArrowLeft", 37, ""),
    "Up": ("ArrowUp", "ArrowUp", 38, ""),
    "Right": ("ArrowRight", "ArrowRight", 39, ""),
    "Down": ("ArrowDown", "ArrowDown", 40, ""),
    "Space": (" ", "Space", 32, " "),
    "PageDown": ("PageDown", "PageDown", 34, ""),
    "End": ("End", "End", 35, ""),
}


class Page:
    """One tab at a fixed viewport of CSS pixels at device scale factor 1."""

    def __init__(self, browser, target, session, width, height):
        self.browser = browser
        self.target = target
        self.session = session
        for domain in ("Page", "Runtime", "Log", "Inspector"):
            self.send(domain + ".enable")
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})

    def send(self, method, params=None, timeout=30):
        return self.browser.send(method, params, self.session, timeout)

    def goto(self, url):
        """Opens the address and waits until its page has loaded."""
        since = len(self.browser.events)
        answer = self.send("Page.navigate", {"url": url})
        if answer.get("errorText"):
            raise ProtocolError("cannot open %s: %s" % (url, answer["errorText"]))
        self.browser.wait_event("Page.loadEventFired", self.session, since)

    def reload(self):
        since = len(self.browser.events)
        self.send("Page.reload", {"ignoreCache": False})
        self.browser.wait_event("Page.loadEventFired", self.session, since)

    def evaluate(self, expression, await_promise=False, timeout=30):
        """The value of a JavaScript expression in the page (JSON values only)."""
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": await_promise}, timeout)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            raise ProtocolError("evaluate %r: %s" % (
                expression, details.get("exception", {}).get("description", details.get("text"))))
        return result["result"].get("value")

    def screenshot(self, clip=None):
        """The page as shown, as PNG bytes; clip (x, y, width, height) takes only that part."""
        params = {"format": "png"}
        if clip:
            params["clip"] = dict(zip(("x", "y", "width", "height"), clip), scale=1)
        return base64.b64decode(self.send("Page.captureScreenshot", params)["data"])

    def emulate_phone(self, width, height, ratio):
        """A phone's screen of width x height CSS pixels at ratio device pixels each, with touch
        for input (before the page is opened)."""
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": ratio, "mobile": True})
        self.send("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})

    def click(self, x, y):
        """A left mouse click at CSS pixels of the page."""
        for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": "left",
                                                   "buttons": 1 if kind == "mousePressed" else 0,
                                                   "clickCount": 1})

    def key_down(self, name):
        key, code, vk, text = KEYS[name]
        params = {"type": "keyDown" if text else "rawKeyDown", "key": key, "code": code,
                  "windowsVirtualKeyCode": vk, "nativeVirtualKeyCode": vk}
        if text:
            params.update(text=text, unmodifiedText=text)
        self.send("Input.dispatchKeyEvent", params)

    def key_up(self, name):
        key, code, vk, _ = KEYS[name]
        self.send("Input.dispatchKeyEvent", {"type": "keyUp", "key": key, "code": code,
                                             "windowsVirtualKeyCode": vk,
                                             "nativeVirtualKeyCode": vk})

    def frames(self, count):
        """Waits until the page has drawn count more frames (a held key is seen by the game's next
        update only: on a slow machine frames come further apart than any fixed sleep)."""
        self.evaluate("new Promise(done => { let n = %d; const next = () => --n < 0 ? done(true) :"
                      " requestAnimationFrame(next); next(); })" % count, await_promise=True)

    def press(self, name, seconds=0.1):
        self.key_down(name)
        time.sleep(seconds)
        self.frames(2)
        self.key_up(name)

    def touch_down(self, x, y):
        self.send("Input.dispatchTouchEvent",
                  {"type": "touchStart", "touchPoints": [{"x": x, "y": y, "id": 1}]})
        self._touching = True

    def touch_up(self):
        """Lifts the finger, if one is down."""
        if getattr(self, "_touching", False):
            self._touching = False
            self.send("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})

    def tap(self, x, y, seconds=0.1):
        self.touch_down(x, y)
        time.sleep(seconds)
        self.frames(2)
        self.touch_up()
