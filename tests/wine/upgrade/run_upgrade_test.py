#!/usr/bin/env python3
"""The upgrade utility's whole run under Wine, in the test bed's desk namespace (ctest starts it
there) against the simulator in app1, worked by the robot.

Scenarios:
  real-speed    the shipped program at real speed upgrades the appliance from start to finish;
                the status line goes through the statuses of a full run in their order, the
                success box names the new version, the appliance holds both files byte for byte
                and the settings. The desk's link is slowed to the rate the copy estimates
                assume, so every status stays long enough to be read. Prints the wall times.
  cancel-confirm  Cancel in the confirmation dialog: no box, the program ends, nothing put.
  cancel-image  a cancel request by the progress window's close box while the system image is
                being copied: the run ends after the pause that follows the copy, with no box;
                the image is on the appliance, the archive is not.
  old-version   the appliance comes back with its old version: the failure box's exact text.
  real-ftp      the files go to Debian's pyftpdlib listening on the appliance's FTP port instead
                of the simulator's: WinInet's commands in their order, both files byte-identical.
"""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import upgrade_session as us  # noqa: E402

OLD, NEW = "4.2.1", "4.3.0"
SUCCESS_TITLE = us.BOX_PREFIX + "Success"
FAILURE_TITLE = us.BOX_PREFIX + "Failure"
SUCCESS_TEXT = "Your Corvane has been successfully upgraded to version %s." % NEW
FAILURE_TEXT = ("Your upgrade to version %s has failed; it is currently running version %s\n\n"
                "Please run the upgrader again." % (NEW, OLD))
LOGIN_TEXTS = ["Receiving connection data", "Receiving login data",
               "Validating username and password"]
FULL_RUN_STATUSES = (["Finding Corvane"] + LOGIN_TEXTS + ["Rebooting Corvane"] + LOGIN_TEXTS +
                     ["Copying file corvane.sys to Corvane", "Checking files after copying",
                      "Exploding file cui.tar on Corvane", "Setting database variables",
                      "Writing database variables to disk", "Rebooting Corvane"] + LOGIN_TEXTS)
SETTINGS_COUNT = 29
# The rate the copy estimates assume, about 31,608 bytes a second.
ESTIMATED_RATE_KBIT = 253


def expect(failures, condition, what):
    if not condition:
        failures.append(what)


def sha256(path):
    with open(path, "rb") as stream:
        return hashlib.sha256(stream.read()).hexdigest()


def commands(sim):
    return [us.Simulator.raw(r["text"]) for r in sim.records("cmd", "command")]


def check_stored(failures, sim, package, names):
    stored = sim.records("ftp", "stored")
    expect(failures, [r["name"] for r in stored] == names,
           "stored files: %s" % [r["name"] for r in stored])
    for record in stored:
        local = os.path.join(package, record["name"])
        expect(failures, record["sha256"] == sha256(local),
               "%s arrived with another SHA-256" % record["name"])
        expect(failures, sim.state_file(record["name"]) == open(local, "rb").read(),
               "%s differs on the appliance" % record["name"])


def check_full_session(failures, sim):
    sent = commands(sim)
    settings = [c for c in sent if (c.startswith(b"cdb ") or c.startswith(b"ddb "))
                and b" mailcheck " not in c]
    expect(failures, len(settings) == SETTINGS_COUNT, "%d settings sent" % len(settings))
    expect(failures, sent[:2] == [b"cdb general system mailcheck 0\n", b"reboot\n"],
           "the run began with %s" % sent[:2])
    expect(failures, sent[-4:] == [b"wdb general\n", b"reboot\n",
                                   b"cdb general system mailcheck 1\n", b"ver\n"],
           "the run ended with %s" % sent[-4:])


class Scenario:
    program = "fast"
    scenario_text = ""
    image_bytes, archive_bytes = 200000, 120000
    sim_arguments = ()
    limit_s = 300

    def __init__(self, args):
        self.args = args
        self.failures = []

    def handlers(self):
        return {us.INTRO: us.press("OK"), us.LOGIN: us.log_in("admin", "corvane"),
                us.VERIFY: us.press("OK")}

    def prepare(self, package):
        pass

    def check(self, follower, sim, package):
        pass

    def cleanup(self):
        pass

    def run(self):
        program = self.args.program if self.program == "shipped" else self.args.fast_program
        with tempfile.TemporaryDirectory(prefix="corvane-upgrade.") as package:
            os.chmod(package, 0o755)
            us.make_package(package, NEW, self.image_bytes, self.archive_bytes)
            time_scale = 1.0 if self.program == "shipped" else self.args.fast_time_scale
            sim = us.Simulator(self.scenario_text, appliance="app1", time_scale=time_scale,
                               extra_args=self.sim_arguments)
            try:
                self.prepare(package)
                shell = us.start_program(self.args.wine_run, program, self.args.robot, package)
                timer = threading.Timer(self.limit_s + 120, shell.kill)
                timer.start()
                self.follower = follower = us.Follower(us.Robot(shell), self.handlers(),
                                                       on_status=self.status_seen)
                try:
                    ended = follower.run(self.limit_s)
                    expect(self.failures, ended, "the progress window did not go")
                except us.Failure as failure:
                    self.failures.append(str(failure))
                expect(self.failures, us.finish(shell), "the program did not end")
                timer.cancel()
                self.report(follower)
                self.check(follower, sim, package)
            finally:
                self.cleanup()
                sim.close()
        for failure in self.failures:
            print("FAILED: " + failure)
        return 1 if self.failures else 0

    def status_seen(self, seconds, text):
        print("%8.1f s  %s" % (seconds, text), flush=True)

    def report(self, follower):
        for seconds, caption in follower.windows:
            print("%8.1f s  window %r" % (seconds, caption))
        for seconds, title, text in follower.boxes:
            print("%8.1f s  box %r: %r" % (seconds, title, text))


class RealSpeed(Scenario):
    program = "shipped"
    image_bytes, archive_bytes = 316000, 158000
    limit_s = 900

    def prepare(self, package):
        self.lift = us.shape_desk_link(ESTIMATED_RATE_KBIT)

    def cleanup(self):
        if hasattr(self, "lift"):
            self.lift()

    def check(self, follower, sim, package):
        seen = [text for _, text in follower.statuses if text]
        expect(self.failures, seen == FULL_RUN_STATUSES, "statuses seen: %s" % seen)
        expect(self.failures, [(t, x) for _, t, x in follower.boxes] == [(SUCCESS_TITLE,
                                                                           SUCCESS_TEXT)],
               "boxes: %s" % follower.boxes)
        check_stored(self.failures, sim, package, ["corvane.sys", "cui.tar"])
        check_full_session(self.failures, sim)
        self.print_times(follower)

    def print_times(self, follower):
        """The wall time of the run and of its parts, from the status changes."""
        marks = follower.statuses + [(follower.boxes[-1][0], "success box")] \
            if follower.boxes else follower.statuses
        print("=== wall times (seconds)")
        for (start, text), (end, _) in zip(marks, marks[1:]):
            print("%8.1f  %s" % (end - start, text))
        print("%8.1f  whole run, progress window to success box" % (marks[-1][0] - marks[0][0]))
        print("%8.1f  whole run, program start to its end" % follower.elapsed())


class CancelConfirm(Scenario):
    def handlers(self):
        handlers = super().handlers()
        handlers[us.VERIFY] = self.cancel
        return handlers

    def cancel(self, robot, handle):
        self.message = robot.text(handle, us.VERSION_MESSAGE)
        robot.press(handle, "CANCEL")

    def check(self, follower, sim, package):
        expect(self.failures, getattr(self, "message", None) ==
               "The Corvane with version %s was found on your network. Click upgrade to "
               "upgrade it to version %s." % (OLD, NEW),
               "confirmation text: %r" % getattr(self, "message", None))
        expect(self.failures, not follower.boxes, "boxes: %s" % follower.boxes)
        sim.wait_for("cmd", "close-message", 1, timeout=10)
        expect(self.failures, commands(sim) == [b"cdb general system mailcheck 0\n",
                                                b"reboot\n", b"ver\n"],
               "commands: %s" % commands(sim))
        expect(self.failures, not sim.records("ftp", "connect"), "an FTP connection was made")


class CancelImage(Scenario):
    image_bytes = 600000

    def prepare(self, package):
        # About 5 s for the image: long enough for the close box, its question and the answer.
        self.lift = us.shape_desk_link(1000)
        self.requested = False

    def cleanup(self):
        if hasattr(self, "lift"):
            self.lift()

    def status_seen(self, seconds, text):
        super().status_seen(seconds, text)
        if text == "Copying file corvane.sys to Corvane" and not self.requested:
            self.requested = True
            self.follower.robot.run("use " + self.follower.progress)
            self.follower.robot.run("syscommand %d" % us.SC_CLOSE)

    def handlers(self):
        handlers = super().handlers()
        handlers[us.CANCEL_BOX] = self.answer_yes
        return handlers

    def answer_yes(self, robot, handle):
        self.confirmed_while = self.last_status()
        robot.press(handle, "YES")

    def last_status(self):
        return self.follower.statuses[-1][1] if self.follower.statuses else None

    def check(self, follower, sim, package):
        expect(self.failures, self.requested, "the image's copy was never seen")
        expect(self.failures, getattr(self, "confirmed_while", None) ==
               "Copying file corvane.sys to Corvane",
               "the cancel was confirmed during %r" % getattr(self, "confirmed_while", None))
        boxes = [b for b in follower.boxes if b[1] != us.CANCEL_BOX]
        expect(self.failures, not boxes, "boxes: %s" % boxes)
        check_stored(self.failures, sim, package, ["corvane.sys"])
        expect(self.failures, len(sim.records("ftp", "login")) == 1,
               "FTP logins: %d" % len(sim.records("ftp", "login")))
        seen = [text for _, text in follower.statuses]
        expect(self.failures, "Exploding file cui.tar on Corvane" not in seen,
               "the archive's step began: %s" % seen)


class OldVersion(Scenario):
    scenario_text = "version_after = %s\n" % OLD

    def check(self, follower, sim, package):
        expect(self.failures, [(t, x) for _, t, x in follower.boxes] == [(FAILURE_TITLE,
                                                                           FAILURE_TEXT)],
               "boxes: %s" % follower.boxes)
        check_stored(self.failures, sim, package, ["corvane.sys", "cui.tar"])
        check_full_session(self.failures, sim)


class RealFtp(Scenario):
    # The simulator's own FTP server moves aside; both versions read "4.3.0", so the run ends
    # with the success box although the simulator never sees the files.
    scenario_text = "ver_reply = \\r\\nCorvane ver %s\\r\\n>\n" % NEW
    sim_arguments = ("--ftp-port", "2121")

    def prepare(self, package):
        self.remote = tempfile.mkdtemp(prefix="corvane-ftp.")
        os.chmod(self.remote, 0o777)
        self.log = self.remote + ".log"
        server = os.path.join(us.TOP, "tests", "integration", "UpgradeFtpServer.py")
        self.server = subprocess.Popen(
            ["ip", "netns", "exec", us.namespace_of("app1"), "/usr/bin/python3", server,
             "--root", self.remote, "--user", "admin", "--password", "corvane",
             "--log", self.log, "--address", "0.0.0.0", "--port", "21", "--lifetime", "400"],
            stdout=subprocess.PIPE, text=True)
        ready = self.server.stdout.readline()
        if not ready.startswith("ready"):
            raise us.Failure("pyftpdlib did not start: %r" % ready)

    def cleanup(self):
        if hasattr(self, "server"):
            self.server.terminate()
            self.server.wait(timeout=10)
        if hasattr(self, "remote"):
            shutil.rmtree(self.remote, ignore_errors=True)
            if os.path.exists(self.log):
                os.remove(self.log)

    def check(self, follower, sim, package):
        expect(self.failures, [(t, x) for _, t, x in follower.boxes] == [(SUCCESS_TITLE,
                                                                           SUCCESS_TEXT)],
               "boxes: %s" % follower.boxes)
        expect(self.failures, not sim.records("ftp", "connect"),
               "the simulator's FTP server was used")
        for name in ("corvane.sys", "cui.tar"):
            arrived = os.path.join(self.remote, name)
            expect(self.failures, os.path.exists(arrived) and
                   sha256(arrived) == sha256(os.path.join(package, name)),
                   "%s did not arrive byte-identical" % name)
        with open(self.log) as stream:
            lines = [line.rstrip("\n") for line in stream]
        print("=== pyftpdlib received:\n" + "\n".join(lines))
        verbs = [line.split(" ")[0] for line in lines]
        expected = []
        for name in ("corvane.sys", "cui.tar"):
            expected += ["USER admin", "PASS corvane", "TYPE I", "PORT", "STOR " + name]
        kept = [line if not line.startswith("PORT ") else "PORT" for line in lines
                if line.split(" ")[0] in ("USER", "PASS", "TYPE", "PORT", "STOR")]
        expect(self.failures, kept == expected, "FTP commands: %s" % kept)
        for verb in ("PASV", "EPSV", "EPRT"):
            expect(self.failures, verb not in verbs, "%s was sent" % verb)


SCENARIOS = {"real-speed": RealSpeed, "cancel-confirm": CancelConfirm,
             "cancel-image": CancelImage, "old-version": OldVersion, "real-ftp": RealFtp}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--fast-program", required=True)
    parser.add_argument("--fast-time-scale", type=float, default=20.0)
    parser.add_argument("--robot", required=True)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    for name in ("wine_run", "program", "fast_program", "robot"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    return SCENARIOS[args.scenario](args).run()


if __name__ == "__main__":
    sys.exit(main())
