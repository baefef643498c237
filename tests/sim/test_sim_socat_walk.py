"""socat, a plain TCP client that nobody here wrote, walks the command service through the
opening byte, a login and a few commands; the transcript shows each exchange."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from simulator import Simulator  # noqa: E402

# Each item goes out after a short pause, so each reply comes before the next item.
ITEMS = [b"Z", b"admin\n", b"corvane\n", b"cdb general system mailcheck 0\n", b"ver\n",
         b"ls welcome.msg\n", b"\n", b"\0\0\0\2\0\0\0\0"]


def walk(address):
    script = "".join("printf '%s'; sleep 0.3; " % "".join("\\%03o" % b for b in item)
                     for item in ITEMS)
    return subprocess.run(["sh", "-c", "(%s) | socat -t 2 - TCP:%s:244" % (script, address)],
                          capture_output=True, timeout=30)


class SocatWalkTest(unittest.TestCase):
    def test_walk_is_answered_and_recorded(self):
        with Simulator("version = 4.3.0\nwelcome = missing\n") as sim:
            result = walk(sim.address)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stdout,
                             b"\r\nVeltrix Olvana Corvane mail server\r\nlogin: "
                             b"\r\npassword: "
                             b"\r\nLogin successful\r\n>"
                             b"\r\nsystem mailcheck = 0\r\n>"
                             b"\r\nCorvane ver 4.3.0\r\n>"
                             b"\r\nCan't open welcome.msg\r\n>"
                             b"\r\n>")
            sim.wait_for("cmd", "disconnect")
            self.assertEqual(sim.records("cmd", "opening")[0]["hex"], "5a")
            self.assertEqual([sim.raw(r["text"]) for r in sim.records("cmd", "command")],
                             ITEMS[3:7])
            self.assertEqual([r["number"] for r in sim.records("cmd", "command")], [1, 2, 3, 4])
            self.assertEqual(sim.records("cmd", "close-message")[0]["hex"], "0000000200000000")
            self.assertEqual(sim.records("cmd", "disconnect")[0]["reason"], "close message")


if __name__ == "__main__":
    unittest.main(verbosity=2)
