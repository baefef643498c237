#!/usr/bin/env python3
"""The upgrade utility's browser prerequisite under Wine, with the simulator on the test bed.

Runs inside the bed's desk namespace (ctest starts it there), with corvane-sim in app1.

refused: the prefix's Internet Explorer "Build" is set below 1300. The introduction is accepted,
  then the incorrect-browser box must appear (text, title, warning icon, OK only), the program
  must end after it is answered, and the simulator's transcript must show no traffic at all.
accepted: the fresh prefix's own Internet Explorer qualifies. The same program must go on to
  look for the appliance: the transcript shows its discovery datagrams (so the "no traffic"
  check above can see traffic when there is some). The run is then stopped.
"""
import argparse
import os
import shlex
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "support"))
from simulator import Simulator  # noqa: E402

TITLE = "Corvane upgrade utility - Incorrect browser version"
TEXT = ("The Internet Explorer web browser on your computer needs to be version 3.02 or higher. "
        "Rerun the Corvane user software setup and install the browser software when prompted.")
EXPECTED_BOX = [
    "intro: accepted",
    "box title: " + TITLE,
    "box text: " + TEXT,
    "box icon: warning",
    "box buttons: OK",
]


def make_package(folder):
    files = {
        "UpgradeVersionNumber.txt": b"4.3.0\r\n",
        "RequiredFiles.txt": b"corvane.sys\r\ncui.tar\r\n",
        "corvane.sys": b"CORVANE-SYSTEM-IMAGE 4.3.0\n" + bytes(64),
        "cui.tar": bytes(1024),
    }
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as stream:
            stream.write(data)


def traffic(records):
    return [r for r in records if r.get("service") != "sim"]


def run_refused(args, sim, package):
    output = os.path.join(package, "watcher.txt")
    # /reg:64 because with Wine's 32-bit part installed, "wine reg" runs the 32-bit reg, whose
    # writes to HKLM\SOFTWARE land in the 32-bit view that the 64-bit program never reads.
    script = f"""
wine reg add 'HKLM\\SOFTWARE\\Microsoft\\Internet Explorer' /v Build /d 1299 /f /reg:64 >/dev/null 2>&1
wine {shlex.quote(args.watcher)} {shlex.quote(TITLE)} > {shlex.quote(output)} 2>/dev/null &
watcher=$!
start=$(date +%s)
timeout 90 wine {shlex.quote(args.program)} >/dev/null 2>&1
echo "program ended: status $? after $(( $(date +%s) - start )) s"
wait $watcher
echo "watcher ended: status $?"
"""
    run = subprocess.run([args.wine_run, "--", "sh", "-c", script], cwd=package,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         errors="replace", timeout=240)
    with open(output, errors="replace") as stream:
        seen = [line.rstrip("\r\n") for line in stream]
    print(run.stdout)
    print("\n".join(seen))
    time.sleep(1)
    records = sim.transcript()
    failures = []
    if seen[:len(EXPECTED_BOX)] != EXPECTED_BOX or "box: answered" not in seen:
        failures.append("the box was not as expected:\n  " + "\n  ".join(EXPECTED_BOX))
    if "program ended: status 124" in run.stdout or "program ended" not in run.stdout:
        failures.append("the program did not end after the box")
    if "watcher ended: status 0" not in run.stdout:
        failures.append("the watcher failed")
    if traffic(records):
        failures.append("the simulator saw traffic: %s" % traffic(records)[:5])
    if not any(r.get("kind") == "start" for r in records):
        failures.append("the simulator's transcript has no start record")
    print("simulator records: %s" % [(r.get("service"), r.get("kind")) for r in records])
    return failures


def run_accepted(args, sim, package):
    output = os.path.join(package, "watcher.txt")
    script = f"""
wine {shlex.quote(args.watcher)} --intro-only {shlex.quote(TITLE)} > {shlex.quote(output)} 2>/dev/null &
wine {shlex.quote(args.program)} >/dev/null 2>&1 &
for i in $(seq 1 300); do
  [ -f {shlex.quote(sim.transcript_path)} ] && grep -q '"service": *"udp"' {shlex.quote(sim.transcript_path)} && break
  sleep 0.1
done
echo "waited $i"
"""
    run = subprocess.run([args.wine_run, "--", "sh", "-c", script], cwd=package,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         errors="replace", timeout=240)
    print(run.stdout)
    with open(output, errors="replace") as stream:
        print(stream.read())
    records = sim.transcript()
    udp = [r for r in records if r.get("service") == "udp" and r.get("kind") == "datagram"]
    print("simulator records: %s" % [(r.get("service"), r.get("kind")) for r in records][:10])
    return [] if udp else ["no discovery datagram reached the simulator"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--watcher", required=True)
    parser.add_argument("mode", choices=["refused", "accepted"])
    args = parser.parse_args()
    for name in ("wine_run", "program", "watcher"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    with tempfile.TemporaryDirectory(prefix="corvane-browser.") as package:
        os.chmod(package, 0o755)
        make_package(package)
        with Simulator("", appliance="app1") as sim:
            failures = (run_refused if args.mode == "refused" else run_accepted)(args, sim, package)
    for failure in failures:
        print("FAILED: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
