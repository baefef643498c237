"""curl, a real FTP client, uploads to the simulator's FTP server in the test bed: active mode
(-P -) and passive mode, with the stored file's SHA-256 matched against the transcript."""

import ftplib
import hashlib
import io
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from simulator import Simulator  # noqa: E402


def curl_upload(path, address, name, user="admin", password="corvane", active=True):
    command = ["curl", "--silent", "--show-error", "--max-time", "30", "-T", path,
               "ftp://%s:%s@%s/%s" % (user, password, address, name)]
    if active:
        command[1:1] = ["-P", "-"]
    return subprocess.run(command, capture_output=True, timeout=60)


class FtpCurlTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="sim-curl.")
        self.payload = os.path.join(self.folder, "payload.bin")
        data = bytes((i * 131 + (i >> 8)) & 0xFF for i in range(300000)) + b"\r\n\0\r"
        with open(self.payload, "wb") as stream:
            stream.write(data)
        self.sha256 = hashlib.sha256(data).hexdigest()
        self.size = len(data)

    def check_stored(self, sim, name):
        stored = sim.wait_for("ftp", "stored")
        self.assertEqual(len(stored), 1)
        self.assertEqual(stored[0]["name"], name)
        self.assertEqual(stored[0]["size"], self.size)
        self.assertEqual(stored[0]["sha256"], self.sha256)
        self.assertEqual(hashlib.sha256(sim.state_file(name)).hexdigest(), self.sha256)

    def test_active_mode_upload_is_stored_whole(self):
        with Simulator() as sim:
            result = curl_upload(self.payload, sim.address, "corvane.sys", active=True)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.check_stored(sim, "corvane.sys")
            verbs = [r["text"].split(" ")[0].strip() for r in sim.records("ftp", "command")]
            self.assertIn("PORT", verbs)
            self.assertNotIn("PASV", verbs)
            self.assertEqual(verbs[:2], ["USER", "PASS"])

    def test_passive_mode_upload_is_stored_whole(self):
        with Simulator() as sim:
            result = curl_upload(self.payload, sim.address, "cui.tar", active=False)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.check_stored(sim, "cui.tar")
            verbs = [r["text"].split(" ")[0].strip() for r in sim.records("ftp", "command")]
            self.assertIn("PASV", verbs)

    def test_ascii_upload_turns_crlf_into_lf(self):
        # Python's ftplib sends text lines with CRLF on the wire after TYPE A.
        with Simulator() as sim:
            with ftplib.FTP(sim.address, timeout=10) as client:
                client.login("admin", "corvane")
                client.set_pasv(False)
                client.storlines("STOR notes.txt", io.BytesIO(b"one\ntwo\n"))
            sim.wait_for("ftp", "stored")
            self.assertEqual(sim.state_file("notes.txt"), b"one\ntwo\n")
            self.assertIn("TYPE A\r\n", [r["text"] for r in sim.records("ftp", "command")])

    def test_wrong_password_is_refused_and_nothing_stored(self):
        with Simulator("password = right\n") as sim:
            result = curl_upload(self.payload, sim.address, "corvane.sys", password="wrong")
            self.assertEqual(result.returncode, 67, result.stderr)  # login denied
            logins = sim.wait_for("ftp", "login")
            self.assertFalse(logins[0]["accepted"])
            self.assertIn("530 Login incorrect\r\n", [r["text"] for r in sim.records("ftp", "reply")])
            self.assertEqual(sim.records("ftp", "stored"), [])
            self.assertIsNone(sim.state_file("corvane.sys"))

    def test_scenario_refusal_and_dropped_transfer_fail_the_upload(self):
        with Simulator("ftp_refuse_store = cui.tar\nftp_drop_transfer = corvane.sys\n") as sim:
            refused = curl_upload(self.payload, sim.address, "cui.tar")
            self.assertNotEqual(refused.returncode, 0)
            dropped = curl_upload(self.payload, sim.address, "corvane.sys")
            self.assertNotEqual(dropped.returncode, 0)
            sim.wait_for("ftp", "transfer-failed")
            replies = [r["text"] for r in sim.records("ftp", "reply")]
            self.assertIn("553 Could not create file\r\n", replies)
            self.assertEqual(sim.records("ftp", "stored"), [])
            self.assertIsNone(sim.state_file("corvane.sys"))
            self.assertEqual([n for n in os.listdir(sim.state_dir) if n.endswith(".partial")], [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
