#!/usr/bin/python3
"""Publishing and transmittal of the example project, checked with poppler's tools and by
unpacking: one page per gathered sheet at its paper size, each sheet's number and title on its page
as text, embedded fonts, reverse order, a plot stamp, a page setup override, a missing drawing
skipped and logged (exit 1); the package unpacked elsewhere checks clean with every drawing found.

  publish_test.py MAKE_EXAMPLES DRAWKIT WORKDIR VORN
"""
import csv
import io
import os
import re
import shutil
import subprocess
import sys
import zipfile

from support import expect, finish, run

MAKE_EXAMPLES, DRAWKIT, WORK, VORN = sys.argv[1:5]
shutil.rmtree(WORK, ignore_errors=True)
PROJECT = os.path.join(WORK, "Projekt Ümlaut")
subprocess.run([MAKE_EXAMPLES, PROJECT], check=True, capture_output=True)
SET = os.path.join(PROJECT, "Riverside Library.dst")



def pages(pdf):
    info = run("pdfinfo", "-f", "1", "-l", "999", pdf).stdout
    return [tuple(float(v) for v in m) for m in re.findall(r"Page\s+\d+ size:\s+([\d.]+) x ([\d.]+)", info)]


def page_text(pdf, n):
    return run("pdftotext", "-f", str(n), "-l", str(n), "-layout", pdf, "-").stdout


sheets = list(csv.DictReader(io.StringIO(run(DRAWKIT, "sheets", SET, "--csv").stdout)))
published = [s for s in sheets if s["Publish"] == "yes" and "Reduced" not in s["Subset"]]

pdf = os.path.join(WORK, "Riverside set.pdf")
p = run(DRAWKIT, "publish", SET, pdf, "--log", os.path.join(WORK, "publish.log"))
expect(p.returncode == 0, "publish: %d %s" % (p.returncode, p.stderr))
sizes = pages(pdf)
expect(len(sizes) == len(published), "pages %d, sheets gathered %d" % (len(sizes), len(published)))
expect(all(abs(w - 2383.94) < 1 and abs(h - 1683.78) < 1 for w, h in sizes), "A1 landscape pages: %s" % sizes[:3])
for n, s in enumerate(published, 1):
    text = page_text(pdf, n)
    expect(s["Number"] in text and s["Title"] in text, "page %d lacks %s %s" % (n, s["Number"], s["Title"]))
fonts = run("pdffonts", pdf).stdout
expect("DejaVuSans" in fonts and " yes " in fonts, "fonts embedded: %s" % fonts)
with open(os.path.join(WORK, "publish.log"), encoding="utf-8") as f:
    log = f.read()
expect(log.count("done     ") == len(published), "a log line per sheet")

# One subset, reversed, with a plot stamp.
p = run(DRAWKIT, "publish", SET, os.path.join(WORK, "elev.pdf"), "Architecture/Elevations", "--reverse", "--stamp")
expect(p.returncode == 0 and len(pages(os.path.join(WORK, "elev.pdf"))) == 4, "the elevations: %s" % p.stdout)
first = page_text(os.path.join(WORK, "elev.pdf"), 1)
expect("A-204" in first and "West Elevation" in first, "reversed: the last sheet first")
expect("A-200 Elevations.dwg, A-204 West Elevation" in first.replace("\n", " ").replace("  ", " ") or "A-204 West Elevation," in first,
       "the plot stamp names drawing and layout: %s" % first[-400:])

# A subset that does not publish its sheets gives nothing; a page setup override sets the paper.
p = run(DRAWKIT, "publish", SET, os.path.join(WORK, "none.pdf"), "Architecture/Plans/Reduced (A3)")
expect(p.returncode == 1 and not os.path.exists(os.path.join(WORK, "none.pdf")), "an unpublished subset publishes nothing")
p = run(DRAWKIT, "publish", SET, os.path.join(WORK, "a3.pdf"), "A-101", "--page-setup", "PDF A3 (1:1)")
a3 = pages(os.path.join(WORK, "a3.pdf"))
expect(p.returncode == 0 and len(a3) == 1 and abs(a3[0][0] - 1190.55) < 1 and abs(a3[0][1] - 841.89) < 1, "A3 override: %s %s" % (a3, p.stderr))

# A missing drawing skips its sheets and the job goes on.
os.rename(os.path.join(PROJECT, "drawings", "A-300 Sections.dwg"), os.path.join(WORK, "away.dwg"))
p = run(DRAWKIT, "publish", SET, os.path.join(WORK, "partial.pdf"))
expect(p.returncode == 1, "skipped sheets give exit 1")
expect(len(pages(os.path.join(WORK, "partial.pdf"))) == len(published) - 4, "the other sheets are published")
expect(p.stdout.count("skipped  A-30") == 4 and "drawing not found" in p.stdout, "the log says why: %s" % p.stdout[-600:])
os.rename(os.path.join(WORK, "away.dwg"), os.path.join(PROJECT, "drawings", "A-300 Sections.dwg"))
p = run(DRAWKIT, "publish", os.path.join(WORK, "nothing.dst"), os.path.join(WORK, "x.pdf"))
expect(p.returncode == 2, "an unreadable set gives exit 2")

# Transmittal: unpacked elsewhere, the set opens with every drawing found.
package = os.path.join(WORK, "Riverside paket.zip")
p = run(DRAWKIT, "transmit", SET, package)
expect(p.returncode == 0, "transmit: %s %s" % (p.stdout, p.stderr))
names = zipfile.ZipFile(package).namelist()
expect("Riverside Library.dst" in names and "templates/Vorn Sheet.dwt" in names and "templates/Vorn Page Setups.dwt" in names,
       "the set, its template and page setups: %s" % names)
expect(any(n.endswith("Transmittal Report.txt") for n in names), "a report")
target = os.path.join(WORK, "Ausgepackt hier")
zipfile.ZipFile(package).extractall(target)
p = run(DRAWKIT, "check", os.path.join(target, "Riverside Library.dst"))
expect(p.returncode == 0 and "0 problems" in p.stdout, "check of the unpacked set: %s" % p.stdout[-800:])
for s in list(csv.DictReader(io.StringIO(run(DRAWKIT, "sheets", os.path.join(target, "Riverside Library.dst"), "--csv").stdout))):
    expect(os.path.exists(os.path.join(target, s["Drawing"])), "drawing of %s found: %s" % (s["Number"], s["Drawing"]))

# vorn --batch publishes too: the palette's current set, two items.
script = os.path.join(WORK, "publish.scr")
with open(script, "w", encoding="utf-8") as f:
    f.write('OPEN "%s"\n-PUBLISH\n%s\nArchitecture/Elevations\nA-101\n\nQUIT\n' % (SET, os.path.join(WORK, "batch.pdf")))
p = run(VORN, "--batch", script)
expect(p.returncode == 0 and "every sheet published" in p.stdout, "vorn --batch -PUBLISH: %s %s" % (p.stdout[-500:], p.stderr[-500:]))
expect(len(pages(os.path.join(WORK, "batch.pdf"))) == 5, "the batch PDF holds the four elevations and A-101")

finish()
