#!/usr/bin/env python3
"""tarvik-cli --follow as a process: --for, SIGTERM and SIGINT end it with
exit status 0 after a "summary" line equal to what --json prints.

    follow.py --cli build/bin/tarvik-cli
"""
import argparse
import json
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
CONFIG = str(ROOT / "data" / "Tarvik.ini")
LOG = (
    "Messages for: Mon Aug  3 20:00:00 2026\r\n"
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:10] Drogo : Initiative Roll : 11 : (4 + 7 = 11)\r\n"
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:11] Drogo attacks Duergar Veteran : *hit* : (10 + 19 = 29)\r\n"
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:11] Drogo damages Duergar Veteran: 30 (20 Physical 10 Fire)\r\n"
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:14] Drogo killed Duergar Veteran\r\n"
)


def lines_of(output):
    return [json.loads(line) for line in output.decode("utf-8").splitlines() if line.strip()]


def check(name, status, lines, expected):
    failures = []
    if status != 0:
        failures.append("exit status %d" % status)
    if not lines or lines[-1].get("type") != "summary":
        failures.append("no summary at the end")
    else:
        summary = dict(lines[-1])
        del summary["type"]
        if summary != expected:
            failures.append("summary differs from --json")
    if not any(line.get("type") == "fight" for line in lines):
        failures.append("no fight line")
    print(("FAIL %s: %s" % (name, "; ".join(failures))) if failures else "ok " + name)
    return not failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    cli = parser.parse_args().cli
    folder = pathlib.Path(tempfile.mkdtemp(prefix="tarvik-follow-"))
    try:
        log = folder / "nwclientLog1.txt"
        log.write_bytes(LOG.encode("cp1252"))
        base = [cli, "--config", CONFIG, "--autodetect", "--fights", "--targets"]
        once = subprocess.run(base + ["--json", str(log)], capture_output=True, timeout=60)
        expected = json.loads(once.stdout.decode("utf-8"))

        ok = True
        timed = subprocess.run(base + ["--follow", str(folder), "--for", "1"],
                               capture_output=True, timeout=60)
        ok &= check("--for", timed.returncode, lines_of(timed.stdout), expected)

        for sig in (signal.SIGTERM, signal.SIGINT):
            process = subprocess.Popen(base + ["--follow", str(folder)], stdout=subprocess.PIPE)
            first = process.stdout.readline()  # the ended fight: the logs were read
            process.send_signal(sig)
            rest, _ = process.communicate(timeout=60)
            ok &= check(sig.name, process.returncode, lines_of(first + rest), expected)
        return 0 if ok else 1
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
