#!/usr/bin/python3
"""drawkit sheets / check on the generated example project, then on the same project after its
folder moved, a drawing was deleted, ezdxf restamped a drawing for another set, two sheets got the
same number and a crashed session left its lock file. ezdxf also reads the stamps and the page
setups we wrote.

  drawkit_sheetset_test.py DRAWKIT MAKE_EXAMPLES WORKDIR
"""
import csv
import fcntl
import io
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import threading

import ezdxf

DRAWKIT, MAKE_EXAMPLES, WORK = sys.argv[1:4]
shutil.rmtree(WORK, ignore_errors=True)
orig = os.path.join(WORK, "orig")
subprocess.run([MAKE_EXAMPLES, orig], check=True, capture_output=True)
failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)


def drawkit(*args):
    return subprocess.run([DRAWKIT, *args], capture_output=True, text=True, timeout=300)


dst = os.path.join(orig, "Riverside Library.dst")
p = drawkit("check", dst)
expect(p.returncode == 0 and "0 problems" in p.stdout, "fresh example: check not clean:\n" + p.stdout + p.stderr)

# The tree and the index agree: every sheet once, subsets three deep, custom properties as columns.
tree = json.loads(drawkit("sheets", dst, "--json").stdout)
def sheets_of(children, depth, out):
    for c in children:
        if c["type"] == "sheet":
            out.append((c["number"], depth))
        else:
            sheets_of(c["children"], depth + 1, out)
    return out
listed = sheets_of(tree["children"], 0, [])
expect(len(listed) == tree["sheetCount"] >= 30, "sheet count %d / %d" % (len(listed), tree["sheetCount"]))
expect(max(d for _, d in listed) == 3, "subsets are not three levels deep")
rows = list(csv.DictReader(io.StringIO(drawkit("sheets", dst, "--csv").stdout, newline="")))
expect([r["Number"] for r in rows] == [n for n, _ in listed], "CSV rows differ from the tree")
expect(all(r["Checked by"] == "MC" for r in rows), "custom property column missing")
expect({r["Subset"] for r in rows} >= {"Architecture / Plans / Reduced (A3)", "General"}, "subset column wrong")

# ezdxf sees our stamp and our page setups, and finds nothing to fix in either file.
doc = ezdxf.readfile(os.path.join(orig, "drawings", "A-101 Ground Floor Plan.dwg"))
stamp = doc.rootdict["VrSheetSetData"]
names = sorted(stamp.keys())
expect(names == sorted(["LayoutHandle", "LayoutName", "SheetDwgName", "ShSetFileName", "ShSetRelativeName",
                        "ShSetVersion", "UpdateCount", "UpdateTime"]), "stamp entries %s" % names)
expect(list(stamp["ShSetRelativeName"].tags)[0].value == "../Riverside Library.dst", "relative stamp path")
expect(list(stamp["ShSetFileName"].tags)[0].value == dst, "stamped path")
expect(re.fullmatch(r"\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\.\d{3}", list(stamp["UpdateTime"].tags)[0].value), "UpdateTime")
expect(len(doc.audit().errors) == 0, "ezdxf audit of a stamped drawing")
setups = ezdxf.readfile(os.path.join(orig, "templates", "Vorn Page Setups.dwt"))
expect(sorted(setups.rootdict["ACAD_PLOTSETTINGS"].keys()) == ["PDF A1 (1:1)", "PDF A3 (1:1)", "Plotter A1"], "page setups")

# Scripted edits: exit 1 for a bad item, 3 while a colleague holds the set (naming who and since
# when), 0 once --wait sees the lock go, 2 for a set that cannot be read, with the reason.
p = drawkit("move", dst, "Z-999", "--to", "General")
expect(p.returncode == 1 and "Z-999" in p.stderr, "bad item: %d %s" % (p.returncode, p.stderr))
p = drawkit("prop", dst, "A-101")
expect(p.returncode == 2 and "NAME=VALUE" in p.stderr, "prop without NAME=VALUE: %d" % p.returncode)
F_OFD_SETLK = 37  # Linux
dbl = os.path.join(orig, "Riverside Library.dbl")
fd = os.open(dbl, os.O_RDWR | os.O_CREAT, 0o666)
fcntl.fcntl(fd, F_OFD_SETLK, struct.pack("hhqqi", fcntl.F_WRLCK, 0, 0, 0, 0))
os.write(fd, b"[UserInfo]\nUserName=mchen\nMachine=cad-07\nSince=2026-12-01 08:15:00\n")
p = drawkit("prop", dst, "Status=held")
expect(p.returncode == 3 and "locked by mchen on cad-07 since 2026-12-01 08:15:00" in p.stderr,
       "held set: %d %s" % (p.returncode, p.stderr))
with open(dbl) as f:
    expect("mchen" in f.read(), "a failed attempt left the holder's lock file alone")
threading.Timer(0.5, lambda: (os.unlink(dbl), os.close(fd))).start()
p = drawkit("prop", dst, "Status=after the wait", "--wait", "20")
expect(p.returncode == 0, "--wait: %d %s" % (p.returncode, p.stderr))
expect(not os.path.exists(dbl), "lock file left after a scripted edit")
damaged = os.path.join(WORK, "damaged.dst")
with open(damaged, "w") as f:
    f.write('<VornSheetSet format="1"><SheetSet name="x">')
p = drawkit("new-subset", damaged, "A")
expect(p.returncode == 2 and "damaged" in p.stderr, "damaged set: %d %s" % (p.returncode, p.stderr))

# The example sheet sets new sets start from: each reads clean, and a new set made from one has
# its subsets and its own sheet template.
examples = os.path.join(orig, "Sheet Set Examples")
found = sorted(f for f in os.listdir(examples) if f.endswith(".dst"))
expect(found == ["Architectural Metric (A1).dst", "Civil Infrastructure (A1).dst", "Plain (A3).dst"], "example sets: %s" % found)
for f in found:
    p = drawkit("check", os.path.join(examples, f), "--json")
    expect(p.returncode == 0, "example %s: %s" % (f, p.stdout[-800:]))
    tmpl = ezdxf.readfile(os.path.join(examples, "Templates", f[:-4] + " Sheet.dwt"))
    expect([l.name for l in tmpl.layouts if l.name != "Model"] == [("A3" if "A3" in f else "A1")], "%s template layouts" % f)
    expect(len(tmpl.audit().errors) == 0, "%s template audits clean" % f)
fresh = os.path.join(WORK, "fresh", "Harbour Baths.dst")
os.makedirs(os.path.dirname(fresh))
p = drawkit("new-set", fresh, "--example", os.path.join(examples, "Civil Infrastructure (A1).dst"))
expect(p.returncode == 0, "new set from the civil example: %s" % p.stderr)
tree = json.loads(drawkit("sheets", fresh, "--json").stdout)
expect([c["name"] for c in tree["children"]] == ["General", "Roads", "Drainage", "Structures", "Landscape"], "civil subsets")

# Now break it in every way a project share gets broken.
moved = os.path.join(WORK, "share", "Riverside (moved)")
os.makedirs(os.path.dirname(moved))
shutil.move(orig, moved)
dst = os.path.join(moved, "Riverside Library.dst")
os.remove(os.path.join(moved, "drawings", "S-103 First Floor Framing.dwg"))
other = os.path.join(moved, "drawings", "L-100 Landscape.dwg")
doc = ezdxf.readfile(other)
rec = doc.rootdict["VrSheetSetData"]["ShSetFileName"]
rec.reset([(1, "/projects/Harbour Baths/Harbour Baths.dst")])
doc.saveas(other)
with open(dst, encoding="utf-8") as f:
    text = f.read()
text = text.replace('number="A-102"', 'number="a-101"', 1)
with open(dst, "w", encoding="utf-8") as f:
    f.write(text)
with open(os.path.join(moved, "Riverside Library.dbl"), "w") as f:
    f.write("[UserInfo]\nUserName=mchen\nMachine=cad-07\n")

p = drawkit("check", dst, "--json")
expect(p.returncode == 1, "broken project: exit %d" % p.returncode)
report = json.loads(p.stdout)
kinds = {}
for f in report["findings"]:
    kinds.setdefault(f["kind"], []).append(f)
expect(any("S-103" in f["where"] for f in kinds.get("missing-drawing", [])), "deleted drawing not reported")
expect(any("Harbour Baths" in f["message"] for f in kinds.get("stamped-other-set", [])), "other set not reported")
moved_notes = kinds.get("stamps-moved", [])
expect(len(moved_notes) == 1 and moved_notes[0]["severity"] == "note" and "drawkit restamp" in moved_notes[0]["message"],
       "drawings stamped at the old place: %s" % moved_notes)
expect("stamped-old-location" not in kinds, "a moved project's stamps are not errors")
expect(any("A-101" in f["where"].upper() for f in kinds.get("duplicate-number", [])), "duplicate number not reported")
expect(any("mchen" in f["message"] and f["severity"] == "warning" for f in kinds.get("stale-lock", [])),
       "stale lock not reported")
expect([f["severity"] for f in kinds.get("relocated", [])] == ["note"], "one note on the moved folder")
expect(report["errors"] == sum(1 for f in report["findings"] if f["severity"] == "error"), "error count")
p = drawkit("check", os.path.join(WORK, "nothing.dst"))
expect(p.returncode == 2 and "no such sheet set file" in p.stderr, "missing set: %d %s" % (p.returncode, p.stderr))

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
