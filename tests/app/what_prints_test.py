#!/usr/bin/python3
"""What prints is what the drawing says, for drawings made by ezdxf and published by drawkit:

1. Layers that do not plot: a text on a layer whose plot flag is off and one on "Defpoints" are
   not on the page; a text on a plain layer is, once for each of the two viewports that show it.
2. Layers frozen in one viewport: a text on a layer that the left viewport freezes shows once,
   through the right viewport.
Each page is read back with pdftotext.

  what_prints_test.py DRAWKIT WORKDIR
"""
import os
import shutil
import subprocess
import sys

import ezdxf

DRAWKIT, WORK = sys.argv[1:3]
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)


def run(*args):
    return subprocess.run(list(args), capture_output=True, text=True)


def publish(doc, name):
    """The drawing as the only drawing of a new set, published; the page's text."""
    folder = os.path.join(WORK, name)
    os.makedirs(folder)
    doc.saveas(os.path.join(folder, "X-101 %s.dxf" % name))
    dst = os.path.join(WORK, name + ".dst")
    p = run(DRAWKIT, "new-set", dst, "--from", folder)
    expect(p.returncode == 0, "%s: new-set: %s" % (name, p.stderr))
    pdf = os.path.join(WORK, name + ".pdf")
    p = run(DRAWKIT, "publish", dst, pdf)
    expect(p.returncode == 0, "%s: publish: %s %s" % (name, p.stdout, p.stderr))
    return run("pdftotext", pdf, "-").stdout


# ---- 1 and 2: one model, two viewports; the left one freezes FROZEN
doc = ezdxf.new("R2013")
doc.layers.add("NOPLOT").dxf.plot = 0
if "Defpoints" not in doc.layers:
    doc.layers.add("Defpoints")
doc.layers.add("FROZEN")
msp = doc.modelspace()
for i, (text, layer) in enumerate((("PLAINTEXT", "0"), ("NOPLOTTEXT", "NOPLOT"), ("DEFPOINTSTEXT", "Defpoints"),
                                   ("FROZENTEXT", "FROZEN"))):
    msp.add_text(text, height=5, dxfattribs={"layer": layer, "insert": (0, -10 * i)})
layout = doc.layouts.new("Rules")
layout.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm")
left = layout.add_viewport(center=(110, 150), size=(180, 200), view_center_point=(30, -15), view_height=60)
left.frozen_layers = ["FROZEN"]
layout.add_viewport(center=(310, 150), size=(180, 200), view_center_point=(30, -15), view_height=60)
text = publish(doc, "rules")
expect(text.count("PLAINTEXT") == 2, "a plain layer's text shows in both viewports: %d" % text.count("PLAINTEXT"))
expect("NOPLOTTEXT" not in text, "a layer whose plot flag is off prints")
expect("DEFPOINTSTEXT" not in text, "Defpoints prints")
expect(text.count("FROZENTEXT") == 1, "a layer frozen in one of two viewports shows %d times" % text.count("FROZENTEXT"))

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
