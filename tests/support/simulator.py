"""A corvane-sim run for Python test drivers.

    from simulator import Simulator
    with Simulator("greeting_login = yes\n", appliance="app1", time_scale=10) as sim:
        ...                      # talk to sim.address
        sim.records("cmd", "command")

The simulator runs in the appliance namespace <bed>-<appliance> of the test bed, the bed being
named by CORVANE_TESTBED ("cvbed" without it). Its binary is CORVANE_SIM, or else
<native build>/sim/corvane-sim, the native build being CORVANE_NATIVE_BUILD_DIR or build/native
of this repository. Text values of transcript records are given back as bytes (record["text"]
is a str of code points 0-255; use Simulator.raw(value) for bytes).
"""

import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

_TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ADDRESSES = {"app1": "192.168.42.253", "app2": "192.168.42.252"}


def bed_name():
    return os.environ.get("CORVANE_TESTBED") or "cvbed"


def namespace_of(appliance):
    return "%s-%s" % (bed_name(), appliance)


def simulator_path():
    if os.environ.get("CORVANE_SIM"):
        return os.environ["CORVANE_SIM"]
    build = os.environ.get("CORVANE_NATIVE_BUILD_DIR") or os.path.join(_TOP, "build", "native")
    return os.path.join(build, "sim", "corvane-sim")


def read_transcript(path):
    """Every complete line of a transcript file, parsed."""
    records = []
    try:
        with open(path, "rb") as stream:
            data = stream.read()
    except FileNotFoundError:
        return records
    for line in data.split(b"\n")[:-1]:
        try:
            records.append(json.loads(line.decode("ascii")))
        except ValueError:
            continue
    return records


class SimulatorError(RuntimeError):
    pass


class Simulator:
    def __init__(self, scenario="", appliance="app1", time_scale=1.0, bind=None,
                 ready_timeout=10.0, extra_args=()):
        self.appliance = appliance
        self.address = ADDRESSES[appliance]
        self.folder = tempfile.mkdtemp(prefix="corvane-sim.")
        self.state_dir = os.path.join(self.folder, "state")
        self.transcript_path = os.path.join(self.folder, "transcript.jsonl")
        self.log_path = os.path.join(self.folder, "sim.log")
        ready = os.path.join(self.folder, "ready")
        scenario_path = os.path.join(self.folder, "scenario.txt")
        with open(scenario_path, "w") as stream:
            stream.write(scenario)
        command = ["ip", "netns", "exec", namespace_of(appliance), simulator_path(),
                   "--scenario", scenario_path, "--state", self.state_dir,
                   "--transcript", self.transcript_path, "--time-scale", str(time_scale),
                   "--ready-file", ready]
        if bind:
            command += ["--bind", bind]
        command += list(extra_args)
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen(command, stdout=log, stderr=log)
        deadline = time.monotonic() + ready_timeout
        while not os.path.exists(ready):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.stop()
                log = self.log()
                self.close()
                raise SimulatorError("corvane-sim did not become ready in %s; its log:\n%s"
                                     % (namespace_of(appliance), log))
            time.sleep(0.02)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def stop(self):
        """SIGTERM, a bounded wait, SIGKILL if needed; returns the exit code."""
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        return self.process.returncode

    def close(self):
        self.stop()
        if not os.environ.get("CORVANE_KEEP_SIM_STATE"):
            shutil.rmtree(self.folder, ignore_errors=True)

    def log(self):
        try:
            with open(self.log_path, "r", errors="replace") as stream:
                return stream.read()
        except FileNotFoundError:
            return ""

    def transcript(self):
        return read_transcript(self.transcript_path)

    def records(self, service, kind=None):
        return [r for r in self.transcript()
                if r.get("service") == service and (kind is None or r.get("kind") == kind)]

    def wait_for(self, service, kind, count=1, timeout=10.0):
        """Waits (bounded) for count records of that service and kind; returns them or raises."""
        deadline = time.monotonic() + timeout
        while True:
            found = self.records(service, kind)
            if len(found) >= count:
                return found
            if time.monotonic() > deadline:
                raise SimulatorError("no %d %s/%s records within %.1f s" %
                                     (count, service, kind, timeout))
            time.sleep(0.02)

    def state_file(self, name):
        """The bytes of a file in the state folder (a stored upload, general.db), or None."""
        try:
            with open(os.path.join(self.state_dir, name), "rb") as stream:
                return stream.read()
        except FileNotFoundError:
            return None

    @staticmethod
    def raw(text):
        """The bytes of a transcript text value."""
        return text.encode("latin-1")
