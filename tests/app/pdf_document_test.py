#!/usr/bin/python3
"""A published set is one PDF document, read back with qpdf's JSON and poppler:

1. The example set: the outline mirrors the set (a bookmark per subset holding its sheets'
   "number - title" bookmarks, each pointing at its page), the page labels are the sheet numbers
   in page order, and Title, Author, Subject, Keywords and Creator say what the set is. One worker
   and two give the same document, page for page.
2. Reversed, the outline follows the pages: the subsets come in reverse, each once. A PDF per
   sheet, named by number and title, each labelled and titled by its sheet.
3. Curves: a drawing of 1,000 circles, arcs, ellipses, bulged polylines and 200 texts prints the
   curves as Bezier curves, not runs of short lines, with no empty graphics state blocks, and its
   page stream stays small.

  pdf_document_test.py MAKE_EXAMPLES DRAWKIT WORKDIR
"""
import csv
import getpass
import io
import json
import os
import re
import shutil
import subprocess
import sys

import ezdxf

from support import expect, finish, run

MAKE_EXAMPLES, DRAWKIT, WORK = sys.argv[1:4]
shutil.rmtree(WORK, ignore_errors=True)
PROJECT = os.path.join(WORK, "project")
subprocess.run([MAKE_EXAMPLES, PROJECT], check=True, capture_output=True)
SET = os.path.join(PROJECT, "Riverside Library.dst")



def document(pdf):
    """The outline as (depth, title, page) in reading order, the page labels, and pdfinfo's fields."""
    data = json.loads(run("qpdf", "--json=2", "--json-key=outlines", "--json-key=pagelabels", pdf).stdout)
    outline = []

    def walk(items, depth):
        for item in items:
            outline.append((depth, item["title"], item["destpageposfrom1"]))
            walk(item["kids"], depth + 1)
    walk(data["outlines"], 0)
    labels = [entry["label"].get("/P", "")[2:] for entry in data["pagelabels"]]
    info = dict(re.findall(r"^(\w+):\s+(.*)$", run("pdfinfo", pdf).stdout, re.M))
    return outline, labels, info


# ---- 1. the example set, by one worker and by two
sheets = list(csv.DictReader(io.StringIO(run(DRAWKIT, "sheets", SET, "--csv").stdout)))
published = [s for s in sheets if s["Publish"] == "yes" and "Reduced" not in s["Subset"]]
results = {}
for jobs in ("1", "2"):
    pdf = os.path.join(WORK, "set-%s.pdf" % jobs)
    p = run(DRAWKIT, "publish", SET, pdf, "--jobs", jobs)
    expect(p.returncode == 0, "publish --jobs %s: %d %s" % (jobs, p.returncode, p.stderr))
    results[jobs] = document(pdf)
outline, labels, info = results["2"]
expect(results["1"][:2] == results["2"][:2], "one worker and two differ")
expect(labels == [s["Number"] for s in published], "page labels %s" % labels[:6])
expect(info.get("Title") == "Riverside Library", "Title: %s" % info.get("Title"))
expect(info.get("Author") == getpass.getuser(), "Author: %s" % info.get("Author"))
expect(info.get("Subject", "").startswith("New public library"), "Subject: %s" % info.get("Subject"))
expect("P-2041" in info.get("Keywords", ""), "Keywords: %s" % info.get("Keywords"))
expect(info.get("Creator", "").startswith("Vorn Sheet Set Manager"), "Creator: %s" % info.get("Creator"))
# Each sheet's bookmark sits under the bookmarks of its subsets, and points at its page.
path = []
found = {}
for depth, title, page in outline:
    path = path[:depth] + [title]
    found[title] = (path[:-1], page)
for n, s in enumerate(published, 1):
    label = "%s - %s" % (s["Number"], s["Title"])
    subsets = [part.strip() for part in s["Subset"].split(" / ")] if s["Subset"] else []
    expect(found.get(label) == (subsets, n), "bookmark %s: %s, expected %s on page %d" % (label, found.get(label), subsets, n))
# A subset's bookmark appears once and opens on its first sheet.
tops = [(title, page) for depth, title, page in outline if depth == 0]
expect(tops == [("General", 1), ("Architecture", 4), ("Structure", 22), ("Services", 25), ("Landscape", 31)], "top bookmarks %s" % tops)
text = run("pdftotext", "-f", "12", "-l", "12", os.path.join(WORK, "set-2.pdf"), "-").stdout
expect("A-301" in text, "page 12 is A-301: %s" % text[:200])

p = run(DRAWKIT, "publish", SET, os.path.join(WORK, "titled.pdf"), "Landscape", "--title", "Riverside Library \u2013 DD issue")
expect(document(os.path.join(WORK, "titled.pdf"))[2].get("Title") == "Riverside Library \u2013 DD issue", "--title: %s" % p.stderr)

# ---- 2. reversed: the outline follows the pages
pdf = os.path.join(WORK, "reversed.pdf")
p = run(DRAWKIT, "publish", SET, pdf, "Structure", "Landscape", "--reverse")
outline, labels, _ = document(pdf)
expect(labels == ["L-102", "L-101", "S-103", "S-102", "S-101"], "reversed labels %s" % labels)
expect([(d, t) for d, t, _ in outline if d == 0] == [(0, "Landscape"), (0, "Structure")], "reversed outline %s" % outline)

# ---- 2b. a PDF per sheet: named by number and title, each a document of its own
each = os.path.join(WORK, "each")
os.makedirs(each)
p = run(DRAWKIT, "publish", SET, each, "Structure", "--one-per-sheet")
files = sorted(os.listdir(each))
expect(p.returncode == 0 and files == ["S-101 Foundation Plan.pdf", "S-102 Ground Floor Framing.pdf", "S-103 First Floor Framing.pdf"],
       "a PDF per sheet: %s %s" % (files, p.stderr))
if files:
    outline, labels, info = document(os.path.join(each, files[0]))
    expect(labels == ["S-101"] and info.get("Title") == "S-101 - Foundation Plan", "one sheet's PDF: %s %s" % (labels, info.get("Title")))

# ---- 3. curves
curves = os.path.join(WORK, "curves")
os.makedirs(curves)
doc = ezdxf.new("R2013")
msp = doc.modelspace()
for i in range(1000):
    x, y = (i % 40) * 30, (i // 40) * 30
    msp.add_circle((x, y), 5 + i % 7)
    if i % 4 == 0:
        msp.add_arc((x, y), 12, i % 360, (i * 7) % 360)
    if i % 5 == 0:
        msp.add_text("C%d" % i, height=3, dxfattribs={"insert": (x + 2, y + 2)})
    if i % 10 == 0:
        msp.add_ellipse((x + 15, y + 15), major_axis=(6, 2), ratio=0.4, start_param=0.3, end_param=5.0)
        msp.add_lwpolyline([(x, y, 0.5), (x + 10, y, -1), (x + 10, y + 10, 0)], format="xyb")
layout = doc.layouts.new("Curves")
layout.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm")
layout.add_viewport(center=(210, 148.5), size=(400, 280), view_center_point=(600, 375), view_height=800)
doc.saveas(os.path.join(curves, "C-101 Curves.dxf"))
curves_set = os.path.join(WORK, "Curves.dst")
p = run(DRAWKIT, "new-set", curves_set, "--from", curves)
p = run(DRAWKIT, "publish", curves_set, os.path.join(WORK, "curves.pdf"))
expect(p.returncode == 0, "publish the curves: %s %s" % (p.stdout, p.stderr))
run("qpdf", "--qdf", "--object-streams=disable", "--stream-data=uncompress", os.path.join(WORK, "curves.pdf"), os.path.join(WORK, "plain.pdf"))
with open(os.path.join(WORK, "plain.pdf"), "rb") as f:
    lines = f.read().decode("latin-1").splitlines()
ops = [line.rsplit(" ", 1)[-1] for line in lines]
longest = run_length = 0
for op in ops:
    run_length = run_length + 1 if op == "l" else 0
    longest = max(longest, run_length)
expect(ops.count("c") >= 4000, "%d curve operators for 1,000 circles" % ops.count("c"))
expect(longest <= 4, "a run of %d line-to operators: curves cut into lines" % longest)
# No graphics state saved and restored around nothing: texts in a run share their state.
empty, depth = 0, []
for op in ops:
    if op == "q":
        depth.append(False)
    elif op == "Q" and depth:
        drew = depth.pop()
        empty += not drew
        if drew and depth:
            depth[-1] = True
    elif op in ("S", "f", "f*", "B", "b", "Tj", "TJ", "Do", "n") and depth:
        depth[-1] = True
expect(empty < 20, "%d empty graphics state blocks on the page" % empty)
size = os.path.getsize(os.path.join(WORK, "plain.pdf"))
expect(size < 1000 * 400, "the page takes %d bytes uncompressed for about 1,350 curves" % size)

finish()
