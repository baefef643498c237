#!/usr/bin/env python3
"""Runs browser_wine_test under scripts/wine-run and judges its output.

table: every line of the run must be "ok", and the last line must report the expected pointer
width, so a run that never executed (an x86 program where Wine has no 32-bit part prints nothing
and exits 0) cannot pass; that case is reported as skipped (exit 77).
fresh: the answers of a fresh prefix's own registry must be the ones recorded below.
facts: the registry facts that the in-memory registry copies must hold for the real one.
"""
import argparse
import re
import subprocess
import sys
from pathlib import Path

SKIPPED = 77

# What a fresh Wine 8 prefix answers: Internet Explorer "Build" 99600 with the automation
# server registered (LocalServer32 with its quotes), no "The Internet" namespace entry, no
# Netscape Navigator.
FRESH_ANSWERS = [
    "FindNetscape(3.01) 1",
    "Completed before absent",
    'FindIE(1300) 0 ["C:\\Program Files\\Internet Explorer\\iexplore.exe"]',
    "Completed after type 4 value 1",
    "DetectWebBrowsers(8) 0",
    'CheckBrowser 1 ["C:\\Program Files\\Internet Explorer\\iexplore.exe"]',
]


def windows_path(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--dll", required=True)
    parser.add_argument("--bits", required=True, type=int)
    parser.add_argument("mode", choices=["table", "fresh", "facts"])
    args = parser.parse_args()

    for needed in (args.exe, args.dll):
        if not Path(needed).is_file():
            print(f"missing {needed}: build the tree that makes it first")
            return 1

    command = [args.wine_run, "--", "wine", args.exe, args.mode, windows_path(args.dll)]
    run = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         text=True, errors="replace", timeout=280)
    lines = [line.rstrip("\r") for line in run.stdout.splitlines()]
    print("\n".join(lines))

    if not lines:
        if run.returncode == 0 and args.bits == 32:
            print("the x86 program printed nothing and exited 0: Wine's 32-bit part is not "
                  "installed here, so the x86 library was not exercised")
            return SKIPPED
        print(f"no output; exit {run.returncode}; stderr:\n{run.stderr}")
        return 1

    if args.mode in ("table", "facts"):
        summary = re.fullmatch(r"browser table: (\d+) runs, (\d+) failed, (\d+)-bit", lines[-1])
        if not summary:
            print("the run did not reach its summary line")
            return 1
        runs, failed, bits = (int(group) for group in summary.groups())
        minimum_runs = 100 if args.mode == "table" else 25
        failures = [line for line in lines if not line.startswith("ok ")][:-1]
        if bits != args.bits or failed != 0 or failures or runs < minimum_runs or run.returncode != 0:
            print(f"FAILED: {failed} failed, {bits}-bit (expected {args.bits}), "
                  f"exit {run.returncode}")
            return 1
        return 0

    if lines[-1] != f"fresh prefix: done, {args.bits}-bit" or run.returncode != 0:
        print("the run did not finish")
        return 1
    if lines[:-1] != FRESH_ANSWERS:
        print("FAILED: the fresh prefix answered differently; expected:")
        print("\n".join(FRESH_ANSWERS))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
