"""Running the upgrade utility under Wine against the simulator, for the upgrade's Wine tests and
the demo: the package folder, the program and the robot in one fresh prefix, the robot's
answers, and a follower that reads the progress window's status line and acts on the windows
that appear until the program ends.
"""
import os
import re
import shlex
import subprocess
import sys
import time

_HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(os.path.dirname(_HERE)))
sys.path.insert(0, os.path.join(TOP, "tests", "support"))
sys.path.insert(0, os.path.join(TOP, "tests", "wine"))
from simulator import Simulator, namespace_of  # noqa: E402,F401
from wine_support import RobotFailure as Failure, RobotSession, quote  # noqa: E402,F401

INTRO = "Corvane Upgrade Utility"
PROGRESS = "Corvane Upgrade Utility - Progress"
LOGIN = "Corvane - Login as Administrator"
VERIFY = "Corvane Upgrade Utility - Verify Version Number"
CANCEL_BOX = "Corvane upgrade utility - user requested cancel"
BOX_PREFIX = "Corvane upgrade utility - "
STATUS, NAME_EDIT, PASSWORD_EDIT, VERSION_MESSAGE = 1005, 1008, 1009, 1014
SC_CLOSE = 0xF060


def unquote(quoted):
    """The text of one of the robot's quoted values."""
    body = quoted[1:-1] if quoted.startswith('"') and quoted.endswith('"') else quoted
    escapes = {"r": "\r", "n": "\n", "t": "\t", '"': '"', "\\": "\\"}
    out, i = [], 0
    while i < len(body):
        if body[i] == "\\" and i + 1 < len(body):
            if body[i + 1] == "x" and i + 3 < len(body):
                out.append(chr(int(body[i + 2:i + 4], 16)))
                i += 4
                continue
            out.append(escapes.get(body[i + 1], body[i + 1]))
            i += 2
            continue
        out.append(body[i])
        i += 1
    return "".join(out)


def field(line, name):
    """A quoted field (name="...") of a robot line, unquoted; None when absent."""
    match = re.search(r'\b%s=("(?:[^"\\]|\\.)*")' % re.escape(name), line)
    return unquote(match.group(1)) if match else None


class Robot(RobotSession):
    """The robot with the commands this driver uses."""

    def windows(self):
        """The visible top-level windows: (handle, caption, class) each."""
        found = []
        for line in self.run("windows"):
            match = re.match(r"window (\S+) ", line)
            if match and " visible=1" in line:
                found.append((match.group(1), field(line, "caption"), field(line, "class")))
        return found

    def text(self, handle, control):
        self.run("use " + handle)
        lines = self.run("text %d" % control, must_succeed=False)
        return unquote(lines[-1].split(" ", 2)[2]) if lines else None

    def box(self, handle):
        """(title, text) of a message box."""
        self.run("use " + handle)
        line = self.run("wait-box %s 1000" % quote(self.caption(handle)))[-1]
        return field(line, "title"), field(line, "text")

    def caption(self, handle):
        for window, caption, _ in self.windows():
            if window == handle:
                return caption
        return ""

    def press(self, handle, button):
        self.run("use " + handle)
        self.run("press " + button)

    def rectangle(self, handle):
        self.run("use " + handle)
        line = self.run("state")[-1]
        match = re.search(r"rect=(-?\d+),(-?\d+),(-?\d+),(-?\d+)", line)
        return tuple(int(v) for v in match.groups()) if match else None


def make_package(folder, version, image_bytes, archive_bytes):
    maker = os.path.join(TOP, "sim", "make-package")
    subprocess.run([sys.executable, maker, folder, version, "--image-bytes", str(image_bytes),
                    "--archive-bytes", str(archive_bytes)], check=True,
                   stdout=subprocess.DEVNULL)


def start_program(wine_run, program, robot, package):
    """The program and the robot in one fresh prefix; the shell's stdin/stdout are the robot's."""
    script = f"""
wine {shlex.quote(program)} >/dev/null 2>&1 &
program=$!
wine {shlex.quote(robot)} 2>/dev/null
for i in $(seq 1 300); do kill -0 $program 2>/dev/null || break; sleep 0.1; done
if kill -0 $program 2>/dev/null; then echo "=== program still running"; kill $program; fi
echo "=== program ended"
"""
    env = dict(os.environ)
    return subprocess.Popen([wine_run, "--", "sh", "-c", script], cwd=package, env=env,
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True, errors="replace")


def finish(shell):
    """Ends the robot and waits for the program; True when the program ended by itself."""
    try:
        shell.stdin.write("quit\n")
        shell.stdin.close()
    except BrokenPipeError:
        pass
    rest = shell.stdout.read()
    shell.wait()
    return "=== program still running" not in rest and "=== program ended" in rest


class Follower:
    """Follows one run of the program: polls the status line and the visible windows, hands
    each new window to the handler given for its caption (a message box of the program without
    one is answered OK), and records what it saw with the time it first saw it. Ends when the
    progress window is gone or the time limit is reached."""

    def __init__(self, robot, handlers, poll_s=0.1, on_status=None, on_window=None):
        self.robot = robot
        self.handlers = handlers
        self.poll_s = poll_s
        self.on_status = on_status
        self.on_window = on_window
        self.start = time.monotonic()
        self.statuses = []   # (seconds, text), each change of the status line
        self.windows = []    # (seconds, caption), each window as it first showed
        self.boxes = []      # (seconds, title, text)
        self.progress = None

    def elapsed(self):
        return time.monotonic() - self.start

    def read_status(self):
        """The status line, read until two readings agree: a reading that overlaps a change of
        the text can come back with the old text's length."""
        reading = self.robot.text(self.progress, STATUS)
        for _ in range(3):
            again = self.robot.text(self.progress, STATUS)
            if again == reading:
                break
            reading = again
        return reading

    def run(self, limit_s):
        seen = set()
        progress_seen = False
        while self.elapsed() < limit_s:
            visible = self.robot.windows()
            progress = [w for w in visible if w[1] == PROGRESS]
            if progress:
                progress_seen = True
                self.progress = progress[0][0]
                status = self.read_status()
                if status is not None and (not self.statuses or self.statuses[-1][1] != status):
                    self.statuses.append((self.elapsed(), status))
                    if self.on_status:
                        self.on_status(self.elapsed(), status)
            elif progress_seen and not any(w[1].startswith(BOX_PREFIX) for w in visible):
                return True
            for handle, caption, class_name in visible:
                if handle in seen:
                    continue
                seen.add(handle)
                self.windows.append((self.elapsed(), caption))
                if self.on_window:
                    self.on_window(handle, caption)
                if caption.startswith(BOX_PREFIX) and class_name == "#32770":
                    title, text = self.robot.box(handle)
                    self.boxes.append((self.elapsed(), title, text))
                handler = self.handlers.get(caption)
                if handler:
                    handler(self.robot, handle)
                elif caption.startswith(BOX_PREFIX) and class_name == "#32770":
                    self.robot.press(handle, "OK")
            time.sleep(self.poll_s)
        return False


def log_in(name, password):
    def handler(robot, handle):
        robot.run("use " + handle)
        robot.run("set-text %d %s" % (NAME_EDIT, quote(name)))
        robot.run("set-text %d %s" % (PASSWORD_EDIT, quote(password)))
        robot.run("press OK")
    return handler


def press(button):
    def handler(robot, handle):
        robot.press(handle, button)
    return handler


def shape_desk_link(rate_kbit):
    """Limits what the desk sends to rate_kbit, so that copies take their time as on a slow
    network; returns the function that lifts the limit."""
    subprocess.run(["tc", "qdisc", "del", "dev", "eth0", "root"], stderr=subprocess.DEVNULL)
    subprocess.run(["tc", "qdisc", "add", "dev", "eth0", "root", "tbf", "rate",
                    "%dkbit" % rate_kbit, "burst", "16kb", "latency", "5s"], check=True)

    def lift():
        subprocess.run(["tc", "qdisc", "del", "dev", "eth0", "root"], stderr=subprocess.DEVNULL)
    return lift
