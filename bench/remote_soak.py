#!/usr/bin/python3
"""Remote control under a hostile client, against the headless program.

One hostile client (chains of settings saves, chains of MEM:CAT? over the
sets, pipelined MEM:STOR, never reading its answers and reconnecting when the
server stops taking its lines) beside seven well-behaved clients that ask
*IDN? one after the other. Then SIGTERM at random moments of the same abuse,
and MEM:CAT? on a quiet program.

Usage: remote_soak.py PATH_TO_G740DEMO [--seconds 60] [--sets 4000] [--kills 10]

Figures: *IDN? round trip median / 99th percentile / maximum, SIGTERM to exit
median / maximum, MEM:CAT? median. Not part of the test suite.
"""
import argparse
import os
import random
import selectors
import signal
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time

SET_PREFIX = "Набор параметров G-740: ".encode("cp1251")


def start_program(program, settings):
    env = dict(os.environ)
    env.pop("MODLINK_SIM", None)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    process = subprocess.Popen([program, "--headless", "--settings", settings, "--remote", "0"],
                               stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, env=env)
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        line = process.stderr.readline().decode("utf-8", "replace")
        if not line:
            break
        if line.startswith("remote control on port "):
            # Standard error must keep draining, or the program blocks on it.
            threading.Thread(target=lambda: process.stderr.read(), daemon=True).start()
            return process, int(line.split()[-1])
    process.kill()
    raise SystemExit("the program announced no port")


def stop_program(process):
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(timeout=30)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def ask(port, line, timeout=60):
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as client:
        client.sendall(line + b"\n")
        answer = b""
        while not answer.endswith(b"\n"):
            chunk = client.recv(1 << 20)
            if not chunk:
                break
            answer += chunk
        return answer


def make_settings(program, directory, sets):
    """A settings file with this many sets, made from one the program stored."""
    path = os.path.join(directory, "G740Config.ini")
    process, port = start_program(program, path)
    ask(port, b'MEM:STOR "seed";*OPC?')
    stop_program(process)
    content = open(path, "rb").read()
    header = b"[" + SET_PREFIX + b"seed]"
    start = content.index(header)
    end = content.find(b"\n[", start + 1)
    section = content[start:] if end < 0 else content[start:end + 1]
    body = section[len(header):]
    if not body.endswith(b"\n"):
        body += b"\r\n"
    parts = [content]
    for i in range(sets):
        parts.append(b"\r\n[" + SET_PREFIX + b"set%05d]" % i + body)
    with open(path, "wb") as file:
        file.write(b"".join(parts))
    return path


class Hostile(threading.Thread):
    """Saves, catalogue chains and stores, never reading; resets and reconnects when blocked."""

    LINES = [
        b"SYST:SETT:SAVE" + b";SAVE" * 13000 + b"\n",
        b"MEM:CAT?" + b";CAT?" * 99 + b"\n",
        b"".join(b'MEM:STOR "h%02d"\n' % (i % 50) for i in range(1000)),
    ]

    def __init__(self, port):
        super().__init__(daemon=True)
        self.port = port
        self.stopping = threading.Event()
        self.connections = 0
        self.refused = 0

    def run(self):
        while not self.stopping.is_set():
            try:
                client = socket.create_connection(("127.0.0.1", self.port), timeout=2)
            except OSError:
                time.sleep(0.05)
                continue
            self.connections += 1
            try:
                for _ in range(100):
                    if self.stopping.is_set():
                        break
                    client.sendall(random.choice(self.LINES))
            except OSError:
                pass  # the server takes no more: a new connection
            finally:
                # Reset, not closed: a graceful close would wait for the
                # server to take the unsent lines, and the old connection
                # would stay open.
                client.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                client.close()


def idn_round_trips(port, clients, seconds):
    """Seven clients, each asking *IDN? as soon as its last answer came."""
    selector = selectors.DefaultSelector()
    sockets = []
    for _ in range(clients):
        client = socket.create_connection(("127.0.0.1", port), timeout=10)
        client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        client.setblocking(False)
        sockets.append(client)
        selector.register(client, selectors.EVENT_READ, {"sent": 0.0, "buffer": b""})
    times = []
    refused = 0
    for client in sockets:
        selector.get_key(client).data["sent"] = time.perf_counter()
        client.sendall(b"*IDN?\n")
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        for key, _ in selector.select(timeout=1):
            data = key.data
            chunk = key.fileobj.recv(65536)
            if not chunk:
                selector.unregister(key.fileobj)
                refused += 1
                continue
            data["buffer"] += chunk
            while b"\n" in data["buffer"]:
                line, data["buffer"] = data["buffer"].split(b"\n", 1)
                if line.startswith(b"busy"):
                    refused += 1
                    continue
                times.append(time.perf_counter() - data["sent"])
                data["sent"] = time.perf_counter()
                key.fileobj.sendall(b"*IDN?\n")
    # A question still unanswered counts with its wait so far.
    now = time.perf_counter()
    stalled = [now - selector.get_key(c).data["sent"] for c in sockets if c.fileno() >= 0 and c in selector.get_map()]
    for client in sockets:
        client.close()
    return times, stalled, refused


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--sets", type=int, default=4000)
    parser.add_argument("--kills", type=int, default=10)
    options = parser.parse_args()
    program = os.path.abspath(options.program)

    with tempfile.TemporaryDirectory() as directory:
        settings = make_settings(program, directory, options.sets)
        pristine = open(settings, "rb").read()

        process, port = start_program(program, settings)
        catalogue = []
        for _ in range(10):
            started = time.perf_counter()
            answer = ask(port, b"MEM:CAT?")
            catalogue.append(time.perf_counter() - started)
        print("MEM:CAT? over %s sets: median %.1f ms (%d bytes)"
              % (answer.split(b",", 1)[0].decode(), statistics.median(catalogue) * 1e3, len(answer)))

        hostile = Hostile(port)
        hostile.start()
        time.sleep(0.5)
        times, stalled, refused = idn_round_trips(port, 7, options.seconds)
        waits = times + stalled
        hostile.stopping.set()
        hostile.join(10)
        print("*IDN? beside a hostile client for %.0f s: %d round trips, median %.2f ms, p99 %.2f ms, max %.1f ms"
              " (unanswered questions counted with their wait: %d); hostile connections %d, well-behaved clients"
              " dropped %d"
              % (options.seconds, len(times), statistics.median(waits) * 1e3, percentile(waits, 0.99) * 1e3,
                 max(waits) * 1e3, len(stalled), hostile.connections, refused))
        alive = process.poll() is None
        stop_program(process)
        print("program alive after the soak: %s, exit code %s" % (alive, process.returncode))

        exits = []
        for _ in range(options.kills):
            with open(settings, "wb") as file:
                file.write(pristine)
            process, port = start_program(program, settings)
            hostile = Hostile(port)
            hostile.start()
            time.sleep(random.uniform(0.3, 1.5))
            started = time.perf_counter()
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout=60)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
            exits.append(time.perf_counter() - started)
            hostile.stopping.set()
            hostile.join(10)
        print("SIGTERM to exit under the same abuse, %d tries: median %.0f ms, max %.0f ms"
              % (len(exits), statistics.median(exits) * 1e3, max(exits) * 1e3))


if __name__ == "__main__":
    sys.exit(main())
