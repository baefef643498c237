"""Support for the Wine tests: the robot as a line-by-line partner, the program under test and
sample package folders. Everything here runs inside scripts/wine-run (WINEPREFIX and DISPLAY set).
"""
import argparse
import os
import queue
import re
import shutil
import subprocess
import tempfile
import threading
import time
from pathlib import Path

INTRO_CAPTION = "Corvane Upgrade Utility"
PROGRESS_CAPTION = "Corvane Upgrade Utility - Progress"
TITLE_PREFIX = "Corvane upgrade utility - "


def build_arguments(description):
    """The arguments every driver takes: --build, the Windows build tree; the rest is unittest's."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--build", required=True, type=Path)
    arguments, rest = parser.parse_known_args()
    # The programs start in package folders of their own: the tree's path must not be relative.
    arguments.build = arguments.build.resolve()
    return arguments, rest


def windows_path(path):
    """A Linux path as the Wine programs see it, on drive Z:."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def quote(word):
    """A word of the robot's command language."""
    word = str(word)
    if word and re.fullmatch(r"[A-Za-z0-9_.:\\/=,+-]+", word) and not word.startswith('"'):
        return word
    out = '"'
    for byte in word.encode("latin-1"):
        c = chr(byte)
        if c in '"\\':
            out += "\\" + c
        elif c == "\r":
            out += "\\r"
        elif c == "\n":
            out += "\\n"
        elif c == "\t":
            out += "\\t"
        elif byte < 0x20 or byte >= 0x7F:
            out += "\\x%02X" % byte
        else:
            out += c
    return out + '"'


def _unquote(text, start):
    """Reads a quoted robot text beginning at text[start] == '"'; returns (value, next index)."""
    out = bytearray()
    i = start + 1
    escapes = {"n": b"\n", "r": b"\r", "t": b"\t", '"': b'"', "\\": b"\\"}
    while text[i] != '"':
        if text[i] == "\\":
            if text[i + 1] == "x":
                out.append(int(text[i + 2:i + 4], 16))
                i += 4
            else:
                out += escapes[text[i + 1]]
                i += 2
        else:
            out += text[i].encode("latin-1")
            i += 1
    return out.decode("latin-1"), i + 1


def parse_line(line):
    """A robot result line: (kind, [positional values], {key: value})."""
    words = []
    i = 0
    while i < len(line):
        if line[i] == " ":
            i += 1
            continue
        key = None
        match = re.match(r"([A-Za-z][A-Za-z0-9_-]*)=", line[i:])
        if match:
            key = match.group(1)
            i += match.end()
        if i < len(line) and line[i] == '"':
            value, i = _unquote(line, i)
        else:
            end = line.find(" ", i)
            end = len(line) if end < 0 else end
            value, i = line[i:end], end
        words.append((key, value))
    kind = words[0][1] if words else ""
    positional = [value for key, value in words[1:] if key is None]
    fields = {key: value for key, value in words[1:] if key is not None}
    return kind, positional, fields


class RobotFailure(AssertionError):
    pass


class RobotSession:
    """The robot started by a driver's own shell under wine-run, fed one command a line on its
    standard input (a text-mode pipe); every answer ends with "ok" or a line beginning "fail"."""

    def __init__(self, process):
        self.process = process
        self.transcript = []

    def run(self, command, must_succeed=True):
        """The lines the command printed; None when it failed and need not succeed."""
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        lines = []
        while True:
            line = self.process.stdout.readline()
            if line == "":
                raise RobotFailure("the robot ended during: " + command)
            line = line.rstrip("\r\n")
            self.transcript.append(line)
            if line == "ok":
                return lines
            if line.startswith("fail"):
                if must_succeed:
                    raise RobotFailure("robot: %s -> %s" % (command, line))
                return None
            lines.append(line)

    def window(self, caption, timeout_ms=60000):
        lines = self.run("wait-window %s %d" % (quote(caption), timeout_ms))
        return re.search(r"^window (\S+)", lines[-1]).group(1)


class Robot:
    """The robot program, kept running; one command at a time, answered by 'ok' or 'fail'."""

    def __init__(self, build):
        self.exe = Path(build).resolve() / "CorvaneRobot.exe"
        self.process = subprocess.Popen(["wine", str(self.exe)], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.log = []

    def _read(self):
        for raw in self.process.stdout:
            self.lines.put(raw.decode("latin-1").rstrip("\r\n"))
        self.lines.put(None)

    def attempt(self, *words, timeout=60):
        """Runs one command: (True, lines) on ok, (False, lines ending in the failure)."""
        command = " ".join(quote(word) for word in words)
        self.log.append("> " + command)
        self.process.stdin.write((command + "\n").encode("latin-1"))
        self.process.stdin.flush()
        lines = []
        deadline = time.monotonic() + timeout
        while True:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise RobotFailure("robot gave no answer to: " + command)
            try:
                line = self.lines.get(timeout=remaining)
            except queue.Empty:
                continue
            if line is None:
                raise RobotFailure("robot ended during: " + command)
            self.log.append("< " + line)
            if line == "ok":
                return True, lines
            if line.startswith("fail"):
                return False, lines + [line]
            lines.append(line)

    def do(self, *words, timeout=60):
        """Runs one command that must succeed; its result lines."""
        ok, lines = self.attempt(*words, timeout=timeout)
        if not ok:
            raise RobotFailure(" ".join(map(str, words)) + ": " + lines[-1])
        return lines

    def one(self, *words, timeout=60):
        """Runs one command that prints one line; that line parsed."""
        lines = self.do(*words, timeout=timeout)
        if len(lines) != 1:
            raise RobotFailure("expected one line from %s, got %r" % (words, lines))
        return parse_line(lines[0])

    def close(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write(b"quit\n")
                self.process.stdin.flush()
                self.process.wait(timeout=10)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
                self.process.wait()
        self.process.stdin.close()
        self.process.stdout.close()


class Program:
    """One run of a Windows program under Wine, started in a folder of its own."""

    def __init__(self, exe, folder, *arguments, capture=False):
        self.process = subprocess.Popen(
            ["wine", str(Path(exe).resolve()), *arguments], cwd=str(folder),
            stdout=subprocess.PIPE if capture else subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout=30):
        """The exit code; fails the test when the program is still running after timeout."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end within %d s" % timeout)

    def output(self, timeout=30):
        out, _ = self.process.communicate(timeout=timeout)
        return out.decode("latin-1").replace("\r\n", "\n")


def end_every_wine_program():
    """After a failed scenario: nothing of it may disturb the next (one copy at a time)."""
    subprocess.run(["wineserver", "-k"], check=False)
    subprocess.run(["wineserver", "-w"], check=False)


class PackageFolder:
    """A sample upgrade package in a fresh folder: the version file, the list, the two files."""

    def __init__(self, version="2.1.0\r\n", required="corvane.sys\r\ncui.tar\r\n"):
        self.path = Path(tempfile.mkdtemp(prefix="corvane-package-"))
        if version is not None:
            self.write("UpgradeVersionNumber.txt", version)
        if required is not None:
            self.write("RequiredFiles.txt", required)
        self.write("corvane.sys", "system image\n" * 64)
        self.write("cui.tar", "user interface archive\n" * 64)

    def write(self, name, text):
        (self.path / name).write_bytes(text.encode("latin-1"))

    def remove(self, name):
        target = self.path / name
        if target.is_dir():
            shutil.rmtree(target)
        elif target.exists():
            target.unlink()

    def unreadable(self, name):
        """name opens but every read of it fails: it leads to the memory of the very process
        that opens it, whose first page is not mapped."""
        self.remove(name)
        (self.path / name).symlink_to("/proc/self/mem")

    def folder(self, name):
        self.remove(name)
        (self.path / name).mkdir()

    def windows(self, name):
        return windows_path(self.path / name)

    def cleanup(self):
        shutil.rmtree(self.path, ignore_errors=True)


def new_windows(robot, program, seconds):
    """The windows that showed while program ran, watched for at most seconds."""
    shown = []
    deadline = time.monotonic() + seconds
    while program.running() and time.monotonic() < deadline:
        shown += robot.do("watch", 1000)
    shown += robot.do("watch", 500)
    return shown
