"""What the web page's browser test and benchmark share: the headless
program with its announced ports, a SCPI line client, and a headless
chromium driven through chromium-driver."""
import os
import shutil
import socket
import subprocess
import tempfile
import sys
import time

SKIP = 77


def start_program(program, settings, *extra):
    """Starts the headless program; returns it with its web and SCPI ports."""
    env = dict(os.environ)
    env.pop("MODLINK_SIM", None)
    process = subprocess.Popen([program, "--headless", "--settings", settings, "--http", "0", "--remote", "0", *extra],
                               stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, env=env)
    deadline = time.monotonic() + 20
    web = remote = None
    lines = []
    while time.monotonic() < deadline and (web is None or remote is None):
        line = process.stderr.readline().decode("utf-8", "replace")
        if not line:
            break
        lines.append(line.rstrip("\n"))
        if line.startswith("web page on port "):
            web = int(line.split()[-1])
        elif line.startswith("remote control on port "):
            remote = int(line.split()[-1])
    if web is None or remote is None:
        process.kill()
        process.wait()
        raise AssertionError("ports not announced; standard error: %r" % lines)
    return process, web, remote


class Scpi:
    def __init__(self, port):
        self.socket = socket.create_connection(("127.0.0.1", port), timeout=5)
        self.file = self.socket.makefile("rb")

    def write(self, line):
        self.socket.sendall(line.encode() + b"\n")

    def query(self, line):
        self.write(line)
        return self.file.readline().decode().strip()

    def close(self):
        self.file.close()
        self.socket.close()


def make_browser(width, height):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                     "--window-size=%d,%d" % (width, height), "--user-data-dir=" + tempfile.mkdtemp()):
        options.add_argument(argument)
    options.binary_location = shutil.which("chromium")
    # The driver's own log tells why it did not come up, where it does not.
    log = os.path.join(tempfile.mkdtemp(), "chromedriver.log")
    try:
        browser = webdriver.Chrome(service=Service(shutil.which("chromedriver"), log_path=log), options=options)
    except Exception:
        if os.path.exists(log):
            with open(log, errors="replace") as text:
                sys.stderr.write("chromedriver's log:\n" + text.read()[-4000:])
        raise
    browser.set_page_load_timeout(20)
    return browser


def enter_namespace(script, tools=()):
    """Re-runs script in a fresh network and mount namespace with only
    loopback up and a private /run, so nothing it starts sees a real network
    or the machine's services. Without root, or without one of the tools,
    the test reports itself skipped."""
    if os.environ.get("G740_WEB_NAMESPACE") == "1":
        return
    if os.geteuid() != 0 or not shutil.which("unshare"):
        print("SKIP: needs root for a private network namespace")
        sys.exit(SKIP)
    for tool in tools:
        if not shutil.which(tool):
            print("SKIP: %s is not installed (scripts/setup installs it)" % tool)
            sys.exit(SKIP)
    shell = "ip link set lo up && mount -t tmpfs tmpfs /run && exec /usr/bin/python3 \"$@\""
    env = dict(os.environ, G740_WEB_NAMESPACE="1")
    sys.exit(subprocess.call(["unshare", "-mn", "--", "/bin/sh", "-c", shell, "sh",
                              os.path.abspath(script)] + sys.argv[1:], env=env))
