#!/usr/bin/env python3
"""tarvik-cli given what is not a sound log, configuration or output: it must
neither hang nor claim success, and it must say what went wrong.

    bad_input.py --cli build/bin/tarvik-cli
"""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
CONFIG = str(ROOT / "data" / "Tarvik.ini")
SAMPLE = str(ROOT / "data" / "samples" / "nwclientLog1.txt")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    cli = parser.parse_args().cli
    work = pathlib.Path(tempfile.mkdtemp(prefix="tarvik-bad-input-"))
    try:
        return check_all(cli, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def check_all(cli, work):
    empty = work / "empty.txt"
    empty.write_bytes(b"")
    pipe = work / "pipe.txt"
    os.mkfifo(pipe)
    folder = work / "folder"
    folder.mkdir()
    utf16 = work / "utf16.txt"
    utf16.write_bytes(pathlib.Path(SAMPLE).read_bytes().decode("cp1252").encode("utf-16"))
    long_line = work / "long.txt"
    long_line.write_bytes(b"\xe9" * (3 << 20) + b"\r\n")
    gone = work / "gone.txt"
    # Names and lines that carry terminal escape sequences.
    escapes = work / "escapes.txt"
    escapes.write_bytes(b"[CHAT WINDOW TEXT] [Wed Jun 04 23:27:01] \x1b[31mRed Bob\x1b[0m killed Orc\r\n"
                        b"\x1b]0;owned\x07\xc2\x9b2J\r\n")

    # name, arguments, where standard output goes, exit status, texts on standard
    # error, and on standard output when it is read
    cases = [
        ("full disk, text", [SAMPLE], "/dev/full", 1,
         ["the report could not be written: No space left on device."]),
        ("full disk, json", ["--json", SAMPLE], "/dev/full", 1,
         ["the report could not be written: No space left on device."]),
        ("empty log, text", [str(empty)], None, 1,
         ["Log file [empty.txt] holds no lines; the analysis stopped."]),
        ("empty log, json", ["--json", str(empty)], None, 1,
         ["Log file [empty.txt] holds no lines; the analysis stopped."]),
        ("pipe as log", [str(pipe), SAMPLE], None, 1,
         [f"{pipe} is not a regular file (a folder, pipe or device); skipped."]),
        ("folder as log", [str(folder)], None, 1,
         [f"{folder} is not a regular file (a folder, pipe or device); skipped."]),
        ("folder as configuration", ["--config", str(folder), SAMPLE], None, 2,
         [f"ERROR:  {folder} is not a regular file (a folder, pipe or device)!"]),
        ("pipe as configuration", ["--config", str(pipe), SAMPLE], None, 2,
         [f"ERROR:  {pipe} is not a regular file (a folder, pipe or device)!"]),
        ("utf-16 log", ["--errors", str(utf16)], None, 1,
         ["error 321 - Invalid file format: UTF-16 text is not a log in the game's encoding."]),
        ("one line of megabytes", ["--errors", str(long_line)], None, 0,
         ["long.txt: Line too long (over 64 KB), discarded: " + "\u00e9" * 1000 + "\u2026\n"]),
        ("missing log", [str(gone), SAMPLE], None, 1,
         [f"{gone} was not found and was skipped."]),
        ("escape sequences, text", ["--errors=all", str(escapes)], None, 0,
         ["Invalid/missing date, discarded: \\u001b]0;owned\\u0007\\u009b2J\n"],
         ["== \\u001b[31mRed Bob\\u001b[0m ==\n"]),
    ]
    failures = 0
    for name, args, stdout, status, texts, *out_texts in cases:
        if "--config" not in args:
            args = ["--config", CONFIG] + args
        out = open(stdout, "wb") if stdout else subprocess.PIPE
        try:
            result = subprocess.run([cli, *args], stdout=out, stderr=subprocess.PIPE, timeout=60)
        except subprocess.TimeoutExpired:
            print("FAIL", name, "- did not end")
            failures += 1
            continue
        finally:
            if stdout:
                out.close()
        err = result.stderr.decode("utf-8")
        printed = result.stdout.decode("utf-8") if result.stdout else ""
        problems = []
        # Nothing a log holds may reach the terminal as a control sequence.
        for where, text in (("standard error", err), ("standard output", printed)):
            if any(c in text for c in "\x1b\x07\x9b"):
                problems.append("a control character on " + where)
        for texts_out in out_texts:
            problems += ["missing on standard output: " + text for text in texts_out
                         if text not in printed]
        if result.returncode != status:
            problems.append("exit status %d, expected %d" % (result.returncode, status))
        problems += ["missing on standard error: " + text for text in texts if text not in err]
        if name == "utf-16 log" and "Invalid/missing date" in err:
            problems.append("bad-date lines listed")
        if problems:
            failures += 1
            print("FAIL", name, *problems, "standard error was:", err[:2000], sep="\n  ")
        else:
            print("ok", name)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
