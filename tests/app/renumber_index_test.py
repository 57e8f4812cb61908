#!/usr/bin/python3
"""Renumbering, renaming, the sheet index both ways, resaving and selections on the example project,
read back with ezdxf: a subset renumbered by a pattern with layouts and files renamed, a collision
that changes nothing, ten titles and a custom property changed through an edited index, every
drawing resaved; then drawkit check is clean, the renamed drawings hold the new layout names,
every drawing keeps its entities, and "sheet n of m" is right in every title block.

  renumber_index_test.py MAKE_EXAMPLES DRAWKIT WORKDIR
"""
import collections
import csv
import io
import os
import shutil
import subprocess
import sys

import ezdxf

MAKE_EXAMPLES, DRAWKIT, WORK = sys.argv[1:4]
shutil.rmtree(WORK, ignore_errors=True)
subprocess.run([MAKE_EXAMPLES, WORK], check=True, capture_output=True)
SET = os.path.join(WORK, "Riverside Library.dst")
failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)


def run(*args):
    return subprocess.run([DRAWKIT, *args], capture_output=True, text=True)


def rows():
    return list(csv.DictReader(io.StringIO(run("sheets", SET, "--csv").stdout)))


def counts(path):
    doc = ezdxf.readfile(path)
    return collections.Counter(e.dxftype() for layout in doc.layouts for e in layout)


before = {r["Drawing"]: counts(os.path.join(WORK, r["Drawing"])) for r in rows()}

# A collision with sheets outside the subset changes nothing.
p = run("renumber", SET, "Architecture/Elevations", "--pattern", "A-10#")
expect(p.returncode == 1 and "collides: A-101" in p.stdout, "collision: %s %s" % (p.stdout, p.stderr))
expect([r["Number"] for r in rows() if "Elevations" in r["Subset"]] == ["A-201", "A-202", "A-203", "A-204"], "nothing renumbered")

# The elevations renumbered with their layouts renamed (one drawing holds all four).
p = run("renumber", SET, "Architecture/Elevations", "--pattern", "E-##", "--start", "2", "--step", "2", "--rename-layouts")
expect(p.returncode == 0 and "A-201        -> E-02" in p.stdout, "renumber: %s %s" % (p.stdout, p.stderr))
elev = [r for r in rows() if "Elevations" in r["Subset"]]
expect([r["Number"] for r in elev] == ["E-02", "E-04", "E-06", "E-08"], "numbers: %s" % [r["Number"] for r in elev])
names = [l.name for l in ezdxf.readfile(os.path.join(WORK, "drawings", "A-200 Elevations.dwg")).layouts if l.name != "Model"]
expect(names == ["E-02 North Elevation", "E-04 South Elevation", "E-06 East Elevation", "E-08 West Elevation"], "layouts: %s" % names)

# One sheet renamed with its layout and its own drawing file.
p = run("rename", SET, "L-101", "--title", "Landscape Master Plan", "--rename-layout", "--rename-file")
expect(p.returncode == 0, "rename: %s" % p.stderr)
renamed = os.path.join(WORK, "drawings", "L-101 Landscape Master Plan.dwg")
expect(os.path.exists(renamed) and not os.path.exists(os.path.join(WORK, "drawings", "L-100 Landscape.dwg")), "the drawing file is renamed")
lay = [l.name for l in ezdxf.readfile(renamed).layouts]
expect("L-101 Landscape Master Plan" in lay and "L-102 Planting Plan" in lay, "its layouts: %s" % lay)
expect(all(r["Drawing"] != "drawings/L-100 Landscape.dwg" for r in rows()), "the drawing's other sheet follows it")

# The index edited in a spreadsheet: ten titles and a custom property column.
index = rows()
for r in index[:10]:
    r["Title"] = r["Title"] + " (rev)"
for r in index:
    r["Checked by"] = "QA"
path = os.path.join(WORK, "index.csv")
with open(path, "w", encoding="utf-8-sig", newline="") as f:
    w = csv.DictWriter(f, fieldnames=list(index[0].keys()), delimiter=";")
    w.writeheader()
    w.writerows(index)
p = run("index", SET, "--apply", path, "--dry-run")
expect(p.returncode == 0 and p.stdout.count('" -> "') >= 10 + len(index), "dry run prints every change")
expect(rows()[0]["Title"] == "Cover Sheet", "a dry run changes nothing")
p = run("index", SET, "--apply", path)
expect(p.returncode == 0 and "%d sheets changed" % len(index) in p.stdout, "apply: %s %s" % (p.stdout[-300:], p.stderr))
after = rows()
expect([r["Title"] for r in after[:10]] == [r["Title"] for r in index[:10]], "ten titles changed")
expect(all(r["Checked by"] == "QA" for r in after), "the custom property column")

# A number is one sheet's address: a new sheet, a rename or a property may not take one that
# another sheet carries, in another subset or letter case; an index may trade numbers between two
# sheets, but not give one number to two.
def apply_index(changed):
    with open(path, "w", encoding="utf-8-sig", newline="") as f:
        w = csv.DictWriter(f, fieldnames=list(changed[0].keys()), delimiter=";")
        w.writeheader()
        w.writerows(changed)
    return run("index", SET, "--apply", path)


first, second = after[0]["Number"], after[1]["Number"]
for args in (("new-sheet", SET, "--subset", "Architecture", "--number", first.lower(), "--title", "Copy"),
             ("rename", SET, second, "--number", first), ("prop", SET, second, "Number=" + first + " ")):
    p = run(*args)
    expect(p.returncode == 1 and "%s is taken" % first.lower() in p.stderr.lower(), "%s takes a number in use: %d %s" % (args[0], p.returncode, p.stderr))
expect([r["Number"] for r in rows()] == [r["Number"] for r in after], "a refused number changed the set")
traded = rows()
traded[0]["Number"], traded[1]["Number"] = second, first
p = apply_index(traded)
expect(p.returncode == 0 and [r["Number"] for r in rows()[:2]] == [second, first], "an index trades two numbers: %s" % p.stderr)
doubled = rows()
doubled[1]["Number"] = doubled[0]["Number"]
p = apply_index(doubled)
expect(p.returncode == 1 and "to two sheets" in p.stderr and [r["Number"] for r in rows()[:2]] == [second, first],
       "an index gives one number to two sheets: %d %s" % (p.returncode, p.stderr))

# Selections, and a resave of every drawing.
expect(run("selection", SET, "add", "Issue 4", "E-02", "Structure").returncode == 0, "selection")
p = run("selection", SET, "restore", "Issue 4")
expect(p.stdout.split("\n")[:2] == ["E-02 - North Elevation", "[Structure]"], "restore: %s" % p.stdout)
p = run("resave", SET)
expect(p.returncode == 0 and "38 of 38 sheets resaved" in p.stdout, "resave: %s" % p.stdout)

p = run("check", SET)
expect(p.returncode == 0 and "0 problems" in p.stdout, "check: %s" % p.stdout[-800:])
final = rows()
for n, r in enumerate(final, 1):
    doc = ezdxf.readfile(os.path.join(WORK, r["Drawing"]))
    tb = {a.dxf.tag: a.dxf.text for i in doc.layouts.get(r["Layout"]).query("INSERT") for a in i.attribs}
    expect(tb.get("SHEETOF") == "%d of %d" % (n, len(final)) and tb.get("SHEETNO") == r["Number"] and tb.get("SHEETTITLE") == r["Title"],
           "%s title block: %s" % (r["Number"], tb))
for drawing, c in before.items():
    now = drawing.replace("L-100 Landscape", "L-101 Landscape Master Plan")
    expect(counts(os.path.join(WORK, now)) == c, "%s: entities changed" % now)

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
