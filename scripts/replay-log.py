#!/usr/bin/env python3
"""Replays a game log into a folder as if the game were writing it now:
every line's timestamp moved to the present, each second's lines written
when that second comes. Lets `tarvik-cli --follow` or `--serve` (or the
window's monitoring) be tried without the game.

    scripts/replay-log.py data/samples/demo/nwclientLog1.txt /tmp/logs \\
        [--from 20:05:00 [--history]] [--seconds 120] [--speed 2]

--from starts at the first line at or after that time of the log (with
--history the lines before it are written at once, dated as long before
now as they were before that line); --seconds stops after that much of the
log; --speed 2 plays twice as fast
(timestamps follow the faster clock, so fights keep their shape but their
gaps shrink).
"""
import argparse
import pathlib
import re
import sys
import time

STAMP = re.compile(rb"\[(Mon|Tue|Wed|Thu|Fri|Sat|Sun) (\w{3}) +(\d{1,2}) (\d\d):(\d\d):(\d\d)\]")
DAYS = ("Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun")
MONTHS = ("Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec")


def seconds_of_day(match):
    return int(match.group(4)) * 3600 + int(match.group(5)) * 60 + int(match.group(6))


def stamp(moment):
    local = time.localtime(moment)
    return ("[%s %s %02d %02d:%02d:%02d]" % (
        DAYS[local.tm_wday], MONTHS[local.tm_mon - 1], local.tm_mday,
        local.tm_hour, local.tm_min, local.tm_sec)).encode("ascii")


def log_seconds(lines):
    """Seconds since the log's first stamp for each line (None when undated),
    counting days on where the clock goes back."""
    result = []
    day = 0
    last = None
    for line in lines:
        match = STAMP.search(line)
        if not match:
            result.append(None)
            continue
        second = seconds_of_day(match)
        if last is not None and second < last - 3600:
            day += 1
        last = second
        result.append(day * 86400 + second)
    return result


def parse_clock(text):
    parts = [int(p) for p in text.split(":")]
    while len(parts) < 3:
        parts.append(0)
    return parts[0] * 3600 + parts[1] * 60 + parts[2]


def replay(source, folder, start=None, seconds=None, speed=1.0, name="nwclientLog1.txt",
           history=False, out=sys.stderr):
    lines = pathlib.Path(source).read_bytes().splitlines(keepends=True)
    moments = log_seconds(lines)
    first = 0
    if start is not None:
        first = next((i for i, m in enumerate(moments) if m is not None and m % 86400 >= start),
                     len(lines))
    dated = [m for m in moments[first:] if m is not None]
    if not dated:
        raise SystemExit("no dated line to replay")
    origin = dated[0]
    began = time.time()
    target = pathlib.Path(folder) / name
    target.parent.mkdir(parents=True, exist_ok=True)
    skip = 0 if history else first
    with open(target, "ab", buffering=0) as log:
        for line, moment in zip(lines[skip:], moments[skip:]):
            if moment is not None:
                offset = (moment - origin) / speed
                if seconds is not None and moment - origin > seconds:
                    break
                wait = began + offset - time.time()
                if wait > 0:
                    time.sleep(wait)
                line = STAMP.sub(stamp(began + offset), line, count=1)
            log.write(line)
    print("replayed %s into %s" % (source, target), file=out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("log")
    parser.add_argument("folder")
    parser.add_argument("--from", dest="start", help="HH:MM[:SS] of the log to start at")
    parser.add_argument("--history", action="store_true",
                        help="write the lines before --from at once")
    parser.add_argument("--seconds", type=float, help="how much of the log to play")
    parser.add_argument("--speed", type=float, default=1.0)
    parser.add_argument("--name", default="nwclientLog1.txt", help="the log's name in the folder")
    args = parser.parse_args()
    if args.speed <= 0:
        parser.error("--speed must be above 0")
    replay(args.log, args.folder, parse_clock(args.start) if args.start else None, args.seconds,
           args.speed, args.name, args.history)


if __name__ == "__main__":
    main()
