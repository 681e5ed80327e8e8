#!/usr/bin/env python3
"""tarvik-cli --serve as a process: it prints its address as its only line,
answers its routes (405 for other methods, 421 for other hosts), and its
event stream carries the --follow lines of a log written in two bursts,
ending with a summary equal to what --json prints for the same log.

    serve_check.py --cli build/bin/tarvik-cli [--emulator wine]
"""
import argparse
import http.client
import json
import pathlib
import queue
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

ROOT = pathlib.Path(__file__).resolve().parents[2]
CONFIG = str(ROOT / "data" / "Tarvik.ini")
LOG = (
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:10] Drogo : Initiative Roll : 11 : (4 + 7 = 11)\r\n"
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:10] Brenna Tal has joined the party.\r\n"
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:11] Drogo attacks Duergar Veteran : *hit* : (10 + 19 = 29)\r\n"
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:11] Drogo damages Duergar Veteran: 30 (20 Physical 10 Fire)\r\n"
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:12] Duergar Veteran damages Drogo: 41 (41 Physical)\r\n"
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:12] Duergar Veteran killed Drogo\r\n"
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:13] Brenna Tal damages Duergar Veteran: 22 (22 Divine)\r\n"
    "[CHAT WINDOW TEXT] [Mon Aug  3 20:00:14] Brenna Tal killed Duergar Veteran\r\n"
)
PATIENCE = 60  # seconds for anything to arrive; Wine starts slowly


class Failures:
    def __init__(self):
        self.list = []

    def check(self, condition, what):
        if not condition:
            self.list.append(what)
            print("FAIL " + what)
        return condition


def read_line_within(stream, seconds):
    lines = queue.Queue()
    threading.Thread(target=lambda: lines.put(stream.readline()), daemon=True).start()
    try:
        return lines.get(timeout=seconds)
    except queue.Empty:
        return None


def request(host, port, method, path, host_header):
    connection = http.client.HTTPConnection(host, port, timeout=PATIENCE)
    try:
        connection.putrequest(method, path, skip_host=True, skip_accept_encoding=True)
        if host_header is not None:
            connection.putheader("Host", host_header)
        connection.endheaders()
        response = connection.getresponse()
        return response.status, dict(response.getheaders()), response.read()
    finally:
        connection.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--emulator", help="runs the tool, e.g. wine")
    args = parser.parse_args()
    run = ([args.emulator] if args.emulator else []) + [args.cli]
    failures = Failures()
    folder = pathlib.Path(tempfile.mkdtemp(prefix="tarvik-serve-"))
    once_folder = pathlib.Path(tempfile.mkdtemp(prefix="tarvik-serve-once-"))
    server = None
    try:
        base = run + ["--config", CONFIG, "--autodetect", "--fights", "--targets"]
        once_log = once_folder / "nwclientLog1.txt"
        once_log.write_bytes(LOG.encode("cp1252"))
        once = subprocess.run(base + ["--json", str(once_log)], capture_output=True, timeout=PATIENCE)
        expected = json.loads(once.stdout.decode("utf-8"))

        server = subprocess.Popen(base + ["--serve", "127.0.0.1:0", "--follow", str(folder),
                                          "--for", "12"],
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        first = read_line_within(server.stdout, PATIENCE)
        if not failures.check(first, "no address printed"):
            return 1
        url = urllib.parse.urlsplit(first.decode().strip())
        host, port = url.hostname, url.port
        local = "127.0.0.1:%d" % port
        failures.check(url.scheme == "http" and host == "127.0.0.1" and url.path == "/",
                       "address %r" % first)

        for method, path, host_header, status, type_start in (
                ("GET", "/", local, 200, "text/html"),
                ("GET", "/overlay?rows=5&mode=healing", "localhost:%d" % port, 200, "text/html"),
                ("HEAD", "/", local, 200, "text/html"),
                ("GET", "/api/state", local, 200, "application/json"),
                ("POST", "/api/state", local, 405, "text/plain"),
                ("GET", "/", "attacker.example:%d" % port, 421, "text/plain"),
                ("GET", "/missing", local, 404, "text/plain")):
            got, headers, body = request(host, port, method, path, host_header)
            name = "%s %s (Host %s)" % (method, path, host_header)
            failures.check(got == status, "%s: status %d, not %d" % (name, got, status))
            failures.check(headers.get("Content-Type", "").startswith(type_start),
                           "%s: Content-Type %r" % (name, headers.get("Content-Type")))
            failures.check(not any(h.lower().startswith("access-control") for h in headers),
                           name + ": CORS headers")
            if method == "HEAD":
                failures.check(body == b"", name + ": a body")

        # An address that cannot be taken: a clear message and exit status 1.
        for address, says in (("127.0.0.1:%d" % port, "cannot listen on 127.0.0.1:%d" % port),
                              ("300.1.2.3:0", "300.1.2.3 is not an IP address")):
            taken = subprocess.run(base + ["--serve", address, "--follow", str(once_folder),
                                           "--for", "1"], capture_output=True, timeout=PATIENCE)
            failures.check(taken.returncode == 1 and says in taken.stderr.decode("utf-8", "replace")
                           and taken.stdout == b"",
                           "--serve %s: exit status %d, %r" % (address, taken.returncode,
                                                               taken.stderr[-300:]))

        events = http.client.HTTPConnection(host, port, timeout=PATIENCE)
        events.request("GET", "/events", headers={"Host": local})
        stream = events.getresponse()
        failures.check(stream.status == 200 and
                       stream.getheader("Content-Type") == "text/event-stream",
                       "/events: %d %s" % (stream.status, stream.getheader("Content-Type")))

        # The game writes: a burst that ends in the middle of a line, then the rest.
        log = folder / "nwclientLog1.txt"
        data = LOG.encode("cp1252")
        cut = data.index(b"Drogo: 41") + 4
        log.write_bytes(data[:cut])
        time.sleep(1.5)
        with open(log, "ab") as out:
            out.write(data[cut:])

        messages = []
        event = None
        while True:
            line = stream.readline()
            if not line:
                break
            line = line.decode("utf-8").rstrip("\n")
            if line.startswith("event: "):
                event = line[7:]
            elif line.startswith("data: ") and event is None:
                messages.append(json.loads(line[6:]))
            elif line == "":
                event = None
        types = [m.get("type") for m in messages]
        failures.check("fight" in types and "death" in types,
                       "the stream lacks a fight or a death: %s" % types)
        if failures.check(types and types[-1] == "summary", "no summary at the end: %s" % types):
            summary = dict(messages[-1])
            del summary["type"]
            failures.check(summary == expected, "the summary differs from --json")

        rest, errors = server.communicate(timeout=PATIENCE)
        failures.check(server.returncode == 0, "exit status %d: %s" % (server.returncode, errors))
        failures.check(rest == b"", "more than the address on standard output: %r" % rest[:200])
    finally:
        if server and server.poll() is None:
            server.kill()
            server.wait()
        shutil.rmtree(folder, ignore_errors=True)
        shutil.rmtree(once_folder, ignore_errors=True)
    if not failures.list:
        print("ok tarvik-cli --serve")
    return 1 if failures.list else 0


if __name__ == "__main__":
    sys.exit(main())
