#!/usr/bin/python3
"""Several drafters and scripts on one sheet set at once.

1. Eight processes each make 25 scripted edits (custom properties and new subsets) with --wait:
   every one of the 200 edits is in the set afterwards, no lock file is left, the check is clean.
2. Edits killed with SIGKILL at random moments, 100 times: after each the set opens, holds only
   whole edits (an edit sets two properties; both or neither), a lock file left behind reads as
   stale, and the next edit goes through without waiting.

  concurrent_edits_test.py DRAWKIT MAKE_EXAMPLES WORKDIR [ROUNDS]
"""
import json
import os
import random
import shutil
import signal
import subprocess
import sys
import time
import xml.etree.ElementTree as ET
from concurrent.futures import ThreadPoolExecutor

DRAWKIT, MAKE_EXAMPLES, WORK = sys.argv[1:4]
CRASH_ROUNDS = int(sys.argv[4]) if len(sys.argv) > 4 else 100
shutil.rmtree(WORK, ignore_errors=True)
subprocess.run([MAKE_EXAMPLES, WORK], check=True, capture_output=True)
dst = os.path.join(WORK, "Riverside Library.dst")
dbl = os.path.join(WORK, "Riverside Library.dbl")
failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)


def drawkit(*args, timeout=300):
    return subprocess.run([DRAWKIT, *args], capture_output=True, text=True, timeout=timeout)


def set_properties():
    root = ET.parse(dst).getroot()
    sheet_set = root.find("SheetSet")
    return {p.get("name"): p.get("value") for p in sheet_set.find("Properties").findall("Property")}


def subset_names(node, prefix=""):
    out = set()
    for c in node.get("children", []):
        if c["type"] == "subset":
            path = prefix + c["name"]
            out.add(path)
            out |= subset_names(c, path + "/")
    return out


# ---- 1. eight editors, 25 edits each
def editor(n):
    errors = []
    for i in range(25):
        if i % 5 == 4:
            p = drawkit("new-subset", dst, "Load/E%d-%02d" % (n, i), "--wait", "120")
        else:
            p = drawkit("prop", dst, "E%d-%02d=v%d" % (n, i, i), "--wait", "120")
        if p.returncode != 0:
            errors.append("editor %d edit %d: exit %d %s" % (n, i, p.returncode, p.stderr.strip()))
    return errors


started = time.monotonic()
with ThreadPoolExecutor(max_workers=8) as pool:
    for errs in pool.map(editor, range(8)):
        failures.extend(errs)
elapsed = time.monotonic() - started
props = set_properties()
tree = json.loads(drawkit("sheets", dst, "--json").stdout)
subsets = subset_names(tree)
lost = [("E%d-%02d" % (n, i)) for n in range(8) for i in range(25)
        if (i % 5 != 4 and "E%d-%02d" % (n, i) not in props) or (i % 5 == 4 and "Load/E%d-%02d" % (n, i) not in subsets)]
expect(not lost, "%d of 200 edits lost: %s" % (len(lost), lost[:10]))
expect(not os.path.exists(dbl), "a lock file was left after the editors finished")
p = drawkit("check", dst)
expect(p.returncode == 0, "check after the editors: exit %d\n%s" % (p.returncode, p.stdout))
print("200 contended edits in %.1f s (%.1f edits/s)" % (elapsed, 200 / elapsed))

# ---- 2. killed at random moments
rng = random.Random(13)
stale_seen = 0
for r in range(CRASH_ROUNDS):
    victim = subprocess.Popen([DRAWKIT, "prop", dst, "K%03d=a" % r, "L%03d=b" % r, "--wait", "30"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(rng.uniform(0.002, 0.02))  # a whole edit takes about 10 ms here
    victim.send_signal(signal.SIGKILL)
    victim.wait()
    p = drawkit("sheets", dst)
    if p.returncode != 0:
        failures.append("round %d: the set does not open after a kill: %s" % (r, p.stderr))
        break
    props = set_properties()
    if ("K%03d" % r in props) != ("L%03d" % r in props):
        failures.append("round %d: half an edit landed" % r)
    if os.path.exists(dbl):
        stale_seen += 1
        report = json.loads(drawkit("check", dst, "--json").stdout)
        kinds = {f["kind"] for f in report["findings"]}
        if "stale-lock" not in kinds:
            failures.append("round %d: a lock file left by a killed edit does not read as stale: %s" % (r, kinds))
    p = drawkit("prop", dst, "N%03d=next" % r)  # no --wait: a stale lock must not block
    if p.returncode != 0:
        failures.append("round %d: the next edit after a kill failed: exit %d %s" % (r, p.returncode, p.stderr))
    elif "N%03d" % r not in set_properties():
        failures.append("round %d: the next edit did not land" % r)
print("%d kills, %d left a stale lock file" % (CRASH_ROUNDS, stale_seen))
expect(not os.path.exists(dbl), "a lock file was left after the last edit")

for f in failures[:20]:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
