#!/usr/bin/python3
"""A project folder moved to another share, and one copied beside it.

The moved copy: drawkit check exits 0 with one note that says how to repoint the stamps; vorn
--batch opening a moved drawing opens its set in the palette and SSFOUND names the set where it is
now; drawkit restamp repoints every stamp (ezdxf reads the new paths) and the note is gone. A copy
made while the original still exists finds its own set, not the original.

  moved_project_test.py VORN DRAWKIT MAKE_EXAMPLES WORKDIR
"""
import json
import os
import shutil
import subprocess
import sys

import ezdxf

VORN, DRAWKIT, MAKE_EXAMPLES, WORK = sys.argv[1:5]
shutil.rmtree(WORK, ignore_errors=True)
orig = os.path.join(WORK, "office", "Riverside")
subprocess.run([MAKE_EXAMPLES, orig], check=True, capture_output=True)
failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)


def drawkit(*args):
    return subprocess.run([DRAWKIT, *args], capture_output=True, text=True, timeout=300)


def vorn_opens(drawing, workdir):
    os.makedirs(workdir, exist_ok=True)
    script = os.path.join(workdir, "open.scr")
    with open(script, "w", encoding="utf-8") as f:
        f.write(f'SETVAR SSLOCATE 1\nSETVAR SSMAUTOOPEN 1\nOPEN "{drawing}"\nGETVAR SSFOUND\nPALETTES\nQUIT\n')
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=workdir,
               XDG_CONFIG_HOME=os.path.join(workdir, "config"))
    p = subprocess.run([VORN, "--batch", script], capture_output=True, text=True, env=env, timeout=120)
    return p.returncode, p.stdout


# A copy beside the original (both exist): each drawing belongs to the set that came with it.
copy = os.path.join(WORK, "office", "Riverside variant")
shutil.copytree(orig, copy)
code, out = vorn_opens(os.path.join(copy, "drawings", "A-101 Ground Floor Plan.dwg"), os.path.join(WORK, "vorn-copy"))
expect('SSFOUND = "%s"' % os.path.join(copy, "Riverside Library.dst") in out, "a copied drawing names its own copy's set:\n" + out)

# The move: the original is gone.
moved = os.path.join(WORK, "share", "Projects", "Riverside")
os.makedirs(os.path.dirname(moved))
shutil.move(orig, moved)
dst = os.path.join(moved, "Riverside Library.dst")
p = drawkit("check", dst, "--json")
report = json.loads(p.stdout) if p.stdout.startswith("{") else {"findings": []}
expect(p.returncode == 0, "moved project: check exit %d\n%s" % (p.returncode, p.stdout))
notes = [f for f in report["findings"] if f["kind"] == "stamps-moved"]
expect(len(notes) == 1 and notes[0]["severity"] == "note" and "drawkit restamp" in notes[0]["message"],
       "one note on the moved stamps: %s" % report["findings"])

code, out = vorn_opens(os.path.join(moved, "drawings", "A-101 Ground Floor Plan.dwg"), os.path.join(WORK, "vorn-moved"))
expect(code == 0, "vorn exit %d" % code)
expect('SSFOUND = "%s"' % dst in out, "SSFOUND names the moved set:\n" + out)
expect('Palette "Sheet Set Manager" (shown)' in out and "Riverside Library" in out.split("Command: PALETTES")[-1],
       "opening a moved drawing opened its set in the palette:\n" + out)

p = drawkit("restamp", dst)
expect(p.returncode == 0 and "13 drawings restamped" in p.stdout, "restamp: %d %s %s" % (p.returncode, p.stdout, p.stderr))
doc = ezdxf.readfile(os.path.join(moved, "drawings", "A-101 Ground Floor Plan.dwg"))
stamp = doc.rootdict["VrSheetSetData"]
expect(list(stamp["ShSetFileName"].tags)[0].value == dst, "restamped set path")
expect(list(stamp["SheetDwgName"].tags)[0].value == os.path.join(moved, "drawings", "A-101 Ground Floor Plan.dwg"),
       "restamped drawing path")
expect(len(doc.audit().errors) == 0, "ezdxf audit of a restamped drawing")
p = drawkit("check", dst, "--json")
report = json.loads(p.stdout)
expect(p.returncode == 0 and not [f for f in report["findings"] if f["kind"] == "stamps-moved"],
       "after restamp the note is gone: %s" % report["findings"])
p = drawkit("restamp", dst)
expect("0 drawings restamped, 13 already pointing here" in p.stdout, "a second restamp changes nothing: %s" % p.stdout)

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
