"""A package made by sim/make-package, uploaded by curl and followed by a restart, makes the
simulator come back with the package's version; half a package does not."""

import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from simulator import Simulator  # noqa: E402

MAKE_PACKAGE = os.path.join(HERE, "..", "..", "sim", "make-package")


class Session:
    """A plain command-service client with bounded reads."""

    def __init__(self, address):
        self.sock = socket.create_connection((address, 244), timeout=5)

    def read_until(self, terminator):
        data = b""
        while terminator not in data:
            chunk = self.sock.recv(4096)
            if not chunk:
                break
            data += chunk
        return data

    def login(self):
        self.sock.sendall(b"Z")
        self.read_until(b"login: ")
        self.sock.sendall(b"admin\n")
        self.read_until(b"password: ")
        self.sock.sendall(b"corvane\n")
        return self.read_until(b">")

    def command(self, text):
        self.sock.sendall(text)
        return self.read_until(b">")

    def reboot(self):
        self.sock.sendall(b"reboot\n")
        reply = self.read_until(b"\r\n\r\n")
        self.close()
        return reply

    def close(self):
        self.sock.close()


def upload(folder, address, name):
    return subprocess.run(["curl", "-sS", "--max-time", "30", "-P", "-", "-T",
                           os.path.join(folder, name),
                           "ftp://admin:corvane@%s/%s" % (address, name)],
                          capture_output=True, timeout=60)


class UpgradeTest(unittest.TestCase):
    def setUp(self):
        self.package = tempfile.mkdtemp(prefix="sim-package.")
        made = subprocess.run([sys.executable, MAKE_PACKAGE, self.package, "4.3.0"],
                              capture_output=True)
        self.assertEqual(made.returncode, 0, made.stderr)
        with open(os.path.join(self.package, "UpgradeVersionNumber.txt"), "rb") as stream:
            self.assertEqual(stream.read(), b"4.3.0\r\n")

    def restart_and_ask_version(self, sim):
        probe = Session(sim.address)
        probe.login()
        probe.close()
        session = Session(sim.address)
        session.login()
        self.assertEqual(session.reboot(), b"\r\nRebooting...\r\n")
        sim.wait_for("cmd", "up", timeout=10)
        after = Session(sim.address)
        after.login()
        answers = after.command(b"ver\n"), after.command(b"ls welcome.msg\n")
        after.close()
        return answers

    def test_full_package_brings_its_version(self):
        with Simulator("version = 4.2.1\ndown_seconds = 1\nwelcome = missing\n") as sim:
            for name in ("corvane.sys", "cui.tar"):
                result = upload(self.package, sim.address, name)
                self.assertEqual(result.returncode, 0, result.stderr)
            version, welcome = self.restart_and_ask_version(sim)
            self.assertEqual(version, b"\r\nCorvane ver 4.3.0\r\n>")
            self.assertEqual(welcome, b"\r\nwelcome.msg\r\n>")
            self.assertEqual(sim.records("cmd", "reboot")[0]["next_version"], "4.3.0")
            self.assertEqual(sim.records("cmd", "up")[0]["version"], "4.3.0")

    def test_half_a_package_keeps_the_old_version(self):
        with Simulator("version = 4.2.1\ndown_seconds = 1\n") as sim:
            result = upload(self.package, sim.address, "corvane.sys")
            self.assertEqual(result.returncode, 0, result.stderr)
            version, _ = self.restart_and_ask_version(sim)
            self.assertEqual(version, b"\r\nCorvane ver 4.2.1\r\n>")

    def test_down_time_follows_the_time_scale(self):
        with Simulator("down_seconds = 20\ngreeting_login = no\n", time_scale=20) as sim:
            session = socket.create_connection((sim.address, 244), timeout=5)
            session.sendall(b"Z")
            session.recv(200)
            start = time.monotonic()
            session.sendall(b"reboot\n")
            sim.wait_for("cmd", "up", timeout=10)
            elapsed = time.monotonic() - start
            session.close()
            self.assertGreater(elapsed, 0.8)
            self.assertLess(elapsed, 5)


if __name__ == "__main__":
    unittest.main(verbosity=2)
