#!/usr/bin/python3
"""A whole remote session through a VISA client nobody here wrote: Debian's
PyVISA with its pure-Python backend drives `g740demo --headless --remote 0`
on the stand-in module.

Usage: e2e_pyvisa.py PATH_TO_G740DEMO PROGRAM_VERSION
"""
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import pyvisa

PROGRAM = sys.argv[1] if len(sys.argv) > 1 else "g740demo"
VERSION = sys.argv[2] if len(sys.argv) > 2 else ""


def start_program(settings, *extra):
    """Starts the headless program; returns it and the port it announced."""
    env = dict(os.environ)
    env.pop("MODLINK_SIM", None)
    process = subprocess.Popen([PROGRAM, "--headless", "--settings", settings, *extra],
                               stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, env=env)
    deadline = time.monotonic() + 20
    lines = []
    while time.monotonic() < deadline:
        line = process.stderr.readline().decode("utf-8", "replace")
        if not line:
            break
        lines.append(line.rstrip("\n"))
        if line.startswith("remote control on port "):
            return process, int(line.split()[-1]), lines
    process.kill()
    process.wait()
    raise AssertionError("no port announced; standard error: %r" % lines)


class RemoteSession(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.settings = os.path.join(self.directory.name, "G740Config.ini")
        # The socket alone: VXI-11 would enter this machine's portmapper
        # (tests/lan checks it inside a namespace of its own).
        self.process, self.port, _ = start_program(self.settings, "--remote", "0", "--vxi11", "off")
        self.manager = pyvisa.ResourceManager("@py")
        self.instrument = self.open()

    def open(self):
        instrument = self.manager.open_resource("TCPIP::127.0.0.1::%d::SOCKET" % self.port)
        instrument.read_termination = "\n"
        instrument.write_termination = "\n"
        instrument.encoding = "utf-8"
        instrument.timeout = 5000
        return instrument

    def tearDown(self):
        self.instrument.close()
        self.manager.close()
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.process.stderr.close()
        self.directory.cleanup()

    def error(self):
        return self.instrument.query("SYST:ERR?")

    def test_whole_session(self):
        inst = self.instrument
        self.assertEqual(inst.query("*IDN?"), "Vektra,G-740,0," + VERSION)
        inst.write("*RST;*CLS")

        # Set in the units and forms a script uses, read the hardware's values.
        # A first start steps by the CTRL line; the dwell needs automatic stepping.
        inst.write("SWE:ADV AUTO;:FREQ:STAR 10.001 KHZ;STEP 1 KHZ;:SWE:STEP 100;DWEL:BASE CLOC;MULT 100;COUN 50")
        self.assertEqual(inst.query("FREQ:STAR?;STAR:DES?;:FREQ:STEP?;STOP?"),
                         "10001.6593933105;10001;1001.35803222656;110137.462615967")
        self.assertEqual(float(inst.query("SWE:DWEL?")), 1e-4)
        inst.write("source:voltage:gain -3 db;offset 250 mV")
        self.assertEqual(inst.query("VOLT:GAIN?;OFFS?;OFFS:DES?"), "-3;0.235294117647059;0.25")
        inst.write("ROSC:SOUR EXT;EXT:FREQ 20 MHZ;:SWE:CYCL TRI;:FUNC TRI;:OUTP:SQU ON")
        self.assertEqual(inst.query("ROSC:FREQ?;:SWE:CYCL?;ADV?;:OUTP:SYNC?;SYNC:MODE?;:FUNC?;:OUTP:SQU?"),
                         "20000000;TRI;AUTO;1;END;TRI;1")
        self.assertEqual(self.error(), '0,"No error"')

        # Start, a refused change, stop.
        inst.write("OUTP ON")
        self.assertEqual(inst.query("OUTP?"), "1")
        inst.write("FREQ:STAR 20 KHZ")
        self.assertTrue(self.error().startswith('-221,"Settings conflict;'))
        self.assertEqual(inst.query("FREQ:STAR:DES?"), "10001")
        inst.write("OUTP OFF")
        self.assertEqual(inst.query("OUTP?"), "0")

        # Errors, each in the standard queue, the oldest first.
        inst.write("FOO:BAR")
        inst.write("FREQ:STAR 60 MHZ")
        inst.write("VOLT:GAIN 5")
        inst.write("SWE:CYCL SQUARE")
        self.assertEqual(inst.query("SYST:ERR:COUN?"), "4")
        self.assertEqual(self.error(), '-113,"Undefined header;FOO:BAR"')
        self.assertTrue(self.error().startswith("-222,"))
        self.assertTrue(self.error().startswith("-222,"))
        self.assertEqual(self.error(), '-224,"Illegal parameter value;SQUARE"')
        self.assertEqual(self.error(), '0,"No error"')
        self.assertEqual(int(inst.query("*ESR?")), 32 + 16)

        # A long line is refused as a whole; the connection stays.
        inst.write("FREQ:STAR 1" + " " * (70 * 1024))
        self.assertEqual(self.error(), '-223,"Too much data;line longer than 64 KiB discarded"')
        self.assertEqual(inst.query("FREQ:STAR:DES?"), "10001")

        # The settings file, as Ctrl+S writes it.
        inst.write("SYST:SETT:SAVE")
        self.assertEqual(inst.query("*OPC?"), "1")
        with open(self.settings, encoding="cp1251") as file:
            self.assertIn("Генератор. Начальная частота в кГц=10.001", file.read())

        # Parameter sets: stored, listed, recalled into the record, kept in
        # the settings file; a missing one is an execution error.
        inst.write('MEM:STOR "Проверка фильтра"')
        inst.write("*SAV 3")
        self.assertEqual(inst.query("MEM:CAT?"), '2,"Проверка фильтра","3"')
        inst.write("FREQ:STAR 20 KHZ")
        inst.write('MEM:LOAD "проверка ФИЛЬТРА"')
        self.assertEqual(inst.query("FREQ:STAR:DES?"), "10001")
        inst.write("FREQ:STAR 30 KHZ")
        inst.write("*RCL 3")
        self.assertEqual(inst.query("FREQ:STAR:DES?"), "10001")
        inst.write('MEM:LOAD "нет такого"')
        self.assertTrue(self.error().startswith("-200,"))
        with open(self.settings, encoding="cp1251") as file:
            self.assertIn("[Набор параметров G-740: Проверка фильтра]", file.read())

        # Two clients, one instrument, their own error queues.
        other = self.open()
        try:
            other.write("NOPE")
            self.assertEqual(inst.query("FREQ:STAR:DES?"), other.query("FREQ:STAR:DES?"))
            self.assertEqual(self.error(), '0,"No error"')
            self.assertTrue(other.query("SYST:ERR?").startswith("-113,"))
        finally:
            other.close()

        # Ends on SIGTERM with the generator stopped.
        inst.write("OUTP ON")
        self.assertEqual(inst.query("OUTP?"), "1")
        self.process.send_signal(signal.SIGTERM)
        self.assertEqual(self.process.wait(timeout=20), 0)
        self.assertIn("Генератор остановлен", self.process.stderr.read().decode("utf-8"))

    def test_default_encoding(self):
        """pyvisa as installed decodes answers as ASCII: every error text must
        be ASCII English although the run speaks Russian."""
        inst = self.manager.open_resource("TCPIP::127.0.0.1::%d::SOCKET" % self.port)
        inst.read_termination = "\n"
        inst.write_termination = "\n"
        inst.timeout = 5000
        try:
            self.assertEqual(inst.encoding, "ascii")
            # A fresh start and *RST agree: both are the record of a first start.
            fresh = inst.query("SWE:ADV?;CYCL?;:FREQ:STAR:DES?;:FREQ:STEP:DES?")
            inst.write("SWE:ADV AUTO;:FREQ:STAR 20 KHZ")
            inst.write("*RST")
            self.assertEqual(inst.query("SWE:ADV?;CYCL?;:FREQ:STAR:DES?;:FREQ:STEP:DES?"), fresh)
            self.assertEqual(fresh.split(";")[0], "CTRL")

            inst.write("OUTP ON")
            inst.write("FREQ:STAR 20 KHZ")           # refused while running
            inst.write("OUTP OFF")
            inst.write("FREQ:STAR 60 MHZ")           # out of range
            inst.write("SWE:CYCL SAW;:SWE:ADV CTRL")  # forced by the cyclic scan
            inst.write("FREQ:STAR 10 KHZ;FREQ:STEP 1 KHZ")  # looked up from the branch
            errors = []
            for _ in range(10):
                error = inst.query("SYST:ERR?")
                if error.startswith("0,"):
                    break
                errors.append(error)
            self.assertEqual(len(errors), 4, errors)
            self.assertEqual(errors[0], '-221,"Settings conflict;'
                             'The generator parameters cannot be changed while the generator is running."')
            self.assertTrue(errors[1].startswith('-222,"Data out of range;'), errors[1])
            self.assertTrue(errors[2].startswith('-221,"Settings conflict;IncrementType: set by the cyclic'),
                            errors[2])
            self.assertEqual(errors[3], '-113,"Undefined header;FREQ:FREQ:STEP"')
            for error in errors:
                self.assertTrue(error.isascii(), error)
        finally:
            inst.close()

    def test_port_in_use(self):
        # A module of its own (the first copy holds slot 0), so that the port is what fails.
        second = subprocess.run([PROGRAM, "--headless", "--settings", self.settings, "--remote", str(self.port)],
                                env=dict(os.environ, MODLINK_SIM="slot=1"),
                                stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, timeout=30)
        self.assertEqual(second.returncode, 7)
        self.assertIn("Не могу открыть порт удалённого управления %d" % self.port, second.stderr.decode("utf-8"))
        # Qt's reason in the run's language too.
        self.assertIn("Адрес уже используется", second.stderr.decode("utf-8"))


class CommandLine(unittest.TestCase):
    def test_bad_remote_options(self):
        for arguments in (["--remote", "70000"], ["--remote", "x"], ["--remote-listen", "127.0.0.1"],
                          ["--remote", "0", "--remote-listen", "lab"], ["--vxi11", "off"],
                          ["--remote", "0", "--vxi11", "maybe"]):
            result = subprocess.run([PROGRAM, "--headless", *arguments], stderr=subprocess.PIPE,
                                    stdout=subprocess.DEVNULL, timeout=30)
            self.assertEqual(result.returncode, 1, arguments)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
