#!/usr/bin/env python3
"""The upgrade utility's discovery, login and address dialog under Wine, against the simulator.

Runs inside the test bed's desk namespace (ctest starts it there); the simulator runs in app1.
The program is started in a fresh Wine prefix from a package folder and worked by the robot,
command by command, while this driver reads the simulator's transcript. Each scenario ends the
program in a way that shows no further dialog: the simulator fails the first command after the
login ("Cannot send the command" box), or the operator cancels, or nothing answers.

Scenarios:
  discovered    discovery finds the appliance; the login dialog takes the name and password;
                the progress window is disabled while the dialog is open and enabled after.
  factory       no discovery reply, the appliance answers at 192.168.42.253: logged in there
                twice, the dialog shown once, no address dialog.
  long-presence the same with a two-byte presence reply, which must count as none.
  nothing       nothing anywhere: the address dialog comes after the failed probe login (no
                login dialog), the progress window is disabled meanwhile, and a typed address that
                does not answer ends with the connection box.
  cancel-login  Cancel in the login dialog of the probe login leads to the address dialog.
  route         the appliance reports a gateway in another subnet: route.exe (our stand-in on
                the prefix's search path) is started with "route add <appliance> <gateway>".
"""
import argparse
import os
import re
import shlex
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "support"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from simulator import Simulator  # noqa: E402
from wine_support import RobotFailure as Failure, RobotSession, quote  # noqa: E402

INTRO = "Corvane Upgrade Utility"
PROGRESS = "Corvane Upgrade Utility - Progress"
LOGIN = "Corvane - Login as Administrator"
ADDRESS = "Corvane Upgrade Utility - Get IP Address"
INTERNAL_ERROR = "Corvane upgrade utility - Internal error"
CANNOT_CONNECT = ("Cannot establish a connection to the Corvane. Check the cables and try running "
                  "the Corvane upgrade utility again.")
CANNOT_SEND = "Cannot send the command. Try running the Corvane upgrade utility again."
LOGIN_CANCEL = "Corvane login - cancel requested"
USER_CANCEL = "Corvane upgrade utility - user requested cancel"
NAME_EDIT, PASSWORD_EDIT, ADDRESS_EDIT = 1008, 1009, 1000
# The simulator fails the first command of the run, so the run ends right after the login.
END_AFTER_LOGIN = "fail_command = 1\n"
ROUTE_MARK = "=== route calls"


class Robot(RobotSession):
    """The robot with the commands this driver uses."""

    def box(self, title, timeout_ms=60000):
        lines = self.run("wait-box %s %d" % (quote(title), timeout_ms))
        return lines[-1]

    def enabled(self, handle):
        self.run("use " + handle)
        line = self.run("state")[-1]
        return re.search(r"enabled=(\d)", line).group(1) == "1"

    def press(self, handle, button):
        self.run("use " + handle)
        self.run("press " + button)

    def log_in(self, name, password):
        login = self.window(LOGIN)
        self.run("set-text %d %s" % (NAME_EDIT, quote(name)))
        self.run("set-text %d %s" % (PASSWORD_EDIT, quote(password)))
        self.run("press OK")
        return login


def make_package(folder):
    files = {
        "UpgradeVersionNumber.txt": b"4.3.0\r\n",
        "RequiredFiles.txt": b"corvane.sys\r\ncui.tar\r\n",
        "corvane.sys": b"CORVANE-SYSTEM-IMAGE\nVersion: 4.3.0\n\n" + bytes(64),
        "cui.tar": bytes(1024),
    }
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as stream:
            stream.write(data)


def texts(sim, kind):
    return [Simulator.raw(r["text"]) for r in sim.records("cmd", kind)]


def expect(failures, condition, what):
    if not condition:
        failures.append(what)


def accept_intro(robot):
    robot.press(robot.window(INTRO), "OK")
    return robot.window(PROGRESS)


def scenario_discovered(robot, sims, failures):
    progress = accept_intro(robot)
    login = robot.window(LOGIN)
    expect(failures, not robot.enabled(progress), "progress window enabled under the login dialog")
    robot.log_in("admin", "corvane")
    robot.run("use " + login)
    robot.run("wait-gone 30000")
    expect(failures, robot.enabled(progress), "progress window still disabled after the dialog")
    line = robot.box(INTERNAL_ERROR)
    expect(failures, CANNOT_SEND in line, "not the command box: " + line)
    robot.run("press OK")
    sim = sims["app1"]
    expect(failures, [r["hex"] for r in sim.records("udp", "datagram")] == ["00", "02"],
           "discovery datagrams: %s" % sim.records("udp", "datagram"))
    expect(failures, [r["hex"] for r in sim.records("cmd", "opening")] == ["5a"],
           "opening bytes: %s" % sim.records("cmd", "opening"))
    expect(failures, texts(sim, "username") == [b"admin\n"], "user names: %s" % texts(sim, "username"))
    expect(failures, texts(sim, "password") == [b"corvane\n"], "passwords: %s" % texts(sim, "password"))
    expect(failures, texts(sim, "login") == [b"accepted"], "logins: %s" % texts(sim, "login"))


def scenario_factory(robot, sims, failures):
    accept_intro(robot)
    robot.log_in("admin", "corvane")
    line = robot.box(INTERNAL_ERROR)
    expect(failures, CANNOT_SEND in line, "not the command box: " + line)
    robot.run("press OK")
    sim = sims["app1"]
    expect(failures, len(sim.records("cmd", "connect")) == 2,
           "connections: %s" % sim.records("cmd", "connect"))
    expect(failures, texts(sim, "login") == [b"accepted", b"accepted"],
           "logins: %s" % texts(sim, "login"))
    expect(failures, texts(sim, "username") == [b"admin\n", b"admin\n"],
           "user names: %s" % texts(sim, "username"))


def scenario_nothing(robot, sims, failures):
    progress = accept_intro(robot)
    address = robot.window(ADDRESS)
    expect(failures, robot.run("no-window %s 0" % quote(LOGIN), must_succeed=False) is not None,
           "a login dialog was shown although nothing answered")
    expect(failures, not robot.enabled(progress), "progress window enabled under the address dialog")
    robot.run("use " + address)
    robot.run("set-text %d %s" % (ADDRESS_EDIT, quote("192.168.42.99")))
    robot.run("press OK")
    line = robot.box(INTERNAL_ERROR)
    expect(failures, CANNOT_CONNECT in line, "not the connection box: " + line)
    robot.run("press OK")


def scenario_cancel_login(robot, sims, failures):
    accept_intro(robot)
    login = robot.window(LOGIN)
    robot.press(login, "CANCEL")
    robot.box(LOGIN_CANCEL)
    robot.run("press OK")
    address = robot.window(ADDRESS)
    robot.press(address, "CANCEL")
    robot.box(USER_CANCEL)
    robot.run("press YES")
    sim = sims["app1"]
    expect(failures, len(sim.records("cmd", "connect")) == 1,
           "connections: %s" % sim.records("cmd", "connect"))
    expect(failures, not sim.records("cmd", "username"), "a user name was sent")


def scenario_route(robot, sims, failures):
    accept_intro(robot)
    robot.log_in("admin", "corvane")
    line = robot.box(INTERNAL_ERROR)
    expect(failures, CANNOT_SEND in line, "not the command box: " + line)
    robot.run("press OK")


SCENARIOS = {
    "discovered": (scenario_discovered, {"app1": END_AFTER_LOGIN}),
    "factory": (scenario_factory, {"app1": "presence = none\n" + END_AFTER_LOGIN}),
    # A presence reply too long for its one-byte buffer is no reply: Winsock must drop it.
    "long-presence": (scenario_factory, {"app1": "presence = long\n" + END_AFTER_LOGIN}),
    "nothing": (scenario_nothing, {}),
    "cancel-login": (scenario_cancel_login, {"app1": "presence = none\n"}),
    "route": (scenario_route, {"app1": "gateway = 10.20.30.1\n" + END_AFTER_LOGIN}),
}


def run_program(args, package):
    """Starts the program and the robot in one fresh prefix; returns the shell and the robot."""
    script = f"""
cp {shlex.quote(args.route)} "$WINEPREFIX/drive_c/windows/route.exe"
wine {shlex.quote(args.program)} >/dev/null 2>&1 &
program=$!
wine {shlex.quote(args.robot)} 2>/dev/null
for i in $(seq 1 300); do kill -0 $program 2>/dev/null || break; sleep 0.1; done
if kill -0 $program 2>/dev/null; then echo "=== program still running"; kill $program; fi
echo "{ROUTE_MARK}"
cat "$WINEPREFIX/drive_c/windows/route-calls.txt" 2>/dev/null
"""
    return subprocess.Popen([args.wine_run, "--", "sh", "-c", script], cwd=package,
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True, errors="replace")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--robot", required=True)
    parser.add_argument("--route", required=True)
    parser.add_argument("--time-scale", type=float, default=1.0)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    for name in ("wine_run", "program", "robot", "route"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    run, scenarios = SCENARIOS[args.scenario]
    failures = []
    with tempfile.TemporaryDirectory(prefix="corvane-link.") as package:
        os.chmod(package, 0o755)
        make_package(package)
        sims = {name: Simulator(text, appliance=name, time_scale=args.time_scale)
                for name, text in scenarios.items()}
        shell = run_program(args, package)
        # Nothing here may wait for ever: the whole exchange is bounded.
        timer = threading.Timer(400, shell.kill)
        timer.start()
        robot = Robot(shell)
        try:
            run(robot, sims, failures)
        except Failure as failure:
            failures.append(str(failure))
        finally:
            shell.stdin.write("quit\n")
            shell.stdin.close()
            rest = shell.stdout.read()
            shell.wait()
            timer.cancel()
            for name, sim in sims.items():
                print("%s: %s" % (name, [(r.get("service"), r.get("kind"))
                                         for r in sim.transcript()]))
                sim.close()
        print("\n".join(robot.transcript))
        print(rest)
        routes = rest.split(ROUTE_MARK, 1)[1].split() if ROUTE_MARK in rest else None
        expect(failures, "=== program still running" not in rest, "the program did not end")
        expected_routes = (["route", "add", "192.168.42.253", "10.20.30.1"]
                           if args.scenario == "route" else [])
        expect(failures, routes == expected_routes, "route calls: %s" % routes)
    for failure in failures:
        print("FAILED: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
