#!/usr/bin/python3
"""The page opened to a network (`--remote-listen 0.0.0.0`), inside a
network namespace of its own: without a password it is read-only and says
so; with one set by `--set-web-password`, a change needs a login first, and
the page token of loopback no longer suffices.

Usage: e2e_network.py PATH_TO_G740DEMO
"""
import json
import os
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webpage import enter_namespace, start_program  # noqa: E402

PROGRAM = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else "g740demo"


class Network(unittest.TestCase):
    password = None

    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        settings = os.path.join(self.directory.name, "G740Config.ini")
        if self.password is not None:
            subprocess.run([PROGRAM, "--settings", settings, "--set-web-password"],
                           input=(self.password + "\n").encode(), check=True)
            with open(settings, "rb") as file:
                self.assertNotIn(self.password.encode("cp1251"), file.read())
        self.process, port, _ = start_program(PROGRAM, settings, "--remote-listen", "0.0.0.0")
        self.url = "http://127.0.0.1:%d" % port
        with urllib.request.urlopen(self.url + "/") as page:
            html = page.read().decode()
        self.token = html.split('g740-token" content="')[1].split('"')[0]

    def tearDown(self):
        self.process.terminate()
        self.process.wait(10)
        self.process.stderr.close()
        self.directory.cleanup()

    def state(self):
        with urllib.request.urlopen(self.url + "/api/state") as answer:
            return json.load(answer)

    def post(self, path, body, token):
        request = urllib.request.Request(self.url + path, data=json.dumps(body).encode(), method="POST",
                                         headers={"Content-Type": "application/json", "X-G740-Token": token})
        try:
            with urllib.request.urlopen(request) as answer:
                return answer.status, json.load(answer)
        except urllib.error.HTTPError as error:
            return error.code, json.load(error)


class WithoutPassword(Network):
    def test_read_only(self):
        access = self.state()["access"]
        self.assertFalse(access["canChange"])
        self.assertIn("только показывает", access["readOnlyReason"])
        status, answer = self.post("/api/record", {"StartFrequency": 20}, self.token)
        self.assertEqual(status, 403)
        self.assertEqual(self.state()["fields"][0]["value"], 10)


class WithPassword(Network):
    password = "пароль лаборатории"

    def test_login_then_change(self):
        self.assertTrue(self.state()["access"]["needsLogin"])
        self.assertEqual(self.post("/api/record", {"StartFrequency": 20}, self.token)[0], 403)
        status, answer = self.post("/api/login", {"password": "неверный"}, self.token)
        self.assertEqual((status, answer["error"]), (403, "Неверный пароль"))
        # Right at once after a wrong one: not even tried.
        self.assertEqual(self.post("/api/login", {"password": self.password}, "")[0], 429)
        time.sleep(1.1)
        status, answer = self.post("/api/login", {"password": self.password}, "")
        self.assertEqual(status, 200)
        session = answer["token"]
        self.assertEqual(self.post("/api/record", {"StartFrequency": 20}, session), (200, {"ok": True}))
        self.assertEqual(self.state()["fields"][0]["value"], 20)


if __name__ == "__main__":
    enter_namespace(__file__)
    unittest.main(argv=sys.argv[:1], verbosity=2)
