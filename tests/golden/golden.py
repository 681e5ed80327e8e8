#!/usr/bin/env python3
"""Compares tarvik-cli's output over the bundled samples with approved files.

    golden.py --cli build/bin/tarvik-cli            check
    golden.py --cli build/bin/tarvik-cli --approve  re-approve after a deliberate change
    golden.py --emulator wine --cli build-windows/bin/tarvik-cli.exe   the Windows build
"""
import argparse
import datetime
import difflib
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
HERE = pathlib.Path(__file__).resolve().parent
SAMPLES = sorted(str(p) for p in (ROOT / "data" / "samples").glob("*.txt"))
BROKEN = [str(HERE / "fixtures" / "broken.txt")]

# name -> arguments; every case runs with the shipped configuration.
CASES = {
    "samples-autodetect.txt": ["--autodetect", *SAMPLES],
    "samples-autodetect.json": ["--json", "--autodetect", *SAMPLES],
    "samples-marked.txt": ["--user", "aldric voss", "--party", "Mirek the Grey", *SAMPLES],
    "samples-unmarked.json": ["--json", *SAMPLES],
    "broken.txt": ["--autodetect", *BROKEN],
}


def normalise(text):
    # The logs carry no year: dates take the current one, "no date yet" the next.
    year = datetime.date.today().year
    for y in (year, year + 1):
        text = text.replace("/%d " % y, "/YYYY ").replace('/%d"' % y, '/YYYY"')
    text = re.sub(r"analyzed in [0-9.]+ second\(s\)", "analyzed in N second(s)", text)
    text = re.sub(r"\([0-9]+ lines per second\.\)", "(N lines per second.)", text)
    return text


def run(command, config, args):
    result = subprocess.run([*command, "--config", config, *args], capture_output=True,
                            timeout=120)
    out = result.stdout.decode("utf-8")
    err = result.stderr.decode("utf-8")
    return normalise("%s--- stderr ---\n%s--- exit status %d ---\n" % (out, err, result.returncode))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--approve", action="store_true")
    parser.add_argument("--emulator", help="runs the tool, as Wine runs a Windows build")
    options = parser.parse_args()
    command = [options.emulator, options.cli] if options.emulator else [options.cli]
    config = str(ROOT / "data" / "Tarvik.ini")
    approved_dir = HERE / "approved"
    failures = 0
    for name, args in CASES.items():
        actual = run(command, config, args)
        # Paths differ between machines; the approved files hold names only.
        actual = actual.replace(str(ROOT) + "/", "")
        path = approved_dir / name
        if options.approve:
            path.write_text(actual, encoding="utf-8")
            print("approved", name)
            continue
        expected = path.read_text(encoding="utf-8") if path.exists() else ""
        if actual != expected:
            failures += 1
            print("MISMATCH", name)
            sys.stdout.writelines(difflib.unified_diff(
                expected.splitlines(True), actual.splitlines(True), "approved/" + name, "actual"))
        else:
            print("ok", name)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
