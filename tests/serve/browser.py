#!/usr/bin/env python3
"""The overlay and the page in a real browser (Debian's chromium, headless)
while the log is written: bars in the right order and widths, the overlay's
options, live changes, and names from the log shown as text, never run as
markup. Exits 77 (skipped) when no chromium is installed.

    browser.py --cli build/bin/tarvik-cli
"""
import argparse
import json
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parents[1]
sys.path.insert(0, str(HERE))

import cdp  # noqa: E402

CONFIG = str(ROOT / "data" / "Tarvik.ini")
# A party member whose name is markup: it must show as these very letters.
EVIL = "<img src=x onerror=window.pwned=1><script>window.pwned=2</script> Vex"
DAYS = ("Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun")
MONTHS = ("Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec")


def stamped(moment, body):
    local = time.localtime(moment)
    return "[CHAT WINDOW TEXT] [%s %s %02d %02d:%02d:%02d] %s\r\n" % (
        DAYS[local.tm_wday], MONTHS[local.tm_mon - 1], local.tm_mday, local.tm_hour,
        local.tm_min, local.tm_sec, body)


def js(value):
    return json.dumps(value)


def texts(selector):
    return "[...document.querySelectorAll(%s)].map(e => e.textContent)" % js(selector)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    args = parser.parse_args()
    browser_path = cdp.find_browser()
    if not browser_path:
        print("SKIPPED: no chromium installed (apt-get install chromium)")
        return 77

    folder = pathlib.Path(tempfile.mkdtemp(prefix="tarvik-browser-"))
    log = folder / "nwclientLog1.txt"
    start = time.time()
    # A fight that runs now: your character, two party members, one enemy.
    log.write_bytes("".join(stamped(start, body) for body in (
        "Drogo : Initiative Roll : 11 : (4 + 7 = 11)",
        "Brenna Tal has joined the party.",
        EVIL + " has joined the party.",
        "Drogo attacks Duergar Veteran : *hit* : (10 + 19 = 29)",
        "Drogo damages Duergar Veteran: 30 (30 Physical)",
        EVIL + " damages Duergar Veteran: 50 (50 Fire)",
        "Brenna Tal damages Duergar Veteran: 10 (10 Divine)",
        "Duergar Veteran damages " + EVIL + ": 20 (20 Physical)",
    )).encode("cp1252"))

    server = subprocess.Popen(
        [args.cli, "--config", CONFIG, "--autodetect", "--serve", "127.0.0.1:0",
         "--follow", str(folder)], stdout=subprocess.PIPE, text=True)
    failures = []

    def check(condition, what):
        if not condition:
            failures.append(what)
            print("FAIL " + what)

    try:
        url = server.stdout.readline().strip()
        with cdp.Browser(browser_path, width=480, height=320) as browser:
            # Two rows of three, larger.
            browser.navigate(url + "overlay?rows=2&scale=1.5")
            browser.wait_for("document.querySelectorAll('#overlay-meter .row').length === 2")
            check(browser.evaluate(texts("#overlay-meter .name")) == [EVIL, "Drogo"],
                  "overlay names: %s" % browser.evaluate(texts("#overlay-meter .name")))
            check(browser.evaluate(texts("#overlay-meter .amount")) == ["50", "30"],
                  "overlay amounts")
            check(browser.evaluate(texts("#overlay-meter .share")) == ["56%", "33%"],
                  "overlay shares (of 90)")
            check(browser.evaluate(texts("#overlay-meter .more")) == ["+1 more"], "+1 more")
            widths = ("[...document.querySelectorAll('#overlay-meter .bar')]"
                      ".map(e => parseFloat(e.style.width))")
            check(browser.evaluate(widths) == [100, 60], "bar widths, the largest full")
            check(browser.evaluate("getComputedStyle(document.documentElement).fontSize") == "21px",
                  "scale 1.5 of 14 px")
            check(browser.evaluate("getComputedStyle(document.body).backgroundColor")
                  == "rgba(0, 0, 0, 0)", "the overlay's background is not transparent")

            # The game writes on: the bars follow.
            with open(log, "ab") as out:
                out.write("".join(stamped(time.time(), body) for body in (
                    "Drogo damages Duergar Veteran: 70 (70 Physical)",
                    "Duergar Veteran killed " + EVIL,
                )).encode("cp1252"))
            browser.wait_for("%s.join() === '100,50'" % texts("#overlay-meter .amount"))
            check(browser.evaluate(widths) == [100, 50], "bar widths after the write")
            check(browser.evaluate("window.pwned === undefined"), "a name ran as script")
            check(browser.evaluate("document.querySelectorAll('img, body script').length") == 0,
                  "a name became an element")

            browser.navigate(url + "overlay?mode=taken")
            browser.wait_for("document.querySelectorAll('#overlay-meter .row').length === 3")
            check(browser.evaluate(texts("#overlay-meter .name"))[0] == EVIL, "taken: first row")
            check(browser.evaluate(texts("#overlay-meter .amount")) == ["20", "0", "0"],
                  "taken amounts")

        with cdp.Browser(browser_path, width=1280, height=900) as browser:
            browser.navigate(url)
            browser.wait_for("document.querySelectorAll('#dealt-meter .row').length === 3")
            check(browser.evaluate("document.getElementById('fight-title').textContent")
                  == "Duergar Veteran", "fight title")
            browser.wait_for("document.querySelector('#death .death-name') !== null")
            check(browser.evaluate("document.querySelector('#death .death-name').textContent")
                  == EVIL, "the death recap's name")
            browser.wait_for("document.querySelector('#target .target-name') !== null")
            check(browser.evaluate("document.querySelector('#target .target-name').textContent")
                  == "Duergar Veteran", "the target card")
            check(browser.evaluate(texts("#target dd"))[0] == "?-29 (1 roll)",
                  "the target's AC: %s" % browser.evaluate(texts("#target dd")))
            check(browser.evaluate("document.querySelectorAll('#fights tr').length") == 1,
                  "one fight in the list")
            browser.wait_for("document.querySelector('#fights tr td:last-child').textContent"
                             " === '1'")
            check(browser.evaluate("window.pwned === undefined"), "a name ran as script")
            check(browser.evaluate("document.querySelectorAll('img, body script').length") == 0,
                  "a name became an element")
    except (TimeoutError, RuntimeError) as error:
        failures.append(str(error))
        print("FAIL " + str(error))
    finally:
        server.send_signal(signal.SIGTERM)
        try:
            server.wait(timeout=30)
        except subprocess.TimeoutExpired:
            server.kill()
            failures.append("tarvik-cli did not end after SIGTERM")
        shutil.rmtree(folder, ignore_errors=True)
    check(server.returncode == 0, "exit status %s" % server.returncode)
    if not failures:
        print("ok the overlay and the page in %s" % browser_path)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
