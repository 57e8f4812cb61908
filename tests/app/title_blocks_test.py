#!/usr/bin/python3
"""Title blocks that follow the set, read back with ezdxf: in the example project the project name
and a sheet's number change, a sheet is added and one removed; every drawing's title block then shows
the new project name and its own number, title and "n of m"; the field text shows the project number;
a drawing whose title block was written by ezdxf with attributes (tags SHEET_NUMBER, Sheet Title,
PROJECTNAME, SHEETOF) follows too; nothing else in any drawing changed (ezdxf's entity counts).

  title_blocks_test.py MAKE_EXAMPLES DRAWKIT WORKDIR
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


def sheets():
    return list(csv.DictReader(io.StringIO(run("sheets", SET, "--csv").stdout)))


def counts(path):
    doc = ezdxf.readfile(path)
    return collections.Counter(e.dxftype() for layout in doc.layouts for e in layout)


def title_block(path, layout):
    """The attribute values and field texts of a layout, by tag."""
    doc = ezdxf.readfile(path)
    lay = doc.layouts.get(layout)
    out = {}
    for ins in lay.query("INSERT"):
        for a in ins.attribs:
            out[a.dxf.tag] = a.dxf.text
    for t in lay.query("TEXT"):
        if t.has_extension_dict and "ACAD_FIELD" in t.get_extension_dict():
            out["field"] = t.dxf.text
    return out


# A drawing from another program: its title block's attributes are named as the properties.
doc = ezdxf.new("R2013", setup=True)
blk = doc.blocks.new("OTHER_TB")
blk.add_lwpolyline([(0, 0), (180, 0), (180, 40), (0, 40)], close=True)
for i, tag in enumerate(["SHEET_NUMBER", "Sheet Title", "PROJECTNAME", "SHEETOF"]):
    blk.add_attdef(tag, (5, 5 + 8 * i), dxfattribs={"height": 3})
lay = doc.layouts.new("Survey")
lay.page_setup(size=(841, 594), margins=(0, 0, 0, 0), units="mm")
ins = lay.add_blockref("OTHER_TB", (600, 10))
for tag in ["SHEET_NUMBER", "Sheet Title", "PROJECTNAME", "SHEETOF"]:
    ins.add_attrib(tag, "?", (600, 10))
lay.add_line((0, 0), (100, 100))
other = os.path.join(WORK, "drawings", "Other Survey.dxf")
doc.saveas(other)
p = run("import", SET, other, "--subset", "Landscape")
expect(p.returncode == 0, "import: %s %s" % (p.stdout, p.stderr))
# Importing leaves the drawing alone; resaving the sheets stamps it, and from then on its title block
# follows the set.
p = run("resave", SET)
expect(p.returncode == 0, "resave: %s %s" % (p.stdout[-300:], p.stderr[-300:]))

drawings = sorted({os.path.join(WORK, r["Drawing"]) for r in sheets()})
before = {d: counts(d) for d in drawings}

expect(run("prop", SET, "Project name=Riverside Public Library", "Project number=P-2099").returncode == 0, "project fields")
expect(run("prop", SET, "A-102", "Number=A-110").returncode == 0, "renumber A-102")
expect(run("prop", SET, "Landscape/Survey", "Number=L-103", "Title=Survey").returncode == 0, "number the imported sheet")
expect(run("remove", SET, "L-102").returncode == 0, "remove L-102")
p = run("new-sheet", SET, "--subset", "General", "--number", "G-004", "--title", "Legend")
expect(p.returncode == 0, "new sheet: %s" % p.stderr)

rows = sheets()
total = len(rows)
for n, r in enumerate(rows, 1):
    path = os.path.join(WORK, r["Drawing"])
    tb = title_block(path, r["Layout"])
    number = tb.get("SHEETNO", tb.get("SHEET_NUMBER"))
    title = tb.get("SHEETTITLE", tb.get("Sheet Title"))
    expect(number == r["Number"], "%s: number shows %r" % (r["Number"], number))
    expect(title == r["Title"], "%s: title shows %r" % (r["Number"], title))
    expect(tb.get("PROJECTNAME") == "Riverside Public Library", "%s: project shows %r" % (r["Number"], tb.get("PROJECTNAME")))
    expect(tb.get("SHEETOF") == "%d of %d" % (n, total), "%s: shows %r, is %d of %d" % (r["Number"], tb.get("SHEETOF"), n, total))
    if "field" in tb or path != other:
        expect(tb.get("field") == "P-2099", "%s: the field shows %r" % (r["Number"], tb.get("field")))
for d in drawings:
    if os.path.exists(d):
        expect(counts(d) == before[d], "%s: entities changed" % d)
p = run("check", SET)
expect(p.returncode == 0, "check: %s" % p.stdout[-800:])
p = run("update-fields", SET, "--json")
expect(p.returncode == 0 and '"drawingsChanged": 0' in p.stdout, "a second update changes nothing: %s" % p.stdout)

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
