#!/usr/bin/python3
"""Sheets in bulk on the example project: 40 sheets from a CSV (byte order mark, semicolons, quoted
fields) into three subsets, 20 layouts of drawings written by ezdxf imported, 5 sheets removed, one
drawing deleted and its sheets given the layouts of a new one. Then drawkit check is clean, every
new drawing opens in ezdxf with one layout named as its sheet's, the imported drawings keep every
entity, a failing CSV row keeps the rows before it, and the sheet index CSV is taken back.

  sheets_bulk_test.py MAKE_EXAMPLES DRAWKIT WORKDIR
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
DRAWINGS = os.path.join(WORK, "drawings")
failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)


def drawkit(*args):
    return subprocess.run([DRAWKIT, *args], capture_output=True, text=True)


def counts(path):
    doc = ezdxf.readfile(path)
    return collections.Counter(e.dxftype() for layout in doc.layouts for e in layout)


def sheet_rows():
    return list(csv.DictReader(io.StringIO(drawkit("sheets", SET, "--csv").stdout)))


SUBSETS = ["Architecture/Plans/Full size (A1)", "Structure / Framing", "Landscape"]
rows = ["Number;Title;Subset;Drawn by;Revision"]
for i in range(40):
    rows.append('X-%03d;"Sheet %d";%s;"Z.  Q.";A' % (i + 1, i + 1, SUBSETS[i % 3]))
with open(os.path.join(WORK, "new.csv"), "w", encoding="utf-8-sig", newline="") as f:
    f.write("\r\n".join(rows) + "\r\n")
p = drawkit("new-sheet", SET, "--from-csv", os.path.join(WORK, "new.csv"))
expect(p.returncode == 0, "new-sheet --from-csv: %d %s" % (p.returncode, p.stderr))
expect(p.stdout.count("new sheet") == 40, "a report line per sheet: %s" % p.stdout[-500:])
made = {r["Number"]: r for r in sheet_rows() if r["Number"].startswith("X-")}
expect(len(made) == 40, "40 sheets made: %d" % len(made))
expect(made.get("X-002", {}).get("Subset") == "Structure / Framing", "subset of X-002: %s" % made.get("X-002"))
expect(made.get("X-003", {}).get("Drawn by") == "Z.  Q." and made.get("X-003", {}).get("Revision") == "A",
       "properties from the columns: %s" % made.get("X-003"))
for number, r in made.items():
    path = os.path.join(WORK, r["Drawing"])
    doc = ezdxf.readfile(path)
    names = [l.name for l in doc.layouts if l.name != "Model"]
    expect(names == [r["Layout"]] and r["Layout"] == "%s Sheet %d" % (number, int(number[2:])),
           "%s: layouts %s, sheet's %s" % (number, names, r["Layout"]))
    expect(len(doc.audit().errors) == 0, "%s: ezdxf finds errors" % path)

# A failing row: those before it stand, it makes nothing, exit 1.
with open(os.path.join(WORK, "bad.csv"), "w", encoding="utf-8", newline="") as f:
    f.write("Number,Title,Subset\nY-1,Fine,Landscape\nY-2,Also fine,Landscape\nY-3,Nowhere,No such subset\nY-4,Never,Landscape\n")
p = drawkit("new-sheet", SET, "--from-csv", os.path.join(WORK, "bad.csv"))
expect(p.returncode == 1 and "row 4" in p.stderr and "No such subset" in p.stderr, "failing row: %d %s" % (p.returncode, p.stderr))
numbers = [r["Number"] for r in sheet_rows()]
expect("Y-2" in numbers and "Y-3" not in numbers and "Y-4" not in numbers, "rows before the failing one stand: %s" % numbers[-5:])
expect(not os.path.exists(os.path.join(DRAWINGS, "Y-3 Nowhere.dwg")), "the failing row wrote a drawing")

# The sheet index, edited in a spreadsheet, taken back as new sheets.
index = drawkit("sheets", SET, "--csv").stdout.splitlines()
edited = [index[0]] + [line.replace("Y-1,Fine", "Y-5,Copied").replace(",drawings/", ",old/") for line in index if line.startswith("Y-1,")]
with open(os.path.join(WORK, "index.csv"), "w", encoding="utf-8", newline="") as f:
    f.write("\n".join(edited) + "\n")
p = drawkit("new-sheet", SET, "--from-csv", os.path.join(WORK, "index.csv"))
expect(p.returncode == 0 and "Y-5" in [r["Number"] for r in sheet_rows()], "the index CSV is accepted: %s %s" % (p.stdout, p.stderr))

# 20 layouts of ten ezdxf drawings.
imported = {}
for k in range(10):
    doc = ezdxf.new("R2018" if k % 2 else "R2000", setup=True)
    msp = doc.modelspace()
    for i in range(3 + k):
        msp.add_line((i, 0), (i, 5))
    msp.add_text("Plan %d" % k)
    for j in range(2):
        lay = doc.layouts.new("Site %d-%d" % (k, j))
        lay.page_setup(size=(841, 594), margins=(5, 5, 5, 5), units="mm")
        lay.add_circle((20, 20), 5 + j)
    path = os.path.join(DRAWINGS, "Survey %02d.dxf" % k)
    doc.saveas(path)
    imported[path] = counts(path)
p = drawkit("import", SET, *imported.keys(), "--subset", "Landscape", "--prefix-file-name")
expect(p.returncode == 0 and p.stdout.count("imported ") == 20, "import: %d %s %s" % (p.returncode, p.stdout[-300:], p.stderr))
p = drawkit("import", SET, list(imported)[0])
expect(p.returncode == 1 and p.stdout.count("already a sheet") == 2, "layouts already sheets: %s %s" % (p.stdout, p.stderr))
for path, before in imported.items():
    expect(counts(path) == before, "%s: entities changed by the import" % path)
titles = [r["Title"] for r in sheet_rows() if r["Subset"] == "Landscape"]
expect("Survey 03 - Site 3-1" in titles, "titles with the file name: %s" % titles[-4:])

# Five sheets removed; their drawings stay.
p = drawkit("remove", SET, "X-001", "X-004", "X-007", "Y-1", "Y-2")
expect(p.returncode == 0, "remove: %s" % p.stderr)
numbers = [r["Number"] for r in sheet_rows()]
expect(not any(n in numbers for n in ("X-001", "X-004", "X-007", "Y-1", "Y-2")), "removed: %s" % numbers)
expect(os.path.exists(os.path.join(DRAWINGS, "X-001 Sheet 1.dwg")), "a removed sheet's drawing is kept")
p = drawkit("remove", SET, "Landscape")
expect(p.returncode == 1 and "not empty" in p.stderr, "a subset with sheets is not removed: %s" % p.stderr)

# One drawing deleted: its two sheets take the layouts of a new drawing.
gone = os.path.join(DRAWINGS, "Survey 05.dxf")
os.remove(gone)
p = drawkit("check", SET)
expect(p.returncode == 1, "check finds the missing drawing")
doc = ezdxf.new("R2013", setup=True)
for j in range(2):
    lay = doc.layouts.new("Site 5-%d new" % j)
    lay.page_setup(size=(841, 594), margins=(5, 5, 5, 5), units="mm")
replacement = os.path.join(DRAWINGS, "Survey 05 new.dxf")
doc.saveas(replacement)
sheets = [r for r in sheet_rows() if r["Drawing"].endswith("Survey 05.dxf")]
expect(len(sheets) == 2, "two sheets showed the deleted drawing: %s" % sheets)
for j, r in enumerate(sheets):
    p = drawkit("import", SET, replacement, "--layout", "Site 5-%d new" % j, "--for", "Landscape/" + r["Title"])
    expect(p.returncode == 0, "re-associate %s: %s %s" % (r["Title"], p.stdout, p.stderr))
expect(ezdxf.readfile(replacement).rootdict.get("VrSheetSetData") is None, "giving a sheet a layout wrote into its drawing")

p = drawkit("check", SET)
expect(p.returncode == 0, "check after it all: %s" % p.stdout[-1500:])
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
