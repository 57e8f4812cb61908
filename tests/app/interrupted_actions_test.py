#!/usr/bin/python3
"""Actions that fail half way leave the project as it was, or whole.

1. A full disk at every write of an action in turn (renumber of a subset with its files and
   layouts renamed, rename of a sheet with its file and layout, a new sheet, an import): each
   failing run exits 2 saying "nothing was changed", and every file of the project is as it was
   byte for byte, with no kept copy or journal left. The first run whose fault comes after the
   action's last write lands whole, with the files a plain run makes.
2. The same four actions killed with SIGKILL at random moments: after `check --repair` the project
   is as it was or as a whole run leaves it, and the check finds nothing amiss.
3. A renumber of a big subset (120 sheets, or KILL_SHEETS) with its files and layouts killed with
   SIGKILL at random moments (8 times, or KILL_ROUNDS): the check names the journal left behind,
   --repair finishes or undoes it, and then the set is consistent, with every sheet of the subset
   renumbered or none, and every drawing where the set says it is. ONLY_KILLS=1 skips 1 and 2.

  interrupted_actions_test.py DRAWKIT MAKE_EXAMPLES WORKDIR [SEED]
"""
import csv
import json
import os
import random
import shutil
import signal
import subprocess
import sys
import time

DRAWKIT, MAKE_EXAMPLES, WORK = sys.argv[1:4]
SEED = int(sys.argv[4]) if len(sys.argv) > 4 else int(time.time())
SET_NAME = "Riverside Library"
MAX_FAULTS = 400  # far more writes than any action here makes
KILL_ROUNDS = int(os.environ.get("KILL_ROUNDS", "8"))
BENCH_SHEETS = int(os.environ.get("KILL_SHEETS", "120"))
ONLY_KILLS = os.environ.get("ONLY_KILLS") == "1"
SMALL_KILLS = 4  # per small action
# Findings that mean the set and its drawings disagree or an action is still half done.
BROKEN = {"missing-drawing", "missing-layout", "no-layout", "unreadable-drawing", "duplicate-number",
          "layout-replaced", "interrupted-action", "action-running"}

shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
failures = []
started = time.monotonic()


def expect(cond, what):
    if not cond:
        failures.append(what)
    return cond


def drawkit(*args, env=None, timeout=120):
    return subprocess.run([DRAWKIT, *args], capture_output=True, text=True, timeout=timeout,
                          env=dict(os.environ, **env) if env else None)


def set_path(folder):
    return os.path.join(folder, SET_NAME + ".dst")


def snapshot(folder):
    """Every file below the folder, hidden ones too, with its bytes; logs and the lock file aside."""
    files = {}
    for root, dirs, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            rel = os.path.relpath(path, folder)
            if name.endswith(".log") or rel == SET_NAME + ".dbl":
                continue
            with open(path, "rb") as f:
                files[rel] = f.read()
    return files


def differences(before, after):
    out = ["left behind: " + p for p in sorted(after.keys() - before.keys())]
    out += ["gone: " + p for p in sorted(before.keys() - after.keys())]
    out += ["changed: " + p for p in sorted(before.keys() & after.keys()) if before[p] != after[p]]
    return out


def leftovers(folder):
    return sorted(os.path.relpath(os.path.join(r, n), folder) for r, _, names in os.walk(folder)
                  for n in names if n.endswith(".undo") or n.endswith(".journal"))


def sheets(folder):
    """(subset path, number, drawing, layout) of every sheet, in the set's order."""
    p = drawkit("sheets", set_path(folder), "--json")
    if p.returncode != 0:
        raise RuntimeError("drawkit sheets: exit %d %s" % (p.returncode, p.stderr))
    out = []

    def walk(node, prefix):
        for c in node.get("children", []):
            if c["type"] == "subset":
                walk(c, prefix + [c["name"]])
            else:
                out.append(("/".join(prefix), c["number"], c["drawing"], c["layout"]))
    walk(json.loads(p.stdout), [])
    return out


def finding_kinds(folder):
    p = drawkit("check", set_path(folder), "--json")
    return [f["kind"] for f in json.loads(p.stdout)["findings"]]


def add_sheets(folder, subset, rows):
    expect(drawkit("new-subset", set_path(folder), subset).returncode == 0, "new-subset %s" % subset)
    path = os.path.join(WORK, subset + ".csv")
    with open(path, "w", newline="", encoding="utf-8") as f:
        w = csv.writer(f)
        w.writerow(["Number", "Title", "Subset"])
        w.writerows([n, t, subset] for n, t in rows)
    p = drawkit("new-sheet", set_path(folder), "--from-csv", path)
    if not expect(p.returncode == 0, "new-sheet --from-csv into %s: exit %d %s" % (subset, p.returncode, p.stderr)):
        print("\n".join(failures))
        sys.exit(1)


# ---- 1. a full disk at each write of each action
BASE = os.path.join(WORK, "base")
subprocess.run([MAKE_EXAMPLES, BASE], check=True, capture_output=True)
# A subset whose sheets each have a drawing of their own, so that renumbering renames every file.
add_sheets(BASE, "Annex", [("N-%02d" % i, t) for i, t in
                           enumerate(["Reading Room", "Archive", "Study Carrels", "Cafe"], 1)])
# A drawing in the project folder that the set does not list yet: a copy of one that it does.
IMPORTED = os.path.join("drawings", "X-900 Roof Study.dwg")
shutil.copyfile(os.path.join(BASE, "drawings", "A-104 Roof Plan.dwg"), os.path.join(BASE, IMPORTED))

RUN = os.path.join(WORK, "run")  # every run in the same place, so the runs write the same files
ACTIONS = [
    ("renumber", lambda s: ["renumber", s, "Annex", "--pattern", "R-##", "--start", "11",
                            "--rename-files", "--rename-layouts"]),
    ("rename", lambda s: ["rename", s, "S-103", "--number", "S-104", "--title", "Upper Floor Framing",
                          "--rename-layout", "--rename-file"]),
    ("new-sheet", lambda s: ["new-sheet", s, "--subset", "Landscape", "--number", "L-103", "--title", "Tree Survey"]),
    ("import", lambda s: ["import", s, os.path.join(RUN, IMPORTED), "--subset", "Landscape"]),
]


def fresh_copy():
    shutil.rmtree(RUN, ignore_errors=True)
    shutil.copytree(BASE, RUN, symlinks=True)
    return snapshot(RUN)


fault_summary = []
for name, args in ([] if ONLY_KILLS else ACTIONS):
    before = fresh_copy()
    p = drawkit(*args(set_path(RUN)))
    if not expect(p.returncode == 0, "%s without a fault: exit %d %s %s" % (name, p.returncode, p.stdout, p.stderr)):
        continue
    plain = snapshot(RUN)
    changed = differences(before, plain)
    # Every file the action makes, replaces or removes takes at least one write or removal (the
    # set's .bak is kept outside them).
    min_writes = len([d for d in changed if not d.endswith(".bak")])
    expect(min_writes > 0, "%s changed no file" % name)
    expect(not leftovers(RUN), "%s without a fault left %s" % (name, leftovers(RUN)))

    landed_at = None
    for n in range(1, MAX_FAULTS + 1):
        before = fresh_copy()
        p = drawkit(*args(set_path(RUN)), env={"VORN_FAIL_WRITE_AFTER": str(n)})
        if p.returncode == 0:
            landed_at = n
            break
        cmd = "%s with VORN_FAIL_WRITE_AFTER=%d" % (name, n)
        expect(p.returncode == 2, "%s: exit %d, not 2: %s" % (cmd, p.returncode, p.stderr.strip()))
        expect("nothing was changed" in p.stderr, "%s: stderr does not say nothing was changed: %s" % (cmd, p.stderr.strip()))
        diff = differences(before, snapshot(RUN))
        expect(not diff, "%s: the project is not as it was: %s" % (cmd, "; ".join(diff[:8])))
        left = leftovers(RUN)
        expect(not left, "%s: left %s" % (cmd, left))
    if not expect(landed_at is not None, "%s still fails with the fault at write %d" % (name, MAX_FAULTS)):
        continue
    faults = landed_at - 1
    expect(faults >= min_writes, "%s failed at only %d of its writes, yet changes %d files: %s"
           % (name, faults, min_writes, changed))
    after = snapshot(RUN)
    expect(after.keys() == plain.keys(), "%s with its fault after the last write: files differ from a plain run's: %s"
           % (name, sorted(after.keys() ^ plain.keys())))
    expect(not leftovers(RUN), "%s with its fault after the last write left %s" % (name, leftovers(RUN)))
    fault_summary.append("%s %d" % (name, faults))
shutil.rmtree(RUN, ignore_errors=True)
print("a full disk at each write, checked after every failing run (%.1f s): %s writes"
      % (time.monotonic() - started, ", ".join(fault_summary)))

# ---- 2. the same actions killed at random moments
def hidden_files(before, after):
    return {p for p in after.keys() - before.keys() if os.path.basename(p).startswith(".")}


small_outcomes = {"as before": 0, "whole": 0}
for name, args in ([] if ONLY_KILLS else ACTIONS):
    fresh_copy()
    t0 = time.monotonic()
    drawkit(*args(set_path(RUN)))
    took = time.monotonic() - t0
    plain = snapshot(RUN)
    kill_rng = random.Random(SEED + len(name))
    for k in range(SMALL_KILLS):
        before = fresh_copy()
        delay = kill_rng.uniform(0.0, took)
        victim = subprocess.Popen([DRAWKIT, *args(set_path(RUN))], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(delay)
        victim.send_signal(signal.SIGKILL)
        victim.wait()
        what = "%s killed after %.0f ms" % (name, delay * 1000)
        drawkit("check", set_path(RUN), "--repair")
        after = snapshot(RUN)
        kinds = finding_kinds(RUN)
        expect(not BROKEN & set(kinds), "%s: after --repair the check finds %s" % (what, kinds))
        expect(not leftovers(RUN) and not hidden_files(before, after), "%s: after --repair left %s"
               % (what, leftovers(RUN) or sorted(hidden_files(before, after))))
        if not differences(before, after):
            small_outcomes["as before"] += 1
        elif expect(after.keys() == plain.keys(), "%s: neither as before nor as a whole run leaves it: %s"
                    % (what, "; ".join(differences(before, after)[:8]))):
            small_outcomes["whole"] += 1
if not ONLY_KILLS:
    print("the four actions killed %d times each: %s" % (SMALL_KILLS, small_outcomes))

# ---- 3. a big renumber killed at random moments
KILL = os.path.join(WORK, "kill")
subprocess.run([MAKE_EXAMPLES, KILL], check=True, capture_output=True)
add_sheets(KILL, "Bench", [("B-%03d" % i, "Bench Sheet %03d" % i) for i in range(1, BENCH_SHEETS + 1)])
kill_set = set_path(KILL)


def renumber_args(folder, letter):
    return [DRAWKIT, "renumber", set_path(folder), "Bench", "--pattern", letter + "-###",
            "--rename-files", "--rename-layouts"]


def bench_numbers(letter):
    return ["%s-%03d" % (letter, i) for i in range(1, BENCH_SHEETS + 1)]


# How long a whole renumber takes here, on a copy.
MEASURE = os.path.join(WORK, "measure")
shutil.copytree(KILL, MEASURE, symlinks=True)
t0 = time.monotonic()
p = subprocess.run(renumber_args(MEASURE, "Q"), capture_output=True, text=True, timeout=120)
duration = time.monotonic() - t0
expect(p.returncode == 0, "the measured renumber: exit %d %s" % (p.returncode, p.stderr))
expect([s[1] for s in sheets(MEASURE) if s[0] == "Bench"] == bench_numbers("Q"), "the measured renumber renumbered Bench")
shutil.rmtree(MEASURE, ignore_errors=True)

rng = random.Random(SEED)
outcomes = {"finished before the kill": 0, "undone by --repair": 0, "finished by --repair": 0,
            "killed before it wrote": 0}
current = "B"
for r, letter in enumerate(("KJHTWXYZMNPRSUVEFGDC" * 4)[:KILL_ROUNDS]):
    before = snapshot(KILL)
    bench_before = {os.path.normpath(s[2]) for s in sheets(KILL) if s[0] == "Bench"}
    delay = rng.uniform(0.0, duration)
    victim = subprocess.Popen(renumber_args(KILL, letter), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(delay)
    victim.send_signal(signal.SIGKILL)
    rc = victim.wait()
    what = "round %d (%s-### over %s-###, killed after %.0f ms)" % (r, letter, current, delay * 1000)

    journal = os.path.exists(kill_set + ".journal")
    kinds = finding_kinds(KILL)
    expect(("interrupted-action" in kinds) == journal,
           "%s: a journal %s, yet the check's findings are %s" % (what, "is left" if journal else "is not left", kinds))
    repair = drawkit("check", kill_set, "--repair").stdout

    left = leftovers(KILL)
    expect(not left, "%s: after --repair left %s" % (what, left))
    kinds = finding_kinds(KILL)
    expect(not BROKEN & set(kinds), "%s: after --repair the check finds %s" % (what, kinds))
    after = snapshot(KILL)
    hidden = sorted(hidden_files(before, after))
    expect(not hidden, "%s: after --repair left hidden files %s" % (what, hidden))
    now = sheets(KILL)
    numbers = [s[1] for s in now if s[0] == "Bench"]
    if numbers == bench_numbers(letter):
        outcomes["finished by --repair" if journal else "finished before the kill"] += 1
        expect(not journal or "interrupted" in repair and "finished" in repair,
               "%s: --repair does not say it finished the action: %s" % (what, repair.strip()))
        for _, number, drawing, layout in (s for s in now if s[0] == "Bench"):
            expect(os.path.basename(drawing).startswith(number + " ") and layout.startswith(number + " "),
                   "%s: %s has its drawing %s and layout %s" % (what, number, drawing, layout))
        # Only the subset's drawings, the set itself and the drawing index (its sheet list table
        # lists every number) are the renumber's to change.
        ours = bench_before | {SET_NAME + ".dst", SET_NAME + ".dst.bak", os.path.join("drawings", "G-000 General.dwg")}
        touched = [p for p in before if p not in ours and after.get(p) != before[p]]
        expect(not touched, "%s: files outside the renumber changed: %s" % (what, touched[:5]))
        current = letter
    elif numbers == bench_numbers(current):
        outcomes["undone by --repair" if journal else "killed before it wrote"] += 1
        expect(not journal or "interrupted" in repair and "undone" in repair,
               "%s: --repair does not say it undid the action: %s" % (what, repair.strip()))
        expect(rc != 0, "%s: the renumber ran to its end, yet Bench keeps its numbers" % what)
        diff = [d for d in differences(before, after) if d.split(": ", 1)[1] not in hidden]
        expect(not diff, "%s: undone, yet the project is not as it was: %s" % (what, "; ".join(diff[:8])))
    else:
        expect(False, "%s: Bench is half renumbered: %s" % (what, numbers))
    missing = sorted({s[2] for s in now if not os.path.isfile(os.path.join(KILL, s[2]))})
    expect(not missing, "%s: drawings the set lists are missing: %s" % (what, missing[:5]))
    listed = {os.path.normpath(s[2]) for s in now}
    on_disk = {os.path.join("drawings", n) for n in os.listdir(os.path.join(KILL, "drawings"))
               if n.endswith(".dwg") and not n.startswith(".")}
    expect(on_disk <= listed, "%s: drawings no sheet lists: %s" % (what, sorted(on_disk - listed)[:5]))

print("%d renumbers of %d sheets killed within %.0f ms (seed %d): %s"
      % (KILL_ROUNDS, BENCH_SHEETS, duration * 1000, SEED,
         ", ".join("%d %s" % (v, k) for k, v in outcomes.items())))
print("%.1f s" % (time.monotonic() - started))

for f in failures[:30]:
    print("FAIL:", f)
if len(failures) > 30:
    print("... and %d more" % (len(failures) - 30))
sys.exit(1 if failures else 0)
