#!/usr/bin/python3
"""Our thumbnails against an independent renderer: each example sheet is drawn by ezdxf's drawing
add-on with matplotlib and by `drawkit thumb`; both are reduced to coarse ink maps and compared.
Pixel equality is not expected (fonts, line widths and anti-aliasing differ), but where the ink
is must agree.

  render_similarity.py DRAWKIT EXAMPLES_FOLDER WORKDIR
"""
import os
import shutil
import subprocess
import sys

import matplotlib

matplotlib.use("Agg")
import logging

import matplotlib.pyplot as plt
import numpy as np
import ezdxf
from ezdxf.addons.drawing import Frontend, RenderContext
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend

logging.disable(logging.WARNING)  # matplotlib's font fallbacks are not our business
DRAWKIT, EXAMPLES, WORK = sys.argv[1:4]
W, H = 512, 336


def reference(path, layout, out):
    doc = ezdxf.readfile(path)
    fig = plt.figure(figsize=(W / 100, H / 100), dpi=100)
    ax = fig.add_axes([0, 0, 1, 1])
    ctx = RenderContext(doc)
    ctx.set_current_layout(doc.layouts.get(layout))
    Frontend(ctx, MatplotlibBackend(ax)).draw_layout(doc.layouts.get(layout), finalize=True)
    # The same view as ours: the layout's contents grown by 1.1, centred.
    x0, x1 = ax.get_xlim()
    y0, y1 = ax.get_ylim()
    cx, cy, fw, fh = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0), (y1 - y0)
    scale = max(fw / W, fh / H)
    ax.set_xlim(cx - W * scale / 2, cx + W * scale / 2)
    ax.set_ylim(cy - H * scale / 2, cy + H * scale / 2)
    ax.set_aspect("auto")
    ax.set_position([0, 0, 1, 1])
    fig.set_size_inches(W / 100, H / 100)
    ax.set_facecolor("white")
    fig.patch.set_facecolor("white")
    fig.savefig(out, dpi=100, facecolor="white")
    plt.close(fig)


def ink(png, cells=(32, 21)):
    img = plt.imread(png)[..., :3]
    grey = img.mean(axis=2)
    h, w = grey.shape
    cw, ch = w // cells[0], h // cells[1]
    grid = np.zeros((cells[1], cells[0]))
    for j in range(cells[1]):
        for i in range(cells[0]):
            grid[j, i] = (grey[j * ch:(j + 1) * ch, i * cw:(i + 1) * cw] < 0.85).mean()
    return grid > 0.01


def shows_whole_model(doc, layout):
    lo, hi = doc.header.get("$EXTMIN"), doc.header.get("$EXTMAX")
    for vp in layout.query("VIEWPORT"):
        if vp.dxf.get("id", 0) == 1:
            continue
        h = vp.dxf.view_height
        w = h * vp.dxf.width / vp.dxf.height
        cx, cy = vp.dxf.view_center_point[0], vp.dxf.view_center_point[1]
        if lo is None or cx - w / 2 > lo[0] or cx + w / 2 < hi[0] or cy - h / 2 > lo[1] or cy + h / 2 < hi[1]:
            return False
    return True


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    failures = []
    drawings = os.path.join(EXAMPLES, "drawings")
    # Drawings only: a host that has one open leaves a note of who holds it beside it.
    for f in sorted(n for n in os.listdir(drawings) if n.lower().endswith(".dwg")):
        path = os.path.join(drawings, f)
        doc = ezdxf.readfile(path)
        # ezdxf 0.18 draws viewport contents unclipped, so only sheets whose views show all of
        # model space can be compared; the first and the last of each drawing keep the test short.
        names = [l.name for l in doc.layouts if l.name != "Model" and shows_whole_model(doc, l)]
        for layout in sorted(set(names[:1] + names[-1:]), key=names.index):
            base = os.path.join(WORK, f + "-" + layout.replace(" ", "_"))
            ours, theirs = base + ".ours.png", base + ".ezdxf.png"
            subprocess.run([DRAWKIT, "thumb", path, ours, layout, "%dx%d" % (W, H)], check=True,
                           env=dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=WORK), capture_output=True)
            # ezdxf draws the paper-space layout without the 1.1 margin logic; both are fitted to
            # the extents of what is drawn, so the coarse cells line up.
            reference(path, layout, theirs)
            a, b = ink(ours), ink(theirs)
            union = np.logical_or(a, b).sum()
            iou = np.logical_and(a, b).sum() / union if union else 1.0
            print("%-40s %-32s IoU %.2f" % (f, layout, iou))
            if iou < 0.6:
                failures.append("%s / %s: ink maps agree only %.2f" % (f, layout, iou))
    if failures:
        print("\n".join(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
