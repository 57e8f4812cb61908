#!/usr/bin/python3
"""Where our published pages put ink, against ezdxf's own drawing of the same sheets.

Each drawing below is made with ezdxf: one A3 paper-space layout (420 x 297 mm, no margins, its
limits the paper, so paper space maps 1:1 onto the page) holding linetyped lines, circles and
polylines or pattern hatches, drawn on paper space itself or through a viewport at 1:2. Each is
published by `drawkit publish` from a set of its own, once with the build under test and once with
an older build when one is given, and the PDF page is rasterized by pdftoppm. ezdxf's drawing
add-on draws the same layout with matplotlib on an image of the same size in pixels, the paper's
top left corner at the image's (as pdftoppm puts it), every line one pixel wide. Each image is
thresholded to an ink mask, the masks are dilated by a few pixels (our default pen is 0.13 mm,
ezdxf's one pixel) and compared as IoU = |A and B| / |A or B|. The last column is the shift of our
page against ezdxf's, within 4 pixels, that gives the highest IoU: anything but +0,+0 means the
pages do not line up, and the IoU measures that rather than the ink.

The figures say how close the ink is, not which page is right. ezdxf 0.18 has its own ways: it runs
a polyline's linetype on across vertices whatever the polyline's "linetype generation" flag says
(pline-nogen differs for that), it runs a circle's pattern clockwise from 0 degrees where we run it
counter-clockwise (the circles of dashed-celtscale), and it does not draw a viewport's border (the
border of "viewport" is left out of its comparison). ezdxf's stock DASHED has gaps of 0.254 mm, at
the limit of what 150 dpi shows, so "dashed" is close whatever draws it; "dashed-ltscale10" is the
one that tells. Prints a table, never fails; run it by hand (about 20 s):

  /usr/bin/python3 bench/ink_iou.py [BUILD_DIR] [OLD_BUILD_DIR] [--dpi N] [--dilate PX] [--work DIR]
      [--side-by-side NAME]... [--drawing FILE.dxf]...

BUILD_DIR defaults to ./build (drawkit is BUILD_DIR/tools/drawkit). With --side-by-side NAME the
images of drawing NAME (ours, the older build's, ezdxf's, and an overlay of ours in red and
ezdxf's in blue) are saved as WORK/NAME-side-by-side.png: whole pages above, a few centimetres at
full resolution below. With --drawing, the given drawings are compared instead of the ones made
here, each by its first paper layout that is set up, which must have its paper as its limits (so
that it prints 1:1; its viewports' borders are left out, and the first page is the one compared).
Needs ezdxf, matplotlib and numpy for /usr/bin/python3, and pdftoppm.
"""
import argparse
import logging
import os
import shutil
import subprocess
import sys
import tempfile

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np
import ezdxf
from ezdxf.addons.drawing import Frontend, RenderContext
from ezdxf.addons.drawing.config import Configuration
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend

logging.disable(logging.WARNING)  # matplotlib's font fallbacks are not what is measured here

PAPER = (420.0, 297.0)  # mm, A3 landscape
# Where a page lies in paper space: its left edge, its top edge (mm).
CORNER = (0.0, PAPER[1])


# ---- the drawings: each returns (doc, layout name)

def sheet(ltscale=1.0, psltscale=1):
    doc = ezdxf.new("R2013", setup=True)
    doc.header["$LTSCALE"] = ltscale
    doc.header["$PSLTSCALE"] = psltscale
    # A hidden line as the usual .lin files define it (a quarter inch dash, an eighth gap, in mm):
    # ezdxf's setup has no HIDDEN.
    if "HIDDEN" not in doc.linetypes:
        doc.linetypes.add("HIDDEN", pattern=[9.525, 6.35, -3.175], description="Hidden __ __ __")
    layout = doc.layouts.get("Layout1")
    layout.page_setup(size=PAPER, margins=(0, 0, 0, 0), units="mm")
    return doc, layout


def lines_in(layout, linetype, attribs=None):
    """A fan of lines in a few directions, one horizontal line long enough to show many periods."""
    a = dict(attribs or {}, linetype=linetype)
    layout.add_line((20, 270), (400, 270), dxfattribs=a)
    layout.add_line((20, 240), (400, 200), dxfattribs=a)
    layout.add_line((30, 30), (30, 180), dxfattribs=a)
    layout.add_line((60, 30), (200, 170), dxfattribs=a)
    layout.add_circle((300, 100), 70, dxfattribs=a)


def dashed():
    doc, layout = sheet()
    lines_in(layout, "DASHED")
    return doc, layout.name


def dashed_ltscale10():
    doc, layout = sheet(ltscale=10)
    lines_in(layout, "DASHED")
    return doc, layout.name


def dashed_celtscale():
    # LTSCALE 2 and each entity's own scale (group 48): 5 for the lines, 3 for the circle.
    doc, layout = sheet(ltscale=2)
    lines_in(layout, "DASHED")
    for e in layout:
        e.dxf.ltscale = 3 if e.dxftype() == "CIRCLE" else 5
    return doc, layout.name


def polylines(generation):
    doc, layout = sheet(ltscale=2)
    zigzag = [(20 + 38 * i, 200 + (30 if i % 2 else 0)) for i in range(11)]
    stair = []  # a square wave: segments of 25 and 37 mm
    for i in range(10):
        x, low = 20 + 37 * i, i % 2 == 0
        stair += [(x, 60 if low else 85), (x, 85 if low else 60)]
    for points, lt in ((zigzag, "CENTER"), (stair, "HIDDEN")):
        p = layout.add_lwpolyline(points, dxfattribs={"linetype": lt})
        if generation:
            p.dxf.flags = p.dxf.flags | 128
    frame = layout.add_lwpolyline([(40, 130), (380, 130), (380, 180), (40, 180)], close=True, dxfattribs={"linetype": "HIDDEN"})
    if generation:
        frame.dxf.flags = frame.dxf.flags | 128
    return doc, layout.name


def pline_gen():
    return polylines(True)


def pline_nogen():
    return polylines(False)


def hatched(pattern, scale, angle=0.0):
    doc, layout = sheet()
    # A ring (a square with a square island) and a plain rectangle beside it.
    for x, y, w, h, island in ((30, 40, 200, 220, True), (260, 60, 130, 170, False)):
        hatch = layout.add_hatch(color=7)
        hatch.set_pattern_fill(pattern, scale=scale, angle=angle)
        hatch.paths.add_polyline_path([(x, y), (x + w, y), (x + w, y + h), (x, y + h)], is_closed=True, flags=1)
        if island:
            hatch.paths.add_polyline_path([(x + 60, y + 60), (x + w - 60, y + 60), (x + w - 60, y + h - 60), (x + 60, y + h - 60)],
                                          is_closed=True, flags=16)
    return doc, layout.name


def ansi31():
    return hatched("ANSI31", 2.0)


def ar_b816():
    return hatched("AR-B816", 0.1)


def brick():
    return hatched("BRICK", 1.0, angle=30)


def through_viewport(layer):
    # Model space at 1:2 through one viewport: dashes in paper millimetres (PSLTSCALE 1), the
    # hatch's spacing in model units.
    doc, layout = sheet(ltscale=1)
    doc.layers.add("VIEWPORTS").dxf.plot = 0
    msp = doc.modelspace()
    for i in range(5):
        msp.add_line((0, 40 * i), (600, 40 * i + 60), dxfattribs={"linetype": "DASHED" if i % 2 else "CENTER"})
    hatch = msp.add_hatch(color=7)
    hatch.set_pattern_fill("ANSI31", scale=4)
    hatch.paths.add_polyline_path([(100, 20), (500, 20), (500, 200), (100, 200)], is_closed=True, flags=1)
    layout.add_viewport(center=(210, 148.5), size=(380, 260), view_center_point=(300, 130), view_height=520,
                        dxfattribs={"layer": layer})
    return doc, layout.name


def viewport():
    return through_viewport("0")


def viewport_noplot():
    # The usual way to keep a viewport's border off the page: its layer does not plot. What it
    # shows still does.
    return through_viewport("VIEWPORTS")


# Name, maker, the paper rectangle (mm) that --side-by-side shows at full resolution, and the
# rectangles whose outlines are left out of the comparison (a viewport's border, which ezdxf does
# not draw).
DRAWINGS = [("dashed", dashed, (15, 245, 55, 275), []),
            ("dashed-ltscale10", dashed_ltscale10, (15, 245, 55, 275), []),
            ("dashed-celtscale", dashed_celtscale, (15, 245, 55, 275), []),
            ("pline-gen", pline_gen, (15, 55, 55, 90), []),
            ("pline-nogen", pline_nogen, (15, 55, 55, 90), []),
            ("ansi31", ansi31, (25, 35, 65, 65), []),
            ("ar-b816", ar_b816, (25, 35, 65, 65), []),
            ("brick", brick, (25, 35, 65, 65), []),
            ("viewport", viewport, (130, 110, 170, 140), [(20, 18.5, 400, 278.5)]),
            ("viewport-noplot", viewport_noplot, (130, 110, 170, 140), [])]


# ---- rendering

RUNTIME = tempfile.mkdtemp(prefix="vorn-ink-iou-runtime-")  # Qt wants one of its own, 0700


def env_for():
    return dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=RUNTIME)


def publish(drawkit, path, work, tag, dpi):
    """The drawing at `path` as the one sheet of a new set, published and rasterized: the page as a
    grey image (0 black .. 255 white), or the reason it could not be made."""
    folder = os.path.join(work, tag)
    os.makedirs(folder)
    shutil.copy(path, folder)  # new-set stamps the drawings it takes: each build its own copy
    dst, pdf = os.path.join(work, tag + ".dst"), os.path.join(work, tag + ".pdf")
    env = env_for()
    p = subprocess.run([drawkit, "new-set", dst, "--from", folder], capture_output=True, text=True, env=env)
    if p.returncode != 0:
        return None, "new-set: " + p.stderr.strip()
    p = subprocess.run([drawkit, "publish", dst, pdf], capture_output=True, text=True, env=env)
    if p.returncode != 0 or not os.path.exists(pdf):
        return None, "publish: " + (p.stdout + p.stderr).strip()
    base = os.path.join(work, tag)
    subprocess.run(["pdftoppm", "-r", str(dpi), "-gray", "-singlefile", pdf, base], check=True)
    return read_pgm(base + ".pgm"), (p.stdout + p.stderr).strip()


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    magic, size, maxval, pixels = data.split(b"\n", 3)
    assert magic == b"P5" and maxval == b"255", path
    w, h = (int(v) for v in size.split())
    return np.frombuffer(pixels[:w * h], dtype=np.uint8).reshape(h, w)


def reference(path, layout_name, dpi, shape, out_png, corner=CORNER):
    """ezdxf's drawing of the layout on an image of `shape` (rows, columns), black on white, placed
    as pdftoppm places a page: the top left pixel's corner at the paper's top left corner, square
    pixels of 25.4 / dpi mm."""
    doc = ezdxf.readfile(path)
    layout = doc.layouts.get(layout_name)
    rows, cols = shape
    fig = plt.figure(figsize=(cols / dpi, rows / dpi), dpi=dpi)
    ax = fig.add_axes([0, 0, 1, 1])
    ctx = RenderContext(doc)
    ctx.set_current_layout(layout)
    # Every line one pixel wide, whatever its lineweight.
    config = Configuration.defaults().with_changes(lineweight_scaling=0.0, min_lineweight=72.0 / dpi)
    Frontend(ctx, MatplotlibBackend(ax, adjust_figure=False), config=config).draw_layout(layout, finalize=True)
    fig.set_size_inches(cols / dpi, rows / dpi)  # finalize may have fitted the figure to what was drawn
    mm = 25.4 / dpi
    ax.set_xlim(corner[0], corner[0] + cols * mm)
    ax.set_ylim(corner[1] - rows * mm, corner[1])
    ax.set_aspect("auto")
    ax.set_position([0, 0, 1, 1])
    ax.axis("off")
    fig.patch.set_facecolor("white")
    ax.set_facecolor("white")
    fig.savefig(out_png, dpi=dpi, facecolor="white")
    plt.close(fig)
    rgb = plt.imread(out_png)[..., :3]
    assert rgb.shape[:2] == (rows, cols), (rgb.shape, shape)
    return (rgb.mean(axis=2) * 255).astype(np.uint8)


def ink(grey, dark=200):
    return grey < dark


def dilate(mask, r):
    """`mask` grown by r pixels in every direction (a square of side 2r + 1)."""
    out = mask.copy()
    h, w = mask.shape
    for dy in range(-r, r + 1):
        for dx in range(-r, r + 1):
            if dx == 0 and dy == 0:
                continue
            ys, yd = (slice(0, h - dy), slice(dy, h)) if dy >= 0 else (slice(-dy, h), slice(0, h + dy))
            xs, xd = (slice(0, w - dx), slice(dx, w)) if dx >= 0 else (slice(-dx, w), slice(0, w + dx))
            out[yd, xd] |= mask[ys, xs]
    return out


def same_size(a, b):
    """Both images cut to the smaller of their sizes (pdftoppm and matplotlib may round a page's
    size in pixels differently by one)."""
    h, w = min(a.shape[0], b.shape[0]), min(a.shape[1], b.shape[1])
    return a[:h, :w], b[:h, :w]


def without_outlines(grey, rects, dpi, band=1.5, corner=CORNER):
    """`grey` with a band `band` mm wide along each rectangle's outline made white."""
    out = grey.copy()
    px = dpi / 25.4
    for x0, y0, x1, y1 in rects:
        top, bottom = int((corner[1] - y1 - band) * px), int((corner[1] - y0 + band) * px)
        left, right = int((x0 - corner[0] - band) * px), int((x1 - corner[0] + band) * px)
        b = int(2 * band * px)
        out[top:top + b, left:right] = 255
        out[bottom - b:bottom, left:right] = 255
        out[top:bottom, left:left + b] = 255
        out[top:bottom, right - b:right] = 255
    return out


def iou_of_masks(a, b):
    union = np.logical_or(a, b).sum()
    return np.logical_and(a, b).sum() / union if union else float("nan")


def iou(a, b, r):
    a, b = same_size(a, b)
    return iou_of_masks(dilate(ink(a), r), dilate(ink(b), r))


def best_shift(a, b, r, reach=4):
    """The shift (dx, dy) in pixels of `a` against `b` within `reach` that gives the highest IoU,
    and that IoU: far from (0, 0) means the pages do not line up, not that the ink differs."""
    a, b = same_size(a, b)
    a, b = dilate(ink(a), r), dilate(ink(b), r)
    best = (0, 0, iou_of_masks(a, b))
    for dy in range(-reach, reach + 1):
        for dx in range(-reach, reach + 1):
            v = iou_of_masks(np.roll(a, (dy, dx), axis=(0, 1)), b)
            if v > best[2] + 1e-9:
                best = (dx, dy, v)
    return best


def pooled(mask, k):
    """`mask` made k times smaller, a pixel inked when any of its k x k pixels is: thin lines stay
    visible in a small picture."""
    h, w = mask.shape[0] // k * k, mask.shape[1] // k * k
    return mask[:h, :w].reshape(h // k, k, w // k, k).any(axis=(1, 3))


def overlay(a, b):
    """Two masks in one picture: red where only `a` has ink, blue where only `b`, black where both."""
    out = np.full(a.shape + (3,), 1.0)
    out[a] = (1.0, 0.15, 0.15)
    out[b] = (0.15, 0.15, 1.0)
    out[a & b] = (0.0, 0.0, 0.0)
    return out


def side_by_side(images, names, crop, dpi, out_png, corner=CORNER):
    """The images' ink, whole and in a crop (mm, on paper: x0, y0, x1, y1) at full resolution, and
    an overlay of the first (red) and the last (blue), black where both have ink."""
    ref = images[-1]
    images = [same_size(img, ref)[0] for img in images]
    px = dpi / 25.4
    x0, y0, x1, y1 = crop
    rows = slice(int((corner[1] - y1) * px), int((corner[1] - y0) * px))
    cols = slice(int((x0 - corner[0]) * px), int((x1 - corner[0]) * px))
    a, b = ink(images[0]), ink(ref)
    n = len(images) + 1
    pool = -(-a.shape[1] // 480)  # the whole pages about as wide as their panels
    fig, axes = plt.subplots(2, n, figsize=(5 * n, 7.5), dpi=100)
    for i, (img, name) in enumerate(zip(images, names)):
        axes[0][i].imshow(~pooled(ink(img), pool), cmap="gray", vmin=0, vmax=1, interpolation="nearest")
        axes[0][i].set_title(name)
        axes[1][i].imshow(img[rows, cols], cmap="gray", vmin=0, vmax=255, interpolation="nearest")
        axes[1][i].set_title("%s, x %g..%g y %g..%g mm" % (name, x0, x1, y0, y1))
    axes[0][-1].imshow(overlay(pooled(a, pool), pooled(b, pool)), interpolation="nearest")
    axes[0][-1].set_title("ours red, ezdxf blue, both black")
    axes[1][-1].imshow(overlay(a[rows, cols], b[rows, cols]), interpolation="nearest")
    axes[1][-1].set_title("overlay, same crop")
    for ax in axes.flat:
        ax.set_xticks([])
        ax.set_yticks([])
    fig.tight_layout()
    fig.savefig(out_png)
    plt.close(fig)


def given_drawing(path):
    """For a drawing of one's own: its first paper layout that is set up (in tab order), the
    corner of its page, a crop about its centre and its viewports' rectangles; or why it cannot
    be compared 1:1."""
    doc = ezdxf.readfile(path)
    layouts = sorted((l for l in doc.layouts if l.name != "Model"), key=lambda l: l.dxf_layout.dxf.get("taborder", 0))
    for l in layouts:
        d = l.dxf_layout.dxf
        w, h = d.get("paper_width", 0), d.get("paper_height", 0)
        if not (w > 0 and h > 0):
            continue
        if d.get("plot_paper_units", 1) == 0:
            w, h = w * 25.4, h * 25.4
        if d.get("plot_rotation", 0) % 2 == 1:
            w, h = h, w
        x0, y0, x1, y1 = d.limmin[0], d.limmin[1], d.limmax[0], d.limmax[1]
        if abs((x1 - x0) - w) > 0.5 or abs((y1 - y0) - h) > 0.5:
            return None, "the limits of %s are not its paper: the page is not 1:1" % l.name
        cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
        frames = []
        for vp in l.query("VIEWPORT"):
            if vp.dxf.get("id", 0) > 1:
                c, vw, vh = vp.dxf.center, vp.dxf.width, vp.dxf.height
                frames.append((c[0] - vw / 2, c[1] - vh / 2, c[0] + vw / 2, c[1] + vh / 2))
        return (l.name, (cx - 20, cy - 15, cx + 20, cy + 15), frames, (x0, y1)), ""
    return None, "no paper layout is set up"


def compare(name, path, layout, crop, frames, corner, builds, args):
    """One row of the table: the drawing at `path` published by each build and drawn by ezdxf."""
    case = os.path.dirname(path)
    row, images, notes = [], [], []
    for tag, drawkit in builds:
        page, log = publish(drawkit, path, case, tag, args.dpi)
        if page is None:
            notes.append("%s: %s" % (tag, log))
        images.append(page)
    # A page in pixels as pdftoppm makes it (its size in points rounded, then in pixels).
    shape = next((p.shape for p in images if p is not None), None)
    shape = shape or tuple(int(np.ceil(round(v / 25.4 * 72) * args.dpi / 72)) for v in PAPER[::-1])
    theirs = reference(path, layout, args.dpi, shape, os.path.join(case, "ezdxf.png"), corner)
    theirs = without_outlines(theirs, frames, args.dpi, corner=corner)
    for k, page in enumerate(images):
        if page is None:
            row.append("failed")
            continue
        images[k] = without_outlines(page, frames, args.dpi, corner=corner)
        row.append("%.3f" % iou(images[k], theirs, args.dilate))
    shift = ""
    if images[0] is not None:
        dx, dy, best = best_shift(images[0], theirs, args.dilate)
        shift = "%+d,%+d -> %.3f" % (dx, dy, best)
    print("%-18s %8s %8s   %s" % (name, row[0], row[1] if len(row) > 1 else "", shift))
    for n in notes:
        print("    " + n)
    if name in args.side and all(p is not None for p in images):
        out = os.path.join(args.work, name + "-side-by-side.png")
        side_by_side(images + [theirs], ["ours (%s)" % t for t, _ in builds] + ["ezdxf"], crop, args.dpi, out, corner)
        print("    side by side: " + out)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("build", nargs="?", default="build")
    ap.add_argument("old_build", nargs="?")
    ap.add_argument("--dpi", type=int, default=150)
    ap.add_argument("--dilate", type=int, default=2)
    ap.add_argument("--work")
    ap.add_argument("--side-by-side", dest="side", action="append", default=[])
    ap.add_argument("--drawing", action="append", default=[])
    args = ap.parse_args()
    args.work = args.work or tempfile.mkdtemp(prefix="vorn-ink-iou-")
    os.makedirs(args.work, exist_ok=True)
    builds = [("now", os.path.join(args.build, "tools", "drawkit"))]
    if args.old_build:
        builds.append(("old", os.path.join(args.old_build, "tools", "drawkit")))
    for _, drawkit in builds:
        if not os.access(drawkit, os.X_OK):
            sys.exit("no drawkit at " + drawkit)
    print("%d dpi, masks dilated by %d px; images in %s" % (args.dpi, args.dilate, args.work))
    print("%-18s %8s %8s   %s" % ("drawing", "IoU now", "IoU old" if args.old_build else "", "now: best shift dx,dy px -> IoU"))
    cases = []
    for name, make, crop, frames in ([] if args.drawing else DRAWINGS):
        case = os.path.join(args.work, name)
        shutil.rmtree(case, ignore_errors=True)
        os.makedirs(case)
        doc, layout = make()
        path = os.path.join(case, "X-101 %s.dxf" % name)
        doc.saveas(path)
        cases.append((name, path, layout, crop, frames, CORNER))
    for given in args.drawing:
        name = os.path.splitext(os.path.basename(given))[0]
        found, why = given_drawing(given)
        if not found:
            print("%-18s %s" % (name, why))
            continue
        case = os.path.join(args.work, name)
        shutil.rmtree(case, ignore_errors=True)
        os.makedirs(case)
        path = os.path.join(case, os.path.basename(given))
        shutil.copy(given, path)
        cases.append((name, path) + found)
    for case in cases:
        compare(*case, builds, args)
    return 0


if __name__ == "__main__":
    sys.exit(main())
