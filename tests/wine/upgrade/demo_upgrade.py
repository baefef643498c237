"""The demo's acts of a whole upgrade (scripts/demo runs them after its own, which end the
program at the address dialog): a simulated appliance comes up in the test bed, the package gets
a real system image and archive, and the program starts again; the robot takes it through the
login, the confirmation and the transfer to the success box, printing each status as it appears
and taking a picture of each window; at the end the simulator's account of what it received.

The acts run inside the Wine runner in the test bed's desk namespace, like the demo's own; the
bed is named by CORVANE_TESTBED.
"""
import atexit
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

_HERE = Path(__file__).resolve().parent
TOP = _HERE.parent.parent.parent
sys.path.insert(0, str(TOP / "tests" / "support"))
sys.path.insert(0, str(_HERE))
from simulator import Simulator  # noqa: E402
from upgrade_session import shape_desk_link  # noqa: E402

PROGRESS = "Corvane Upgrade Utility - Progress"
LOGIN = "Corvane - Login as Administrator"
VERIFY = "Corvane Upgrade Utility - Verify Version Number"
BOX_PREFIX = "Corvane upgrade utility - "
STATUS, NAME_EDIT, PASSWORD_EDIT, VERSION_MESSAGE = 1005, 1008, 1009, 1014
APPLIANCE_VERSION = "2.0.4"
RUN_LIMIT_S = 900
ESTIMATED_RATE_KBIT = 253
# The shipped program, as the demo builds it.
PROGRAM = TOP / "build" / "win64" / "CorvaneUpgrader.exe"


def act_start_appliance(walk):
    """The package gets a system image and an archive that the appliance takes, and the
    simulated appliance comes up in the bed's first appliance namespace, running an older
    version."""
    version = (walk.package_path / "UpgradeVersionNumber.txt").read_bytes().splitlines()[0]
    with tempfile.TemporaryDirectory(prefix="corvane-demo-package.") as made:
        subprocess.run([sys.executable, str(TOP / "sim" / "make-package"), made,
                        version.decode("latin-1"), "--image-bytes", "300000",
                        "--archive-bytes", "150000"], check=True, stdout=subprocess.DEVNULL)
        for name in ("corvane.sys", "cui.tar"):
            shutil.copyfile(Path(made) / name, walk.package_path / name)
    walk.simulator = Simulator("version = %s\n" % APPLIANCE_VERSION, appliance="app1")
    atexit.register(walk.simulator.close)
    # At the rate the copy estimates assume, each copy takes about as long as its timed step.
    atexit.register(shape_desk_link(ESTIMATED_RATE_KBIT))
    walk.say("simulated Corvane at %s runs version %s; package version %s"
             % (walk.simulator.address, APPLIANCE_VERSION, version.decode("latin-1")))


def act_start_program(walk):
    """The program again, now with an appliance to find: the introduction's OK opens the
    progress window."""
    from wine_support import INTRO_CAPTION, Program
    walk.program = Program(PROGRAM, walk.package_path)
    _, values, _ = walk.robot.one("wait-window", INTRO_CAPTION, 30000)
    walk.robot.do("use", values[0])
    walk.robot.do("press", "OK")
    _, values, _ = walk.robot.one("wait-window", PROGRESS, 20000)
    walk.progress = values[0]
    walk.say("the program started again; OK in the introduction opened the progress window")


def _visible_windows(walk):
    from wine_support import parse_line
    found = []
    for line in walk.robot.do("windows"):
        kind, values, fields = parse_line(line)
        if kind == "window" and fields.get("visible") == "1":
            found.append((values[0], fields.get("caption", ""), fields.get("class", "")))
    return found


def _status(walk):
    """The status line, read until two readings agree (a reading that overlaps a change of the
    text may come back with the old text's length)."""
    from wine_support import parse_line
    reading = None
    for _ in range(4):
        walk.robot.do("use", walk.progress)
        ok, lines = walk.robot.attempt("text", STATUS)
        if not ok:
            return None
        again = parse_line(lines[0])[1][1]
        if again == reading:
            break
        reading = again
    return reading


def _answer_login(walk, handle):
    walk.robot.do("use", handle)
    walk.robot.do("set-text", NAME_EDIT, "admin")
    walk.robot.do("set-text", PASSWORD_EDIT, "corvane")
    walk.say("login dialog: name admin and the password typed")
    walk.screenshot("20-login", handle)
    walk.robot.do("use", handle)
    walk.robot.do("press", "OK")


def _answer_confirmation(walk, handle):
    from wine_support import parse_line
    walk.robot.do("use", handle)
    message = parse_line(walk.robot.do("text", VERSION_MESSAGE)[0])[1][1]
    walk.say("confirmation dialog: " + message)
    walk.screenshot("21-confirmation", handle)
    walk.robot.do("use", handle)
    walk.robot.do("press", "OK")
    walk.say("Upgrade pressed")


def _answer_box(walk, handle, caption):
    from wine_support import parse_line
    walk.robot.do("use", handle)
    _, _, fields = parse_line(walk.robot.do("wait-box", caption, 5000)[0])
    walk.box_text = fields.get("text", "")
    walk.say("box \"%s\": %s" % (caption, walk.box_text))
    walk.screenshot("23-" + caption[len(BOX_PREFIX):].lower().replace(" ", "-"), handle)
    walk.robot.do("use", handle)
    walk.robot.do("press", "OK")


def act_whole_upgrade(walk):
    """Follows the run to its end: every change of the status line, every window."""
    handled = set()
    last_status = None
    pictured_transfer = False
    start = time.monotonic()
    while time.monotonic() - start < RUN_LIMIT_S:
        visible = _visible_windows(walk)
        if not any(caption == PROGRESS for _, caption, _ in visible) and \
                not any(caption.startswith(BOX_PREFIX) for _, caption, _ in visible):
            break
        if any(caption == PROGRESS for _, caption, _ in visible):
            status = _status(walk)
            if status and status != last_status:
                last_status = status
                walk.say("status line: " + status)
                if status.startswith("Copying file") and not pictured_transfer:
                    pictured_transfer = True
                    walk.screenshot("22-transfer", walk.progress)
        for handle, caption, class_name in visible:
            if handle in handled:
                continue
            if caption == LOGIN:
                handled.add(handle)
                _answer_login(walk, handle)
            elif caption == VERIFY:
                handled.add(handle)
                _answer_confirmation(walk, handle)
            elif caption.startswith(BOX_PREFIX) and class_name == "#32770":
                handled.add(handle)
                _answer_box(walk, handle, caption)
        time.sleep(0.2)
    walk.program.wait_exit(60)
    walk.say("the program ended after %.0f s of the run" % (time.monotonic() - start))


def act_appliance_account(walk):
    """What the simulated appliance received, and the success box's text last."""
    sim = walk.simulator
    first = sim.records("sim", "start")
    walk.say("appliance version before: %s" % (first[0]["version"] if first else "?"))
    for record in sim.records("ftp", "stored"):
        data = sim.state_file(record["name"]) or b""
        walk.say("received %s: %s bytes, SHA-256 %s (the package's: %s)"
                 % (record["name"], record["size"], record["sha256"],
                    hashlib.sha256((walk.package_path / record["name"]).read_bytes())
                    .hexdigest()))
        assert hashlib.sha256(data).hexdigest() == record["sha256"]
    commands = [Simulator.raw(r["text"]).decode("latin-1").rstrip("\n")
                for r in sim.records("cmd", "command")]
    changes = [c for c in commands if c.split(" ")[0] in ("cdb", "ddb")]
    walk.say("database commands received: %d, then %s"
             % (len(changes), ", ".join(c for c in commands if c.startswith("wdb")) or "none"))
    walk.say("mail checking switched, in order: " +
             ", ".join(c.rsplit(" ", 1)[1] for c in changes if " mailcheck " in c))
    database = (sim.state_file("general.db") or b"").decode("latin-1").splitlines()
    walk.say("variables on the appliance's disk (general.db, %d):" % len(database))
    for line in database:
        walk.say("  " + line)
    ups = sim.records("cmd", "up")
    walk.say("appliance version after: %s" % (ups[-1]["version"] if ups else "?"))
    walk.say("success box: " + getattr(walk, "box_text", "(none)"))


def acts():
    return [act_start_appliance, act_start_program, act_whole_upgrade, act_appliance_account]
