#!/usr/bin/python3
"""A heavy A1 sheet, as offices draw them: a building plan of about 31,000 entities in model space
(walls as lines and polylines with arcs, doors as arcs, columns as circles, furniture blocks, room
texts, 300 hatched areas) shown through one viewport of an A1 layout with a title block frame.
Doors are HIDDEN, columns CENTER and shelves DASHED at LTSCALE 100, and half the hatches are
ANSI31; with --plain every line is continuous and every hatch solid, to time what linetypes and
patterns cost.

  bench/make_heavy_sheet.py OUT.dxf [SEED] [--plain]
"""
import math
import random
import sys

import ezdxf

args = [a for a in sys.argv[1:] if a != "--plain"]
plain = "--plain" in sys.argv
out = args[0]
rng = random.Random(int(args[1]) if len(args) > 1 else 7)
doc = ezdxf.new("R2013", setup=True)
linetypes = {} if plain else {"A-DOOR": "HIDDEN", "S-COLS": "CENTER", "A-FURN": "DASHED"}
for name, colour in (("A-WALL", 7), ("A-DOOR", 3), ("A-FURN", 4), ("A-ANNO", 2), ("S-COLS", 1), ("A-HATCH", 8)):
    doc.layers.add(name, color=colour, linetype=linetypes.get(name, "Continuous"))
doc.header["$LTSCALE"] = 100
doc.header["$PSLTSCALE"] = 0
msp = doc.modelspace()

chair = doc.blocks.new("CHAIR")
chair.add_lwpolyline([(0, 0, 0), (450, 0, 0.4), (450, 450, 0), (0, 450, 0)], format="xyb", close=True)
chair.add_circle((225, 225), 120)
table = doc.blocks.new("TABLE")
table.add_lwpolyline([(0, 0), (1600, 0), (1600, 800), (0, 800)], close=True)
table.add_arc((800, 400), 300, 0, 180)

W, H = 84000, 59400  # model units (mm): the plan at 1:100 fills the A1 sheet
# A grid of rooms: walls, a door arc each, a room name, and hatched floors in some of them.
rooms_x, rooms_y = 40, 28
cw, ch = W / rooms_x, H / rooms_y
hatched = set(rng.sample(range(rooms_x * rooms_y), 300))
for i in range(rooms_x):
    for j in range(rooms_y):
        x0, y0 = i * cw, j * ch
        msp.add_line((x0, y0), (x0 + cw, y0), dxfattribs={"layer": "A-WALL"})
        msp.add_line((x0, y0), (x0, y0 + ch), dxfattribs={"layer": "A-WALL"})
        msp.add_lwpolyline([(x0 + 150, y0 + 150, 0), (x0 + cw - 150, y0 + 150, 0.2), (x0 + cw - 150, y0 + ch - 150, 0),
                            (x0 + 150, y0 + ch - 150, 0)], format="xyb", close=True, dxfattribs={"layer": "A-WALL"})
        msp.add_arc((x0 + 300, y0 + 150), 900, 0, 90, dxfattribs={"layer": "A-DOOR"})
        msp.add_line((x0 + 300, y0 + 150), (x0 + 300, y0 + 1050), dxfattribs={"layer": "A-DOOR"})
        msp.add_circle((x0, y0), 250, dxfattribs={"layer": "S-COLS"})
        msp.add_text("R%02d-%02d" % (i, j), height=250,
                     dxfattribs={"layer": "A-ANNO", "insert": (x0 + cw / 2 - 600, y0 + ch / 2)})
        msp.add_text("%.1f m2" % (cw * ch / 1e6), height=180,
                     dxfattribs={"layer": "A-ANNO", "insert": (x0 + cw / 2 - 500, y0 + ch / 2 - 400)})
        for k in range(6):
            msp.add_blockref("CHAIR", (x0 + 400 + rng.random() * (cw - 1200), y0 + 400 + rng.random() * (ch - 1200)),
                             dxfattribs={"layer": "A-FURN", "rotation": rng.choice((0, 90, 180, 270))})
        msp.add_blockref("TABLE", (x0 + cw / 2 - 800, y0 + ch / 2 - 1500), dxfattribs={"layer": "A-FURN"})
        for k in range(3):
            cx, cy = x0 + rng.random() * cw, y0 + rng.random() * ch
            msp.add_ellipse((cx, cy), major_axis=(300, 100), ratio=0.5, dxfattribs={"layer": "A-FURN"})
        for k in range(10):  # shelves and counters
            sx, sy = x0 + 300 + rng.random() * (cw - 900), y0 + 300 + rng.random() * (ch - 900)
            msp.add_line((sx, sy), (sx + 600, sy), dxfattribs={"layer": "A-FURN"})
        if i * rooms_y + j in hatched:
            h = msp.add_hatch(color=8, dxfattribs={"layer": "A-HATCH"})
            if rng.random() < 0.5 and not plain:
                h.set_pattern_fill("ANSI31", scale=20)
            path = h.paths.add_edge_path()
            path.add_line((x0 + 200, y0 + 200), (x0 + cw - 200, y0 + 200))
            path.add_arc((x0 + cw - 200, y0 + ch / 2), radius=ch / 2 - 200, start_angle=-90, end_angle=90)
            path.add_line((x0 + cw - 200, y0 + ch - 200), (x0 + 200, y0 + ch - 200))
            path.add_line((x0 + 200, y0 + ch - 200), (x0 + 200, y0 + 200))

# The layout: an A1 sheet, a frame and title block, one viewport onto the whole plan at 1:100.
layout = doc.layouts.new("A1 Plan")
layout.page_setup(size=(841, 594), margins=(0, 0, 0, 0), units="mm")
layout.add_lwpolyline([(10, 10), (831, 10), (831, 584), (10, 584)], close=True)
layout.add_lwpolyline([(651, 10), (831, 10), (831, 70), (651, 70)], close=True)
layout.add_text("HEAVY PLAN", height=8, dxfattribs={"insert": (660, 45)})
layout.add_text("A-101", height=12, dxfattribs={"insert": (660, 20)})
layout.add_viewport(center=(420.5, 327), size=(800, 500), view_center_point=(W / 2, H / 2), view_height=H * 1.02)
doc.saveas(out)
n = sum(1 for _ in msp)
print("%s: %d model entities (%d block references), %d hatches" %
      (out, n, sum(1 for e in msp if e.dxftype() == "INSERT"), sum(1 for e in msp if e.dxftype() == "HATCH")))
