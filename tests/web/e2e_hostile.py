#!/usr/bin/python3
"""Hostile clients against `g740demo --headless --http 0`: malformed request
lines, a 1 MB header, a chunked body that never ends, 1,000 idle
connections and a client that sends one byte a second. After each the
program must still answer a plain request, and at the end still be running
(in the sanitizer build, any report ends it with a failure).

Usage: e2e_hostile.py PATH_TO_G740DEMO
"""
import os
import socket
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webpage import start_program  # noqa: E402

PROGRAM = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else "g740demo"


def exchange(port, data, timeout=15):
    """Sends data, returns what comes back until the server closes or the
    answer is whole (a head and its Content-Length)."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        try:
            s.sendall(data)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the server may answer and close before all is sent
        answer = b""
        while True:
            try:
                piece = s.recv(65536)
            except (ConnectionResetError, socket.timeout):
                break
            if not piece:
                break
            answer += piece
            head, _, body = answer.partition(b"\r\n\r\n")
            if _ and b"Content-Length: " in head:
                length = int(head.split(b"Content-Length: ")[1].split(b"\r\n")[0])
                if len(body) >= length:
                    break
        return answer


class Hostile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.directory = tempfile.TemporaryDirectory()
        cls.process, cls.port, _ = start_program(PROGRAM, os.path.join(cls.directory.name, "G740Config.ini"))

    @classmethod
    def tearDownClass(cls):
        cls.process.terminate()
        code = cls.process.wait(30)
        cls.process.stderr.close()
        cls.directory.cleanup()
        assert code == 0, "the program ended with %d" % code

    def still_serving(self):
        self.assertIsNone(self.process.poll(), "the program has ended")
        answer = exchange(self.port, b"GET /api/state HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n")
        self.assertTrue(answer.startswith(b"HTTP/1.1 200"), answer[:100])

    def test_malformed(self):
        cases = [
            (b"GARBAGE\r\n\r\n", b"400"),
            (b"GET / HTTP/9.9\r\nHost: a\r\n\r\n", b"505"),
            (b"\x00\xff\xfe GET /\r\n\r\n", b"400"),
            (b"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX: " + b"a" * (1024 * 1024) + b"\r\n\r\n", b"431"),
            (b"POST /api/record HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n"
             + b"400\r\n" + b"x" * 1024 + b"\r\n" * 1 + (b"400\r\n" + b"x" * 1024 + b"\r\n") * 100, b"413"),
        ]
        for request, status in cases:
            with self.subTest(request=request[:30]):
                self.assertEqual(exchange(self.port, request)[9:12], status)
                self.still_serving()

    def test_idle_and_slow(self):
        idle = []
        for _ in range(1000):
            try:
                idle.append(socket.create_connection(("127.0.0.1", self.port), timeout=5))
            except OSError:
                break  # the listen backlog is full: that is the kernel's limit, not a failure
        self.assertGreater(len(idle), 32)
        self.still_serving()
        slow = socket.create_connection(("127.0.0.1", self.port), timeout=20)
        for byte in b"GET / HTTP/1.1\r\n":
            slow.sendall(bytes([byte]))
            time.sleep(0.05)
        self.still_serving()
        for s in idle:
            s.close()
        slow.close()
        self.still_serving()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
