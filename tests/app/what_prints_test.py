#!/usr/bin/python3
"""What prints is what the drawing says, for drawings made by ezdxf and published by drawkit:

1. Layers that do not plot: a text on a layer whose plot flag is off and one on "Defpoints" are
   not on the page; a text on a plain layer is, once for each of the two viewports that show it;
   a block's text on layer "0" prints through a reference on a plain layer, not through one on a
   layer that does not plot.
2. Layers frozen in one viewport: a text on a layer that the left viewport freezes shows once,
   through the right viewport.
3. Linetypes: a DASHED line prints as one dash pattern (a single PDF `d` operator with the
   linetype's dashes), ten times longer under LTSCALE 10; a continuous line has none. A viewport
   on a layer that does not plot shows the model without its border.
4. Hatch patterns: ANSI31 and a brick pattern over squares with a square island print their
   pattern lines, in drawing units (the page shows ink in the hatched ring, none in the island and
   none outside), clipped to the boundary.
5. Rays, endless lines, multilines and multileaders are drawn, an image within its clip boundary;
   a missing image is named in the publish log.
6. Xrefs and transmittal: an xref nested two deep prints (its texts are on the page), an overlay
   that the xref itself attaches does not, a missing one is named in the publish log and by
   `drawkit check`, the drawing's
   image is on the page (pdfimages); transmittal
   packs the xrefs (nested ones too) and images that a drawing references, at the places its
   relative paths need, and names the one it cannot find.
Each page is read back with pdftotext or as its drawing operators (qpdf).

  what_prints_test.py DRAWKIT WORKDIR
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import zipfile
import zlib

import ezdxf
from ezdxf.render import mleader

from support import expect, finish, run

DRAWKIT, WORK = sys.argv[1:3]
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)



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
# A block's layer-0 text takes the layer of each reference: it prints through the plain one alone.
doc.blocks.new("TAG").add_text("BLOCKZERO", height=4, dxfattribs={"layer": "0"})
msp.add_blockref("TAG", (5, 8), dxfattribs={"layer": "NOPLOT"})
msp.add_blockref("TAG", (5, -38), dxfattribs={"layer": "0"})
layout = doc.layouts.new("Rules")
layout.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm")
left = layout.add_viewport(center=(110, 150), size=(180, 200), view_center_point=(30, -15), view_height=60)
left.frozen_layers = ["FROZEN"]
layout.add_viewport(center=(310, 150), size=(180, 200), view_center_point=(30, -15), view_height=60,
                    dxfattribs={"layer": "NOPLOT"})
text = publish(doc, "rules")
expect(text.count("PLAINTEXT") == 2, "a plain layer's text shows in both viewports: %d" % text.count("PLAINTEXT"))
expect("NOPLOTTEXT" not in text, "a layer whose plot flag is off prints")
expect("DEFPOINTSTEXT" not in text, "Defpoints prints")
expect(text.count("BLOCKZERO") == 2, "a block's layer-0 text follows its reference's layer: %d" % text.count("BLOCKZERO"))
expect(text.count("FROZENTEXT") == 1, "a layer frozen in one of two viewports shows %d times" % text.count("FROZENTEXT"))

# ---- 3. linetypes, on paper space itself
def dash_arrays(ltscale):
    doc = ezdxf.new("R2013", setup=True)
    doc.header["$LTSCALE"] = ltscale
    layout = doc.layouts.new("Lines")
    layout.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm")
    layout.add_line((20, 100), (400, 100), dxfattribs={"linetype": "DASHED"})
    layout.add_line((20, 50), (400, 50))
    name = "lines%d" % ltscale
    publish(doc, name)
    plain = os.path.join(WORK, name + "-plain.pdf")
    run("qpdf", "--qdf", "--object-streams=disable", "--stream-data=uncompress", os.path.join(WORK, name + ".pdf"), plain)
    with open(plain, "rb") as f:
        page = f.read().decode("latin-1")
    return [[float(v) for v in m.split()] for m in re.findall(r"\[([^\]]*)\]\s*[-\d.]+\s+d\b", page)]


one, ten = dash_arrays(1), dash_arrays(10)
dashed1 = [a for a in one if a]
dashed10 = [a for a in ten if a]
expect(len(dashed1) == 1 and len(dashed10) == 1, "one dash pattern for the dashed line: %s / %s" % (dashed1, dashed10))
expect(any(not a for a in one), "the continuous line has no dashes: %s" % one)
if dashed1 and dashed10:
    # Dashes are drawn a pen width shorter than the pattern says (their round ends make up for it),
    # so it is the pattern's period that scales.
    ratio = sum(dashed10[0]) / sum(dashed1[0])
    expect(abs(ratio - 10) < 0.1, "LTSCALE 10 makes the pattern %.2f times longer" % ratio)

# ---- 4. hatch patterns with an island, on paper space itself
doc = ezdxf.new("R2013")
layout = doc.layouts.new("Hatches")
layout.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm")
for x, pattern in ((40, "ANSI31"), (240, "BRICK")):
    hatch = layout.add_hatch(color=7)
    hatch.set_pattern_fill(pattern, scale=1.0)
    hatch.paths.add_polyline_path([(x, 60), (x + 140, 60), (x + 140, 200), (x, 200)], is_closed=True, flags=1)
    hatch.paths.add_polyline_path([(x + 45, 105), (x + 95, 105), (x + 95, 155), (x + 45, 155)], is_closed=True, flags=16)
publish(doc, "hatches")
page = os.path.join(WORK, "hatches-page")
run("pdftoppm", "-r", "20", "-gray", "-singlefile", os.path.join(WORK, "hatches.pdf"), page)


def ink(x0, y0, x1, y1, dark=160):
    """Pixels darker than `dark` in a paper rectangle (mm, y up) of the 20 dpi page `page`."""
    with open(page + ".pgm", "rb") as f:
        data = f.read()
    header = data.split(b"\n", 3)
    width, height = (int(v) for v in header[1].split())
    pixels = header[3]
    px = 20 / 25.4
    return sum(1 for y in range(int((297 - y1) * px), min(height, int((297 - y0) * px)))
               for x in range(int(x0 * px), min(width, int(x1 * px))) if pixels[y * width + x] < dark)


for x, pattern in ((40, "ANSI31"), (240, "BRICK")):
    expect(ink(x + 5, 65, x + 40, 195) > 100, "%s: the ring is hatched (%d dark pixels)" % (pattern, ink(x + 5, 65, x + 40, 195)))
    expect(ink(x + 50, 110, x + 90, 150) == 0, "%s: the island is hatched (%d dark pixels)" % (pattern, ink(x + 50, 110, x + 90, 150)))
    expect(ink(x + 5, 215, x + 135, 280) == 0, "%s: ink above the boundary" % pattern)

def write_png(path):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 2, 2, 8, 0, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(b"\x00\x00\x80\x00\x80\x00")) + chunk(b"IEND", b""))


# The first page's right viewport lies on a layer that does not plot: the view prints (above),
# its border does not; the left one's does.
page = os.path.join(WORK, "rules-page")
run("pdftoppm", "-r", "20", "-gray", "-singlefile", os.path.join(WORK, "rules.pdf"), page)
expect(ink(40, 48, 190, 52, dark=230) > 0 and ink(240, 48, 390, 52, dark=230) == 0,
       "a viewport on a layer that does not plot prints its border")

# ---- 5. kinds not drawn are counted in the log
doc = ezdxf.new("R2013")
layout = doc.layouts.new("Rays")
layout.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm")
layout.add_line((20, 20), (100, 20))
layout.add_ray((50, 50), (1, 1))
layout.add_xline((70, 50), (0, 1))
layout.add_mline([(100, 100), (200, 100), (200, 150)], dxfattribs={"scale_factor": 20})
layout.add_mline([(100, 160), (200, 160)], dxfattribs={"scale_factor": 20})
layout.add_image(doc.add_image_def(filename="plan.png", size_in_pixel=(64, 64)), insert=(250, 100), size_in_units=(50, 50))
# A multileader's text, line and arrowhead; an image clipped to its left column of pixels.
leader = layout.add_multileader_mtext("Standard")
leader.set_content("MLEADERTEXT", char_height=5)
leader.add_leader_line(mleader.ConnectionSide.left, [ezdxf.math.Vec2(300, 200)])
leader.build(insert=ezdxf.math.Vec2(340, 230))
clipped = layout.add_image(doc.add_image_def(filename="clip.png", size_in_pixel=(2, 2)), insert=(120, 200),
                           size_in_units=(60, 60))
clipped.set_boundary_path([(-0.5, -0.5), (0.5, 1.5)])
folder = os.path.join(WORK, "rays")
os.makedirs(folder)
doc.saveas(os.path.join(folder, "X-101 rays.dxf"))
write_png(os.path.join(folder, "clip.png"))
run(DRAWKIT, "new-set", os.path.join(WORK, "rays.dst"), "--from", folder)
p = run(DRAWKIT, "publish", os.path.join(WORK, "rays.dst"), os.path.join(WORK, "rays.pdf"))
expect("note: not drawn" not in p.stdout, "the log counts what it left out: %s" % p.stdout)
expect("MLEADERTEXT" in run("pdftotext", os.path.join(WORK, "rays.pdf"), "-").stdout, "a multileader's text prints")
expect("note: image not found: plan.png" in p.stdout, "the log names the missing image: %s" % p.stdout)
# The ray and the endless line reach the paper's edges.
page = os.path.join(WORK, "rays-page")
run("pdftoppm", "-r", "20", "-gray", "-singlefile", os.path.join(WORK, "rays.pdf"), page)
# The multilines, top-justified at scale 20: the style's two lines on the path (100,100)-(200,100)
# and 20 below it, nothing between.
expect(ink(120, 98, 180, 102, dark=230) > 0 and ink(120, 78, 180, 82, dark=230) > 0 and ink(130, 87, 170, 93, dark=230) == 0,
       "a multiline draws each of its style's lines")
expect(ink(285, 287, 310, 297, dark=230) > 0 and ink(65, 0, 75, 10) > 0 and ink(65, 287, 75, 297) > 0,
       "the ray and the endless line run to the edges of the paper")  # the thin diagonal is light at 20 dpi
expect(ink(297, 197, 304, 204, dark=230) > 0 and ink(305, 205, 320, 215, dark=230) > 0, "a multileader's arrowhead and line print")
expect(ink(122, 202, 148, 258) > 100 and ink(152, 202, 178, 258, dark=230) == 0,
       "a clipped image shows its left half alone: %d, %d" % (ink(122, 202, 148, 258), ink(152, 202, 178, 258, dark=230)))

# ---- 6. transmittal of what the drawings reference
base = os.path.join(WORK, "refs")
for sub in ("project", "xrefs", "images"):
    os.makedirs(os.path.join(base, sub))
grid = ezdxf.new("R2013")
grid.modelspace().add_line((0, 0), (10, 0))
grid.modelspace().add_text("GRIDTEXT", height=5, dxfattribs={"insert": (0, 10)})
grid.saveas(os.path.join(base, "xrefs", "grid.dxf"))
overlay = ezdxf.new("R2013")
overlay.modelspace().add_text("OVERLAYTEXT", height=5, dxfattribs={"insert": (0, 30)})
overlay.saveas(os.path.join(base, "xrefs", "overlay.dxf"))
site = ezdxf.new("R2013")
site.add_xref_def("grid.dxf", "GRID")
site.add_xref_def("overlay.dxf", "OVER", flags=4 | 8 | 16)
site.modelspace().add_blockref("GRID", (0, 0))
site.modelspace().add_blockref("OVER", (0, 0))
site.modelspace().add_text("SITETEXT", height=5, dxfattribs={"insert": (0, 20)})
site.saveas(os.path.join(base, "xrefs", "site.dxf"))
write_png(os.path.join(base, "images", "plan.png"))
host = ezdxf.new("R2013")
host.add_xref_def("../xrefs/site.dxf", "SITE")
host.add_xref_def("../xrefs/gone.dxf", "GONE")
host.modelspace().add_blockref("SITE", (0, 0))
layout = host.layouts.new("Plan")
layout.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm")
layout.add_image(host.add_image_def(filename="..\\images\\plan.png", size_in_pixel=(2, 2)), insert=(20, 20), size_in_units=(50, 50))
layout.add_blockref("SITE", (100, 100))
layout.add_blockref("GONE", (200, 100))
host.saveas(os.path.join(base, "project", "X-101 host.dxf"))
refs_set = os.path.join(base, "project", "Refs.dst")
run(DRAWKIT, "new-set", refs_set, "--from", os.path.join(base, "project"))
package = os.path.join(WORK, "refs.zip")
p = run(DRAWKIT, "transmit", refs_set, package)
names = sorted(zipfile.ZipFile(package).namelist()) if os.path.exists(package) else []
for wanted in ("xrefs/site.dxf", "xrefs/grid.dxf", "images/plan.png", "project/X-101 host.dxf"):
    expect(wanted in names, "the package lacks %s: %s" % (wanted, names))
expect("gone.dxf" in p.stdout and "not found" in p.stdout, "transmit names the missing xref: %s" % p.stdout)
p = run(DRAWKIT, "check", refs_set)
expect("xref-missing" in p.stdout and "../xrefs/gone.dxf" in p.stdout and "site.dxf" not in p.stdout,
       "check names the missing xref alone: %s" % p.stdout)
p = run(DRAWKIT, "publish", refs_set, os.path.join(WORK, "refs.pdf"))
text = run("pdftotext", os.path.join(WORK, "refs.pdf"), "-").stdout
expect("SITETEXT" in text and "GRIDTEXT" in text, "an xref nested two deep prints: %r" % text[:200])
expect("OVERLAYTEXT" not in text, "an overlay of an xref prints in the drawing that attaches the xref")
images = run("pdfimages", "-list", os.path.join(WORK, "refs.pdf")).stdout.splitlines()[2:]
expect(len(images) == 1 and " 2 " in images[0], "the drawing's 2x2 image is on the page: %s" % images)
expect("note: xref not found: ../xrefs/gone.dxf" in p.stdout, "the publish log names the missing xref: %s" % p.stdout)

finish()
