#!/usr/bin/python3
"""A project on a disk that fills up half way through an action: a renumber of 40 sheets with their
files and layouts renamed, a new sheet and a rename, on a small tmpfs with less and less room left.
Each run either lands whole (exit 0) or fails with exit 2, says that nothing was changed, and leaves
every file of the project as it was byte for byte, with no kept copy, journal or temporary file
left; the check then finds nothing amiss. At least one run of each action must meet the full disk.

The tmpfs is mounted in a mount namespace of the test's own (`unshare`); where the machine allows
none, the test is skipped (exit 77).

  full_disk_test.py DRAWKIT MAKE_EXAMPLES WORKDIR
"""
import csv
import json
import os
import shutil
import subprocess
import sys

DRAWKIT, MAKE_EXAMPLES, WORK = sys.argv[1:4]
SET_NAME = "Riverside Library"
DISK = os.path.join(WORK, "disk")

if os.environ.get("FULL_DISK_INNER") != "1":
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(DISK)
    env = dict(os.environ, FULL_DISK_INNER="1")
    for wrap in (["unshare", "--user", "--map-root-user", "--mount"], ["unshare", "--mount"]):
        probe = subprocess.run(wrap + ["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", DISK], capture_output=True)
        if probe.returncode == 0:
            sys.exit(subprocess.run(wrap + [sys.executable, *sys.argv], env=env).returncode)
    print("skipped: this machine lets the test mount no tmpfs (%s)" % probe.stderr.decode(errors="replace").strip())
    sys.exit(77)

failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)
    return cond


def drawkit(*args):
    return subprocess.run([DRAWKIT, *args], capture_output=True, text=True, timeout=120)


def set_path(folder):
    return os.path.join(folder, SET_NAME + ".dst")


def snapshot(folder):
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            rel = os.path.relpath(path, folder)
            if name.endswith(".log") or rel == SET_NAME + ".dbl":
                continue
            with open(path, "rb") as f:
                files[rel] = f.read()
    return files


def used_bytes(folder):
    return sum(os.stat(os.path.join(r, n)).st_blocks * 512 for r, _, names in os.walk(folder) for n in names)


# The project, made on the ordinary disk.
BASE = os.path.join(WORK, "base")
subprocess.run([MAKE_EXAMPLES, BASE], check=True, capture_output=True)
expect(drawkit("new-subset", set_path(BASE), "Annex").returncode == 0, "new-subset Annex")
with open(os.path.join(WORK, "annex.csv"), "w", newline="", encoding="utf-8") as f:
    w = csv.writer(f)
    w.writerow(["Number", "Title", "Subset"])
    w.writerows(["N-%02d" % i, "Annex room %d" % i, "Annex"] for i in range(1, 41))
p = drawkit("new-sheet", set_path(BASE), "--from-csv", os.path.join(WORK, "annex.csv"))
if not expect(p.returncode == 0, "new-sheet --from-csv: %s" % p.stderr):
    print("FAIL:", failures[0])
    sys.exit(1)
project_size = used_bytes(BASE)

ACTIONS = [
    ("renumber", lambda s: ["renumber", s, "Annex", "--pattern", "R-##", "--rename-files", "--rename-layouts"]),
    ("new-sheet", lambda s: ["new-sheet", s, "--subset", "Landscape", "--number", "L-103", "--title", "Tree Survey"]),
    ("rename", lambda s: ["rename", s, "S-103", "--number", "S-104", "--title", "Upper Floor Framing",
                          "--rename-layout", "--rename-file"]),
]
RUN = os.path.join(DISK, "project")
summary = []
for name, args in ACTIONS:
    met_full_disk = landed = 0
    # From a disk with next to no room left to one with enough: every run fails whole or lands.
    for room_kb in (8, 24, 64, 128, 256, 512, 1024, 4096):
        subprocess.run(["umount", DISK], capture_output=True)
        size_kb = (project_size + 1023) // 1024 + 64 + room_kb
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%dk" % size_kb, "tmpfs", DISK], check=True)
        try:
            shutil.copytree(BASE, RUN, symlinks=True)
        except OSError:
            continue  # not even the project fits
        before = snapshot(RUN)
        p = drawkit(*args(set_path(RUN)))
        what = "%s with %d KB free" % (name, os.statvfs(DISK).f_bavail * os.statvfs(DISK).f_frsize // 1024)
        if p.returncode == 0:
            landed += 1
            continue
        met_full_disk += 1
        expect(p.returncode == 2, "%s: exit %d, not 2: %s" % (what, p.returncode, p.stderr.strip()))
        expect("nothing was changed" in p.stderr, "%s: does not say nothing was changed: %s" % (what, p.stderr.strip()))
        after = snapshot(RUN)
        diff = ["left behind: " + f for f in sorted(after.keys() - before.keys())]
        diff += ["gone: " + f for f in sorted(before.keys() - after.keys())]
        diff += ["changed: " + f for f in sorted(before.keys() & after.keys()) if before[f] != after[f]]
        expect(not diff, "%s: the project is not as it was: %s" % (what, "; ".join(diff[:8])))
        check = json.loads(drawkit("check", set_path(RUN), "--json").stdout or "{}")
        kinds = [f["kind"] for f in check.get("findings", [])]
        expect(not {"missing-drawing", "missing-layout", "interrupted-action"} & set(kinds),
               "%s: the check afterwards finds %s" % (what, kinds))
    expect(met_full_disk > 0, "%s never met the full disk" % name)
    expect(landed > 0, "%s never landed, even with room" % name)
    summary.append("%s: %d failed whole, %d landed" % (name, met_full_disk, landed))

subprocess.run(["umount", DISK], capture_output=True)
print("; ".join(summary))
for f in failures[:20]:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
