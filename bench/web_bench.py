#!/usr/bin/python3
"""The web page's figures against `g740demo --headless --http 0 --remote 0`
on the stand-in module, on loopback:

  - page load to first paint in headless chromium (the browser's own paint
    timing), median of 20 loads;
  - a SCPI change until the page shows it: the SCPI line is sent, then the
    page is watched frame by frame until its field holds the new value;
    median of 50 changes (includes one WebDriver call, so it is an upper
    bound);
  - the idle cost of 50 open pages: 50 event streams held open for 30 s,
    the program's CPU time over that span from /proc.

Usage: web_bench.py PATH_TO_G740DEMO
"""
import os
import socket
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from webpage import Scpi, make_browser, start_program  # noqa: E402

PROGRAM = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else "g740demo"


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def first_paint(browser, url, loads=20):
    times = []
    for _ in range(loads):
        browser.get("about:blank")  # each load paints from nothing
        browser.get(url)
        # The paint entry may be recorded a frame after the load ends.
        paint = None
        for _ in range(40):
            paint = browser.execute_script(
                "const p = performance.getEntriesByName('first-contentful-paint')[0]"
                " || performance.getEntriesByName('first-paint')[0]; return p ? p.startTime : null;")
            if paint is not None:
                break
            time.sleep(0.025)
        if paint is not None:
            times.append(paint)
    return times


WATCH = """
const [id, value, done] = arguments;
const field = document.getElementById(id);
const look = () => field.value === value ? done(performance.now()) : requestAnimationFrame(look);
look();
"""


def scpi_to_page(browser, scpi, changes=50):
    browser.set_script_timeout(5)
    times = []
    for i in range(changes):
        khz = 1000 + i
        begin = time.perf_counter()
        scpi.write("FREQ:STAR %d KHZ" % khz)
        browser.execute_async_script(WATCH, "field-StartFrequency", "%d.0000" % khz)
        times.append((time.perf_counter() - begin) * 1000)
    return times


def idle_cost(pid, port, pages=50, seconds=30):
    streams = []
    # One after another, as pages are opened: each stream's first event read.
    for _ in range(pages):
        stream = socket.create_connection(("127.0.0.1", port))
        stream.sendall(b"GET /api/events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
        received = b""
        while b"event: state" not in received or not received.endswith(b"\n\n"):
            received += stream.recv(65536)
        streams.append(stream)
    time.sleep(2)
    before = cpu_seconds(pid)
    time.sleep(seconds)
    used = cpu_seconds(pid) - before
    for stream in streams:
        stream.close()
    return used / seconds * 100


def main():
    with tempfile.TemporaryDirectory() as directory:
        process, port, remote = start_program(PROGRAM, os.path.join(directory, "G740Config.ini"))
        url = "http://127.0.0.1:%d/" % port
        browser = make_browser(1280, 900)
        scpi = Scpi(remote)
        try:
            paints = first_paint(browser, url)
            browser.get(url)
            changes = scpi_to_page(browser, scpi)
            browser.quit()
            browser = None
            idle = idle_cost(process.pid, port)
        finally:
            if browser:
                browser.quit()
            scpi.close()
            process.terminate()
            process.wait(10)
            process.stderr.close()
    print("| figure | median | min | max | goal |")
    print("|---|---|---|---|---|")
    print("| page load to first paint, ms (%d loads) | %.1f | %.1f | %.1f | < 200 |"
          % (len(paints), statistics.median(paints), min(paints), max(paints)))
    print("| SCPI change to page shows it, ms (%d changes) | %.1f | %.1f | %.1f | < 50 |"
          % (len(changes), statistics.median(changes), min(changes), max(changes)))
    print("| 50 open pages, idle CPU %% of a core over 30 s | %.2f | | | < 1 |" % idle)


if __name__ == "__main__":
    main()
