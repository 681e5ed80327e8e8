#!/usr/bin/env python3
"""Compares tarvik-cli's output over the bundled samples with approved files.

    golden.py --cli build/bin/tarvik-cli            check
    golden.py --cli build/bin/tarvik-cli --approve  re-approve after a deliberate change
    golden.py --emulator wine --cli build-windows/bin/tarvik-cli.exe   the Windows build
"""
import argparse
import difflib
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]
HERE = pathlib.Path(__file__).resolve().parent
SAMPLE_FILES = sorted((ROOT / "data" / "samples").glob("*.txt"))
BROKEN_FILES = [HERE / "fixtures" / "broken.txt"]

# The logs are read from copies last written at this moment (local time): a
# line's year follows from its session header, or from its weekday and the
# time its file was written, so the output is the same in any year.
WRITTEN = time.mktime((2026, 7, 31, 12, 0, 0, 0, 0, -1))
WORK = pathlib.Path(tempfile.mkdtemp(prefix="tarvik-golden-"))


def copies(files, folder):
    target = WORK / folder
    target.mkdir()
    result = []
    for source in files:
        copy = target / source.name
        shutil.copyfile(source, copy)
        os.utime(copy, (WRITTEN, WRITTEN))
        result.append(str(copy))
    return result


SAMPLES = copies(SAMPLE_FILES, "samples")
BROKEN = copies(BROKEN_FILES, "fixtures")

# name -> arguments; every case runs with the shipped configuration.
CASES = {
    "samples-autodetect.txt": ["--autodetect", *SAMPLES],
    "samples-autodetect.json": ["--json", "--autodetect", *SAMPLES],
    "samples-marked.txt": ["--user", "aldric voss", "--party", "Mirek the Grey", *SAMPLES],
    "samples-unmarked.json": ["--json", *SAMPLES],
    "broken.txt": ["--autodetect", "--errors", *BROKEN],
    "samples-fights.txt": ["--autodetect", "--fights", "--targets", *SAMPLES],
    "samples-fights.json": ["--json", "--autodetect", "--fights", "--targets", *SAMPLES],
}


def normalise(text):
    text = text.replace(str(WORK) + "/", "")
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
    shutil.rmtree(WORK, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
