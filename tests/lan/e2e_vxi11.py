#!/usr/bin/python3
"""VXI-11 and discovery judged by clients nobody here wrote: rpcinfo, lxi-tools
and PyVISA's INSTR resource against `g740demo --headless --remote 0`, with a
portmapper (rpcbind) of its own in a private network and mount namespace.
With --mdns: dbus-daemon and avahi-daemon too, on a dummy interface, and
avahi-browse and `lxi discover -m` look for the services (the web page's too).

Needs root (unshare, rpcbind); otherwise it reports itself skipped (77).
Usage: e2e_vxi11.py [--mdns] PATH_TO_G740DEMO PROGRAM_VERSION
"""
import os
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import unittest

SKIP = 77
INSIDE = "G740_E2E_NAMESPACE"
MDNS = "--mdns" in sys.argv
ARGS = [a for a in sys.argv[1:] if a != "--mdns"]
PROGRAM = os.path.abspath(ARGS[0]) if ARGS else "g740demo"
VERSION = ARGS[1] if len(ARGS) > 1 else ""
LAB_ADDRESS = "10.77.0.1"


def skip(reason):
    print("SKIPPED: " + reason)
    sys.exit(SKIP)


def wait_for(check, seconds=10.0, what="condition"):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if check():
            return
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + (what() if callable(what) else what))


def answers(port, host="127.0.0.1"):
    try:
        socket.create_connection((host, port), timeout=0.5).close()
        return True
    except OSError:
        return False


def run(*command, timeout=20, check=True):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
    output = result.stdout.decode("utf-8", "replace")
    if check and result.returncode != 0:
        raise AssertionError("%s failed (%d): %s" % (" ".join(command), result.returncode, output))
    return output


class Daemons:
    """The namespace's own rpcbind (and D-Bus with Avahi)."""

    def __init__(self):
        self.processes = []

    def start_rpcbind(self):
        os.makedirs("/run/rpcbind", exist_ok=True)
        self.rpcbind = subprocess.Popen(["rpcbind", "-w", "-f"])
        self.processes.append(self.rpcbind)
        wait_for(lambda: answers(111), what="rpcbind")

    def stop_rpcbind(self):
        if self.rpcbind in self.processes:
            self.rpcbind.terminate()
            self.rpcbind.wait(timeout=10)
            self.processes.remove(self.rpcbind)

    def start_avahi(self):
        # What an earlier daemon of this namespace left would be taken for a live one.
        for stale in ("/run/dbus/system_bus_socket", "/run/avahi-daemon/pid"):
            if os.path.exists(stale):
                os.remove(stale)
        os.makedirs("/run/dbus", exist_ok=True)
        bus = subprocess.Popen(["dbus-daemon", "--system", "--nofork", "--nopidfile"])
        self.processes.append(bus)
        wait_for(lambda: os.path.exists("/run/dbus/system_bus_socket"), what="D-Bus")
        avahi = subprocess.Popen(["avahi-daemon", "--no-drop-root", "--no-chroot", "--no-rlimits", "-f", self.avahi_config()],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(avahi)
        wait_for(lambda: subprocess.run(["avahi-browse", "-atp"], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, timeout=10).returncode == 0,
                 seconds=20, what="avahi-daemon")

    @staticmethod
    def avahi_config():
        path = "/run/avahi-test.conf"
        with open(path, "w") as config:
            config.write("[server]\nuse-ipv4=yes\nuse-ipv6=no\nallow-interfaces=d0\nhost-name=g740test\n"
                         "[publish]\npublish-workstation=no\n")
        return path

    def stop(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


def unescape(text):
    """avahi-browse -p writes special characters as \\DDD (decimal)."""
    return re.sub(r"\\(\d{3})", lambda match: chr(int(match.group(1))), text)


def start_program(settings, *extra, window=False):
    """The program (headless unless window) on the stand-in module: it, its raw and VXI-11 ports and its lines."""
    env = dict(os.environ)
    # Two modules, so that a second copy finds one of its own.
    env["MODLINK_SIM"] = "slots=0,1"
    env["LANG"] = "C.UTF-8"
    env["QT_QPA_PLATFORM"] = "offscreen"
    front = [] if window else ["--headless"]
    process = subprocess.Popen([PROGRAM, *front, "--settings", settings, "--remote", "0", *extra],
                               stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, env=env)
    deadline = time.monotonic() + 20
    lines, raw, vxi = [], None, None
    while time.monotonic() < deadline:
        line = process.stderr.readline().decode("utf-8", "replace")
        if not line:
            break
        lines.append(line.rstrip("\n"))
        if line.startswith("remote control on port "):
            raw = int(line.split()[-1])
        elif line.startswith("vxi-11 on port "):
            vxi = int(line.split()[-1])
            # The notices follow at once, before the program waits.
            os.set_blocking(process.stderr.fileno(), False)
            time.sleep(0.3)
            rest = process.stderr.read() or b""
            os.set_blocking(process.stderr.fileno(), True)
            lines += rest.decode("utf-8", "replace").splitlines()
            return process, raw, vxi, lines
    process.kill()
    process.wait()
    raise AssertionError("no VXI-11 port announced; standard error: %r" % lines)


def stop_program(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
    process.stderr.close()


def registered_port():
    for line in run("rpcinfo", "-p", "127.0.0.1", check=False).splitlines():
        fields = line.split()
        if len(fields) >= 4 and fields[0] == "395183" and fields[2] == "tcp":
            return int(fields[3])
    return None


class Vxi11EndToEnd(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.daemons = Daemons()
        cls.directory = tempfile.TemporaryDirectory()
        cls.settings = os.path.join(cls.directory.name, "G740Config.ini")

    @classmethod
    def tearDownClass(cls):
        cls.daemons.stop()
        cls.directory.cleanup()

    def tearDown(self):
        if hasattr(self.daemons, "rpcbind"):
            self.daemons.stop_rpcbind()

    def test_1_without_portmapper(self):
        process, raw, vxi, lines = start_program(self.settings)
        try:
            self.assertTrue(any("rpcbind" in line for line in lines), lines)
            # The raw socket still answers, and so does the printed VXI-11 port.
            with socket.create_connection(("127.0.0.1", raw), timeout=5) as client:
                client.sendall(b"*IDN?\n")
                self.assertTrue(client.recv(200).startswith(b"Vektra,G-740,"))
            self.assertTrue(answers(vxi))
        finally:
            stop_program(process)
        self.assertEqual(process.returncode, 0)

    def test_2_clients(self):
        import pyvisa
        self.daemons.start_rpcbind()
        process, raw, vxi, lines = start_program(self.settings)
        try:
            self.assertFalse(any("rpcbind" in line for line in lines), lines)
            self.assertEqual(registered_port(), vxi)
            run("rpcinfo", "-t", "127.0.0.1", "395183", "1")

            idn = "Vektra,G-740,0," + VERSION
            self.assertEqual(run("lxi", "scpi", "-a", "127.0.0.1", "*IDN?").strip(), idn)
            discovered = run("lxi", "discover", "-t", "2", timeout=30)
            self.assertIn("127.0.0.1", discovered)
            self.assertIn(idn, discovered)

            manager = pyvisa.ResourceManager("@py")
            first = manager.open_resource("TCPIP::127.0.0.1::INSTR")
            second = manager.open_resource("TCPIP::127.0.0.1::inst0::INSTR")
            try:
                for inst in (first, second):
                    inst.read_termination = "\n"
                    inst.encoding = "utf-8"
                    inst.timeout = 5000
                self.session(first, second, idn)
            finally:
                first.close()
                second.close()
                manager.close()
            # A second copy finds the entry held and leaves it alone.
            other, _, other_vxi, other_lines = start_program(self.settings)
            stop_program(other)
            self.assertTrue(any(str(vxi) in line for line in other_lines), other_lines)
            self.assertEqual(registered_port(), vxi)
        finally:
            stop_program(process)
        # SIGTERM removes the entry.
        self.assertEqual(process.returncode, 0)
        self.assertIsNone(registered_port())

        # A copy killed outright leaves a stale entry; the next one replaces it.
        process, _, vxi, _ = start_program(self.settings)
        process.kill()
        process.wait()
        process.stderr.close()
        process, _, vxi, lines = start_program(self.settings)
        try:
            self.assertEqual(registered_port(), vxi)
        finally:
            stop_program(process)

    def session(self, inst, other, idn):
        import pyvisa
        self.assertEqual(inst.query("*IDN?"), idn)
        inst.write("*RST;*CLS")
        inst.write("SWE:ADV AUTO;:FREQ:STAR 10.001 KHZ;STEP 1 KHZ;:SWE:STEP 100;DWEL:BASE CLOC;MULT 100;COUN 50")
        self.assertEqual(inst.query("FREQ:STAR?;STAR:DES?;:FREQ:STEP?;STOP?"),
                         "10001.6593933105;10001;1001.35803222656;110137.462615967")
        # Longer than one 1024-byte chunk: only the last carries END.
        inst.write("FREQ:STAR 12 KHZ" + " " * 3000)
        self.assertEqual(inst.query("FREQ:STAR:DES?"), "12000")
        inst.write("OUTP ON")
        self.assertEqual(inst.query("OUTP?"), "1")
        inst.write("FREQ:STAR 20 KHZ")
        self.assertTrue(inst.query("SYST:ERR?").startswith('-221,'))
        inst.write("OUTP OFF")
        self.assertEqual(inst.query("OUTP?"), "0")
        # Each link its own error queue and status byte.
        inst.write("FOO:BAR")
        self.assertEqual(other.query("SYST:ERR?"), '0,"No error"')
        self.assertEqual(inst.read_stb() & 0x04, 0x04)
        self.assertEqual(inst.query("SYST:ERR?"), '-113,"Undefined header;FOO:BAR"')
        self.assertEqual(inst.read_stb() & 0x04, 0)
        inst.clear()
        # A response left unread is gone after device clear.
        inst.write("*IDN?")
        inst.clear()
        inst.timeout = 300
        with self.assertRaises(pyvisa.errors.VisaIOError):
            inst.read()
        inst.timeout = 5000
        # The lock: the other link waits its lock timeout, then error 11.
        # PyVISA's lock timeout is 10 s; its own I/O timeout must outlast it.
        inst.lock_excl()
        other.timeout = 15000
        started = time.monotonic()
        with self.assertRaises(pyvisa.errors.VisaIOError):
            other.write("FREQ:STAR 30 KHZ")
        waited = time.monotonic() - started
        self.assertGreater(waited, 9.5)
        self.assertLess(waited, 14.0)
        self.assertEqual(inst.query("FREQ:STAR:DES?"), "12000")
        inst.unlock()
        other.write("FREQ:STAR 30 KHZ")
        self.assertEqual(inst.query("FREQ:STAR:DES?"), "30000")

    def test_3_lock_released_when_client_vanishes(self):
        self.daemons.start_rpcbind()
        process, _, _, _ = start_program(self.settings)
        try:
            holder = subprocess.Popen([sys.executable, "-c", HOLD_LOCK], stdout=subprocess.PIPE)
            self.assertEqual(holder.stdout.readline().strip(), b"locked")
            holder.kill()
            holder.wait()
            holder.stdout.close()
            import pyvisa
            manager = pyvisa.ResourceManager("@py")
            inst = manager.open_resource("TCPIP::127.0.0.1::INSTR")
            inst.read_termination = "\n"
            inst.lock_excl()
            self.assertEqual(inst.query("*OPC?"), "1")
            inst.unlock()
            inst.close()
            manager.close()
            # A portmapper gone before the program ends does not hold it up.
            self.daemons.stop_rpcbind()
            started = time.monotonic()
            stop_program(process)
            self.assertLess(time.monotonic() - started, 5)
            self.assertEqual(process.returncode, 0)
        finally:
            stop_program(process)


    def test_4_hostile_clients(self):
        """Under the sanitizer build this is the program itself facing them."""
        self.daemons.start_rpcbind()
        process, _, vxi, _ = start_program(self.settings)
        try:
            def record(words, last=True):
                body = struct.pack(">%dI" % len(words), *words)
                return struct.pack(">I", len(body) | (0x80000000 if last else 0)) + body

            def resident_kib():
                with open("/proc/%d/status" % process.pid) as status:
                    return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))

            before = resident_kib()
            create_link = [1, 0, 2, 395183, 1, 10, 0, 0, 0, 0, 1, 0, 0, 5, 0x696E7374, 0x30000000]
            hostile = []
            for stream in (b"\xff\xff\xff\xf0",                                     # a 2 GiB record mark
                           record([1, 0, 2, 395183, 1, 11, 0, 0, 0, 0, 1, 0, 0, 8, 1 << 30]),  # string past its record
                           record(create_link[:9]),                                   # truncated XDR
                           record(create_link, last=False) * 2000):                   # never a last fragment
                client = socket.create_connection(("127.0.0.1", vxi), timeout=5)
                client.sendall(stream)
                hostile.append(client)
            greedy = socket.create_connection(("127.0.0.1", vxi), timeout=5)
            for _ in range(100):
                greedy.sendall(record(create_link))
            hostile.append(greedy)
            # Others are served all along.
            self.assertIn("Vektra,G-740", run("lxi", "scpi", "-a", "127.0.0.1", "*IDN?"))
            self.assertLess(resident_kib() - before, 64 * 1024)
            for client in hostile:
                client.close()
            self.assertIn("Vektra,G-740", run("lxi", "scpi", "-a", "127.0.0.1", "*IDN?"))
            self.assertIsNone(process.poll())
        finally:
            stop_program(process)
        self.assertEqual(process.returncode, 0)


HOLD_LOCK = """
import pyvisa, sys, time
inst = pyvisa.ResourceManager("@py").open_resource("TCPIP::127.0.0.1::INSTR")
inst.lock_excl()
print("locked", flush=True)
time.sleep(60)
"""


class MdnsEndToEnd(unittest.TestCase):
    def test_services_announced(self):
        daemons = Daemons()
        directory = tempfile.TemporaryDirectory()
        try:
            daemons.start_rpcbind()
            daemons.start_avahi()
            process, raw, vxi, lines = start_program(os.path.join(directory.name, "G740Config.ini"),
                                                     "--remote-listen", LAB_ADDRESS, "--http", "0")
            try:
                self.assertFalse(any("Avahi" in line for line in lines), lines)
                found = {}

                def browse():
                    output = run("avahi-browse", "-arptk", timeout=20, check=False)
                    for line in output.splitlines():
                        fields = line.split(";")
                        if fields[0] == "=" and len(fields) >= 10:
                            found[fields[4]] = (unescape(fields[3]), int(fields[8]), fields[9])
                    return {"_scpi-raw._tcp", "_vxi-11._tcp", "_lxi._tcp", "_http._tcp"} <= found.keys()

                wait_for(browse, seconds=30, what=lambda: "the four services (found %r)" % found)
                web = [int(line.split()[-1]) for line in lines if line.startswith("web page on port ")]
                self.assertEqual(len(web), 1, lines)
                self.assertEqual(found["_lxi._tcp"][1], web[0])
                self.assertEqual(found["_http._tcp"][1], web[0])
                name, port, txt = found["_scpi-raw._tcp"]
                self.assertTrue(name.startswith("G-740 slot 0 on "), name)
                self.assertEqual(port, raw)
                self.assertEqual(found["_vxi-11._tcp"][1], 111)
                for item in ("txtvers=1", "Manufacturer=Vektra", "Model=G-740", "SerialNumber=0",
                             "FirmwareVersion=" + VERSION):
                    self.assertIn('"%s"' % item, txt)
                self.assertIn("G-740 slot 0", run("lxi", "discover", "-m", "-t", "3", timeout=30))
            finally:
                stop_program(process)
            # Withdrawn at exit.
            wait_for(lambda: "G-740 slot" not in run("avahi-browse", "-arptk", timeout=20, check=False),
                     seconds=15, what="the services to go")
        finally:
            daemons.stop()
            directory.cleanup()


    def test_window_announces_once_the_module_is_found(self):
        # The window opens remote control before its detection ends.
        daemons = Daemons()
        directory = tempfile.TemporaryDirectory()
        try:
            daemons.start_rpcbind()
            daemons.start_avahi()
            process, _, _, _ = start_program(os.path.join(directory.name, "G740Config.ini"),
                                             "--remote-listen", LAB_ADDRESS, window=True)
            try:
                wait_for(lambda: "G-740\\032slot\\0320" in run("avahi-browse", "-arptk", timeout=20, check=False),
                         seconds=30, what="the window's services")
                self.assertNotIn("65535", run("avahi-browse", "-arptk", timeout=20, check=False))
            finally:
                stop_program(process)
        finally:
            daemons.stop()
            directory.cleanup()

    def test_without_avahi(self):
        daemons = Daemons()
        directory = tempfile.TemporaryDirectory()
        try:
            daemons.start_rpcbind()
            process, raw, _, lines = start_program(os.path.join(directory.name, "G740Config.ini"),
                                                   "--remote-listen", LAB_ADDRESS)
            try:
                self.assertEqual(len([line for line in lines if "Avahi" in line]), 1, lines)
                with socket.create_connection((LAB_ADDRESS, raw), timeout=5) as client:
                    client.sendall(b"*IDN?\n")
                    self.assertTrue(client.recv(200).startswith(b"Vektra,G-740,"))
            finally:
                stop_program(process)
            self.assertEqual(process.returncode, 0)
        finally:
            daemons.stop()
            directory.cleanup()


def enter_namespace():
    if os.geteuid() != 0:
        skip("needs root: it starts its own rpcbind in a private network namespace")
    tools = ["unshare", "ip", "rpcbind", "rpcinfo", "lxi"]
    if MDNS:
        tools += ["dbus-daemon", "avahi-daemon", "avahi-browse"]
    missing = [tool for tool in tools if not shutil.which(tool)]
    if missing:
        skip("missing tools (scripts/setup installs them): " + " ".join(missing))
    env = dict(os.environ, **{INSIDE: "1"})
    try:
        result = subprocess.run(["unshare", "-mn", "--propagation", "private", sys.executable, *sys.argv], env=env)
    except OSError as error:
        skip("cannot make a namespace: %s" % error)
    sys.exit(result.returncode)


def prepare_namespace():
    """Loopback up, /run private; with --mdns a dummy lab interface."""
    if subprocess.run(["mount", "-t", "tmpfs", "tmpfs", "/run"]).returncode != 0:
        skip("cannot mount a private /run in the namespace")
    run("ip", "link", "set", "lo", "up")
    if MDNS:
        # A dummy interface where the kernel has the module, else a veth pair.
        if subprocess.run(["ip", "link", "add", "d0", "type", "dummy"], stderr=subprocess.DEVNULL).returncode != 0:
            run("ip", "link", "add", "d0", "type", "veth", "peer", "name", "d1")
            run("ip", "link", "set", "d1", "up")
        run("ip", "link", "set", "d0", "multicast", "on", "up")
        run("ip", "addr", "add", LAB_ADDRESS + "/24", "dev", "d0")


if __name__ == "__main__":
    if os.environ.get(INSIDE) != "1":
        enter_namespace()
    prepare_namespace()
    suite = MdnsEndToEnd if MDNS else Vxi11EndToEnd
    result = unittest.TextTestRunner(verbosity=2).run(unittest.defaultTestLoader.loadTestsFromTestCase(suite))
    sys.exit(0 if result.wasSuccessful() else 1)
