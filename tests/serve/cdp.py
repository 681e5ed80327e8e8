"""A small client for Chromium's DevTools protocol over a pipe
(--remote-debugging-pipe): no websocket, no downloads; Debian's chromium
package is enough. Used by the browser test and the screenshot script."""
import base64
import fcntl
import json
import os
import select
import shutil
import subprocess
import tempfile
import time

BROWSERS = ("chromium", "chromium-browser", "google-chrome")


def find_browser():
    for name in BROWSERS:
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    """A headless browser with one page; every wait is bounded."""

    def __init__(self, executable, width=1280, height=900):
        self.profile = tempfile.mkdtemp(prefix="tarvik-chromium-")
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()
        # The browser reads commands on fd 3 and answers on fd 4; move both
        # out of the way first, as either may be 3 or 4 already.
        def child_fds():
            reads = fcntl.fcntl(to_browser_r, fcntl.F_DUPFD, 10)
            writes = fcntl.fcntl(from_browser_w, fcntl.F_DUPFD, 10)
            os.dup2(reads, 3)
            os.dup2(writes, 4)
        self.process = subprocess.Popen(
            [executable, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--disable-default-apps", "--mute-audio",
             "--hide-scrollbars", "--user-data-dir=" + self.profile,
             "--window-size=%d,%d" % (width, height), "--remote-debugging-pipe", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=child_fds, close_fds=False)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._buffer = b""
        self._next_id = 0
        self.events = []
        targets = self.call("Target.getTargets")["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self.session = self.call("Target.attachToTarget",
                                 {"targetId": page["targetId"], "flatten": True})["sessionId"]
        self.call("Page.enable", session=True)
        self.call("Runtime.enable", session=True)
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False},
                  session=True)

    def close(self):
        try:
            self.call("Browser.close", timeout=5)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("the browser did not answer in time")
            ready, _, _ = select.select([self._from_browser], [], [], left)
            if ready:
                chunk = os.read(self._from_browser, 1 << 16)
                if not chunk:
                    raise RuntimeError("the browser ended")
                self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=False, timeout=30):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = self.session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            reply = self._read_message(deadline)
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})
            self.events.append(reply)

    def navigate(self, url, timeout=30):
        self.call("Page.navigate", {"url": url}, session=True)
        self.wait_for("document.readyState === 'complete'", timeout)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate",
                           {"expression": expression, "returnByValue": True}, session=True)
        if "exceptionDetails" in result:
            raise RuntimeError("script failed: %s" % result["exceptionDetails"])
        return result["result"].get("value")

    def wait_for(self, expression, timeout=20):
        """Polls a script until it is true; raises with the last value when time is up."""
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise TimeoutError("still false after %g s: %s" % (timeout, expression))
            time.sleep(0.1)

    def screenshot(self, path, transparent=False):
        if transparent:
            self.call("Emulation.setDefaultBackgroundColorOverride",
                      {"color": {"r": 0, "g": 0, "b": 0, "a": 0}}, session=True)
        data = self.call("Page.captureScreenshot", {"format": "png"}, session=True)["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))
