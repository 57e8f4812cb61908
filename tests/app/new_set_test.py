#!/usr/bin/python3
"""drawkit new-set from a folder of 300 drawings written by ezdxf (R12 to R2018): subfolders, names beyond ASCII, every
version ezdxf writes, drawings with no layout set up, unreadable files and one that belongs to a set
already. The right sheets and subsets are made, the left-out drawings are reported, the drawings are
left byte for byte as they were (check notes that they are not stamped yet and names resave), and
a resave stamps every one of them, keeping its entities.

  new_set_test.py DRAWKIT WORKDIR
"""
import collections
import json
import os
import re
import shutil
import subprocess
import sys

import ezdxf

DRAWKIT, WORK = sys.argv[1:3]
shutil.rmtree(WORK, ignore_errors=True)
root = os.path.join(WORK, "Projekt Süd")
failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)


def counts(path):
    doc = ezdxf.readfile(path)
    return collections.Counter(e.dxftype() for layout in doc.layouts for e in layout)


VERSIONS = ["R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018"]
PER_FOLDER = 75  # 300 drawings in four folders
FOLDERS = ["", "Architektur", "Architektur/Grundrisse", "Tragwerk", "Ünterlagen ohne Pläne"]
expected_layouts = 0
originals = {}
for f in FOLDERS:
    os.makedirs(os.path.join(root, f), exist_ok=True)
n = 0
for f in FOLDERS[:-1]:
    for k in range(PER_FOLDER):
        version = VERSIONS[n % len(VERSIONS)]
        doc = ezdxf.new(version, setup=True)
        msp = doc.modelspace()
        for i in range(5 + k):
            msp.add_line((i, 0), (i + 3, 4))
        msp.add_text("Größe %d" % n)
        layouts = 0 if version == "R12" else k % 3  # 0, 1 or 2 set-up layouts; R12 has no layouts
        for j in range(layouts):
            lay = doc.layouts.new("Blatt %d-%d" % (n, j))
            lay.page_setup(size=(594, 420), margins=(0, 0, 0, 0), units="mm")
            lay.add_circle((10, 10), 5)
        expected_layouts += layouts
        name = os.path.join(root, f, "Zeichnung %02d é.%s" % (n, "dwg" if n % 2 else "dxf"))
        doc.saveas(name)
        if layouts:
            originals[name] = counts(name)
        n += 1
# Left out: unreadable files, a drawing in no folder with layouts, one stamped for another set.
with open(os.path.join(root, "Tragwerk", "kaputt.dwg"), "wb") as f:
    f.write(b"\x00\x01binary DWG, not DXF")
with open(os.path.join(root, "Architektur", "abgeschnitten.dxf"), "w") as f:
    f.write("  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n")
doc = ezdxf.new("R2010", setup=True)
lay = doc.layouts.new("Fremd")
lay.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm")
d = doc.rootdict.add_new_dict("VrSheetSetData")
x = d.add_xrecord("ShSetFileName")
x.reset([(1, "/elsewhere/Other.dst")])
doc.saveas(os.path.join(root, "Tragwerk", "fremd.dxf"))

raw = {}
for path in originals:
    with open(path, "rb") as f:
        raw[path] = f.read()
dst = os.path.join(WORK, "Projekt Süd.dst")
p = subprocess.run([DRAWKIT, "new-set", dst, "--from", root, "--subsets-by-folder", "--json"], capture_output=True, text=True)
expect(p.returncode == 0, "new-set exit %d: %s" % (p.returncode, p.stderr))
report = json.loads(p.stdout) if p.returncode == 0 else {}
expect(report.get("sheets") == expected_layouts, "sheets: %s, expected %d" % (report.get("sheets"), expected_layouts))
expect(len(report.get("skipped", {}).get("unreadable", [])) == 2, "unreadable: %s" % report.get("skipped"))
expect(any("fremd.dxf" in s for s in report.get("skipped", {}).get("inASheetSet", [])), "a stamped drawing was taken")
for path, before in raw.items():
    with open(path, "rb") as f:
        expect(f.read() == before, "%s: written to by new-set" % path)

tree = json.loads(subprocess.run([DRAWKIT, "sheets", dst, "--json"], capture_output=True, text=True).stdout)
top = tree["children"]
expect(len(top) == 1 and top[0]["name"] == "Projekt Süd", "the top folder is the one subset at the root: %s" % [c.get("name") for c in top])
names = [c["name"] for c in top[0]["children"] if c["type"] == "subset"] if top else []
expect(names == ["Architektur", "Tragwerk"], "subsets follow the folders (the one without drawings left out): %s" % names)


def numbers(node, out):
    for c in node.get("children", []):
        if c["type"] == "sheet":
            out.append(int(c["number"]))
        else:
            numbers(c, out)
    return out


expect(numbers(tree, []) == list(range(1, expected_layouts + 1)), "numbers run 1..n in tree order: %s" % numbers(tree, []))
p = subprocess.run([DRAWKIT, "check", dst], capture_output=True, text=True)
expect(p.returncode == 0 and "%d drawings are not stamped" % len(originals) in p.stdout and "drawkit resave" in p.stdout,
       "check of the new set: %s" % p.stdout[-2000:])
p = subprocess.run([DRAWKIT, "resave", dst], capture_output=True, text=True)
expect(p.returncode == 0, "resave of the new set: %s %s" % (p.stdout[-500:], p.stderr[-500:]))
for path, before in originals.items():
    after = counts(path)
    expect(after == before, "%s: entities changed by stamping: %s -> %s" % (path, dict(before), dict(after)))
    stamp = ezdxf.readfile(path).rootdict.get("VrSheetSetData")
    expect(stamp is not None and list(stamp["ShSetFileName"].tags)[0].value == dst, "%s not stamped for the set" % path)
p = subprocess.run([DRAWKIT, "check", dst], capture_output=True, text=True)
expect(p.returncode == 0 and "not stamped" not in p.stdout, "check after the resave: %s" % p.stdout[-2000:])
p = subprocess.run([DRAWKIT, "new-set", dst, "--from", root], capture_output=True, text=True)
expect(p.returncode == 2 and "exists already" in p.stderr, "an existing set is never overwritten: %d %s" % (p.returncode, p.stderr))

# From an example: its subsets and settings, none of its sheets, and the new set's own location.
subprocess.run([DRAWKIT, "prop", dst, "Bauherr=Stadt"], check=True, capture_output=True)
copy = os.path.join(WORK, "Kopie", "Neues Projekt.dst")
os.makedirs(os.path.dirname(copy))
p = subprocess.run([DRAWKIT, "new-set", copy, "--example", dst, "--description", "aus dem Beispiel", "--json"],
                   capture_output=True, text=True)
expect(p.returncode == 0, "new-set --example: %d %s" % (p.returncode, p.stderr))
made = json.loads(subprocess.run([DRAWKIT, "sheets", copy, "--json"], capture_output=True, text=True).stdout or "{}")


def subset_paths(node, prefix=""):
    out = []
    for c in node.get("children", []):
        if c["type"] == "subset":
            out.append(prefix + c["name"])
            out += subset_paths(c, prefix + c["name"] + "/")
    return out


expect(made.get("name") == "Neues Projekt" and made.get("description") == "aus dem Beispiel", "name and description: %s" % made)
expect(made.get("sheetCount") == 0, "no sheets are copied from an example")
expect(subset_paths(made) == subset_paths(tree), "the example's subsets: %s vs %s" % (subset_paths(made), subset_paths(tree)))
with open(copy, encoding="utf-8") as f:
    text = f.read()
expect('name="Bauherr"' in text and "Stadt" in text, "the example's custom properties are copied")
locations = set(re.findall(r'role="NewSheetLocation"[^>]*? path="([^"]*)"', text))
expect(locations == {os.path.join(WORK, "Kopie")}, "every subset's new sheets go beside the new set: %s" % locations)
p = subprocess.run([DRAWKIT, "new-set", os.path.join(WORK, "x.dst"), "--example", os.path.join(WORK, "none.dst")], capture_output=True, text=True)
expect(p.returncode == 2 and "none.dst" in p.stderr, "a missing example: %d %s" % (p.returncode, p.stderr))

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
