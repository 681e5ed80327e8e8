#!/usr/bin/env python3
"""Screenshots of the live meter during a demo fight replayed into a
followed folder: the overlay over a coloured background (as streaming
software composites it) and the page.

    tests/serve/screenshots.py --cli build/bin/tarvik-cli --out DIR [--wait 40]
"""
import argparse
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parents[1]
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(ROOT / "scripts"))

import cdp  # noqa: E402

replay_log = __import__("replay-log")

# The overlay as a browser source puts it over the game: a frame on a
# coloured page.
FRAME = """<!doctype html><html><head><style>
html, body { margin: 0; height: 100%%; }
body { background: linear-gradient(135deg, #3d6b4f 0%%, #6f8f5a 45%%, #a27b48 100%%); }
iframe { position: absolute; left: 40px; top: 40px; width: %dpx; height: %dpx; border: 0; }
</style></head><body><iframe src="%s" allowtransparency="true"></iframe></body></html>"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--log", default=str(ROOT / "data/samples/demo/nwclientLog1.txt"))
    parser.add_argument("--start", default="20:17:20", help="where in the log the replay starts")
    parser.add_argument("--wait", type=float, default=40, help="seconds of the fight to replay first")
    parser.add_argument("--query", default="rows=8")
    args = parser.parse_args()
    browser_path = cdp.find_browser()
    if not browser_path:
        sys.exit("chromium is not installed")
    out = pathlib.Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    folder = pathlib.Path(tempfile.mkdtemp(prefix="tarvik-shots-"))
    server = subprocess.Popen(
        [args.cli, "--config", str(ROOT / "data/Tarvik.ini"), "--autodetect",
         "--serve", "127.0.0.1:0", "--follow", str(folder)],
        stdout=subprocess.PIPE, text=True)
    try:
        url = server.stdout.readline().strip()
        print("serving", url)
        replay = threading.Thread(target=replay_log.replay, daemon=True, kwargs=dict(
            source=args.log, folder=folder, start=replay_log.parse_clock(args.start),
            seconds=args.wait + 60, history=True))
        replay.start()
        time.sleep(args.wait)
        frame = folder / "frame.html"
        frame.write_text(FRAME % (420, 330, url + "overlay?" + args.query))
        with cdp.Browser(browser_path, width=500, height=410) as browser:
            # The frame's content is another site's to the outer page: see the
            # overlay filled on its own first, then in the frame.
            browser.navigate(url + "overlay?" + args.query)
            browser.wait_for("document.querySelectorAll('#overlay-meter .row').length > 0")
            browser.navigate(frame.as_uri())
            time.sleep(1.5)
            browser.screenshot(str(out / "serve-overlay.png"))
        with cdp.Browser(browser_path, width=1280, height=1000) as browser:
            browser.navigate(url)
            browser.wait_for("document.querySelectorAll('#dealt-meter .row').length > 0 &&"
                             " document.querySelector('#target .target-name') !== null")
            time.sleep(1)
            browser.screenshot(str(out / "serve-page.png"))
        print("saved", out / "serve-overlay.png", "and", out / "serve-page.png")
    finally:
        server.send_signal(signal.SIGTERM)
        server.wait(timeout=30)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
