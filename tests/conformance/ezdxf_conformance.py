#!/usr/bin/python3
"""Conformance of the drawing toolkit with an independent DXF library (ezdxf), both ways.

  ezdxf_conformance.py DRAWKIT MAKE_EXAMPLES DXFLIB_WRITER WORKDIR

1. Drawings that ezdxf writes (several versions, many layouts, xrecords, blocks, text beyond ASCII,
   an old code page) read with the layout names, handles, paper sizes and xrecord values ezdxf sees.
2. Every drawing we save (round trips into every version, edits, the bundled examples) passes the
   ezdxf audit without errors and keeps the handles, entities and objects of its input.
3. Extents we write agree with ezdxf's bounding box of the same entities.
"""
import json
import math
import re
import os
import shutil
import subprocess
import sys

import ezdxf
from ezdxf import bbox

ezdxf.options.use_matplotlib = False  # text boxes from ezdxf's own font metrics, no font lookups

DRAWKIT, MAKE_EXAMPLES, DXFLIB_WRITER, WORK = sys.argv[1:5]
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
    return cond


def run(*args):
    p = subprocess.run([DRAWKIT, *args], capture_output=True, text=True)
    if p.returncode != 0:
        failures.append("drawkit %s failed: %s" % (" ".join(args), p.stderr.strip()))
        return None
    return p.stdout


def info(path):
    out = run("info", path, "--json")
    return json.loads(out) if out else None


def objects(path):
    out = run("objects", path)
    return json.loads(out) if out else None


def unescape(s):
    """ezdxf keeps the \\U+XXXX escapes of pre-R2007 names as they stand; CAD programs (and we) decode
    them. Compare decoded names."""
    return re.sub(r"\\[Uu]\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), s)


def same_value(code, a, b):
    try:
        if isinstance(b, (int, float)) or code in range(10, 60) or code in range(60, 100):
            return math.isclose(float(a), float(b), rel_tol=1e-12, abs_tol=1e-12)
    except ValueError:
        return False
    return unescape(str(a)) == unescape(str(b))


# ---------------------------------------------------------------- fixtures written by ezdxf
PAPERS = [(841, 594, "ISO_A1"), (420, 297, "ISO_A3"), (594, 420, "ISO_A2"), (1189, 841, "ISO_A0"), (297, 210, "ISO_A4")]


def make_fixture(version, path, layout_count, codepage=None):
    doc = ezdxf.new(version, setup=True)
    if codepage:
        doc.header["$DWGCODEPAGE"] = codepage
    msp = doc.modelspace()
    for i in range(60):
        msp.add_line((i, 0), (i + 10, 5 + i % 7))
        msp.add_circle((i * 3, 40), 2 + i % 4)
        msp.add_lwpolyline([(i, 100), (i + 5, 105, 0, 0, 0.5), (i + 9, 100)], format="xyseb")
        msp.add_text("Text %d" % i, dxfattribs={"height": 2.5}).set_placement((i * 4, 120))
    msp.add_arc((500, 500), 50, 30, 250)
    msp.add_polyline2d([(-40, -30), (-20, -60), (0, -35)])
    msp.add_polyline3d([(600, 0, 0), (650, -80, 10), (700, 20, 0)])
    msp.add_ellipse((300, 600), major_axis=(80, 30), ratio=0.4)
    msp.add_spline([(0, 650), (50, 700), (100, 640), (150, 690)])
    # Control frames far outside their curves: the extents are of the curve, not of the frame.
    msp.add_open_spline([(1000, 0), (1100, 900), (1200, -900), (1300, 0)])
    msp.add_rational_spline([(1400, 0), (1450, 800), (1500, 0)], weights=[1, 3, 1], degree=2)
    msp.add_solid([(800, 0), (840, 0), (800, 30), (840, 30)])
    hatch = msp.add_hatch(color=3)
    hatch.paths.add_polyline_path([(900, 0), (960, 0), (960, 40), (900, 40)], is_closed=True)
    blk = doc.blocks.new("TAG")
    blk.add_circle((0, 0), 5)
    blk.add_attdef("NO", (0, -2), dxfattribs={"height": 2})
    for i in range(5):
        ref = msp.add_blockref("TAG", (200 + 20 * i, 200), dxfattribs={"xscale": 1 + i, "rotation": 15 * i})
        ref.add_auto_attribs({"NO": str(i)})
    names = []
    for i in range(layout_count):
        name = "Sheet %02d" % i
        if i == 3:
            name = "Étage 3 平面图"
        lay = doc.layouts.new(name)
        w, h, media = PAPERS[i % len(PAPERS)]
        if i % 4 != 2:  # some layouts stay uninitialized: no page setup, no main viewport
            lay.page_setup(size=(w, h), margins=(5, 5, 5, 5), units="mm", name="%s_(%.2f_x_%.2f_MM)" % (media, w, h))
            lay.add_line((10, 10), (w - 10, h - 10))
            lay.add_viewport(center=(w / 2, h / 2), size=(w / 2, h / 2), view_center_point=(30, 30), view_height=100)
        names.append(name)
    # Xrecords with value chains in a dictionary of the named objects dictionary.
    root = doc.rootdict
    d = root.add_new_dict("ACME_DATA")
    xr = d.add_xrecord("Values")
    xr.reset([(1, "text value"), (90, 42), (40, 2.5), (1, "second")])
    xr2 = d.add_xrecord("Path")
    xr2.reset([(1, "/projects/Library/Library.dst")])
    stamp = root.add_new_dict("VrSheetSetData")
    for key, code, val in [("LayoutName", 1, names[0]), ("ShSetVersion", 90, 2), ("ShSetFileName", 1, "/p/x.dst")]:
        stamp.add_xrecord(key).reset([(code, val)])
    doc.saveas(path)
    return names


def flatten_objects(node, prefix, out):
    for name, child in (node.get("entries") or {}).items():
        key = prefix + "/" + name
        if child is None:
            continue
        if child.get("type") == "XRECORD":
            out[key] = child["values"]
        flatten_objects(child, key, out)
    return out


def ezdxf_xrecords(doc):
    out = {}

    def walk(d, prefix):
        for name, obj in d.items():
            key = prefix + "/" + name
            if obj.dxftype() == "XRECORD":
                out[key] = [(t.code, t.value) for t in obj.tags]
            elif obj.dxftype() in ("DICTIONARY",) and key.count("/") < 4:
                walk(obj, key)

    walk(doc.rootdict, "")
    return out


def compare_reading(path, version):
    doc = ezdxf.readfile(path)
    ours = info(path)
    if not ours:
        return
    theirs = [(unescape(l.name), l.dxf.handle, l.dxf.paper_width, l.dxf.paper_height, l.name != "Model" and l.main_viewport() is not None)
              for l in doc.layouts]
    mine = {l["name"]: l for l in ours["layouts"]}
    check(sorted(l[0] for l in theirs) == sorted(mine), "%s: layout names differ: ezdxf %s, ours %s"
          % (version, sorted(l[0] for l in theirs), sorted(mine)))
    for name, handle, w, h, initialized in theirs:
        m = mine.get(name)
        if not check(m is not None, "%s: layout %r missing" % (version, name)):
            continue
        check(m["handle"] == handle.upper(), "%s: %r handle %s != %s" % (version, name, m["handle"], handle))
        check(math.isclose(m["paperWidth"], w) and math.isclose(m["paperHeight"], h),
              "%s: %r paper %sx%s != %sx%s" % (version, name, m["paperWidth"], m["paperHeight"], w, h))
        if name != "Model":
            check(m["initialized"] == initialized, "%s: %r initialized %s, ezdxf %s" % (version, name, m["initialized"], initialized))
    check(ours["stamp"] is not None and ours["stamp"].get("ShSetFileName") == "/p/x.dst", "%s: stamp not read" % version)
    mine_x = flatten_objects(objects(path) or {}, "", {})
    for key, values in ezdxf_xrecords(doc).items():
        got = mine_x.get(key)
        if not check(got is not None, "%s: xrecord %s missing" % (version, key)):
            continue
        ok = len(got) == len(values) and all(c1 == c2 and same_value(c1, v1, v2) for (c1, v1), (c2, v2) in zip(got, values))
        check(ok, "%s: xrecord %s: ours %s, ezdxf %s" % (version, key, got, values))


def census(path):
    doc = ezdxf.readfile(path)
    handles = set(doc.entitydb.keys())
    entities = sum(1 for e in doc.entitydb.values() if e.is_alive and hasattr(e, "dxf") and e.dxf.hasattr("owner")
                   and isinstance(e, ezdxf.entities.DXFGraphic))
    objects_ = sum(1 for e in doc.objects)
    return doc, handles, entities, objects_


def audit_clean(path, what):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    check(not auditor.errors, "%s: ezdxf audit errors: %s" % (what, [str(e.message) for e in auditor.errors[:5]]))
    return doc


def compare_roundtrip(src, dst, what):
    _, h_in, e_in, o_in = census(src)
    audit_clean(dst, what)
    _, h_out, e_out, o_out = census(dst)
    check(h_in == h_out, "%s: handles differ: lost %s, new %s" % (what, sorted(h_in - h_out)[:10], sorted(h_out - h_in)[:10]))
    check(e_in == e_out, "%s: %d entities became %d" % (what, e_in, e_out))
    check(o_in == o_out, "%s: %d objects became %d" % (what, o_in, o_out))


def compare_extents(path, what):
    """Our extents cover every piece of geometry as ezdxf measures it, and reach no further than
    ezdxf's box with text. Text itself is estimated from its height by both libraries, each its own
    way, so only that outer bound holds for it."""
    doc = ezdxf.readfile(path)
    msp = doc.modelspace()
    full = bbox.extents(msp, fast=False)
    geometry = bbox.extents([e for e in msp if e.dxftype() not in ("TEXT", "MTEXT", "ATTRIB", "INSERT")], fast=False)
    lo, hi = doc.header["$EXTMIN"], doc.header["$EXTMAX"]
    if not full.has_data:
        check(lo[0] > 1e19 and hi[0] < -1e19, "%s: empty model space, extents %s-%s" % (what, lo, hi))
        return
    tol = max(1e-6, 2e-3 * math.hypot(full.size.x, full.size.y))
    inner_ok = not geometry.has_data or (lo[0] <= geometry.extmin.x + tol and lo[1] <= geometry.extmin.y + tol and
                                         hi[0] >= geometry.extmax.x - tol and hi[1] >= geometry.extmax.y - tol)
    outer_ok = (lo[0] >= full.extmin.x - tol and lo[1] >= full.extmin.y - tol and
                hi[0] <= full.extmax.x + tol and hi[1] <= full.extmax.y + tol)
    check(inner_ok and outer_ok, "%s: extents ours %s-%s, ezdxf geometry %s-%s, with text %s-%s"
          % (what, lo[:2], hi[:2], geometry.extmin, geometry.extmax, full.extmin, full.extmax))


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    versions = ["R2000", "R2004", "R2007", "R2010", "R2013", "R2018"]
    fixtures = []
    for i, ver in enumerate(versions):
        path = os.path.join(WORK, "ezdxf_%s%s" % (ver, [".dxf", ".dwg", ".dwt"][i % 3]))
        make_fixture(ver, path, 6 + 4 * i)
        fixtures.append((ver, path))
    legacy = os.path.join(WORK, "ezdxf_R2000_gbk.dwg")
    make_fixture("R2000", legacy, 5, codepage="ANSI_936")
    fixtures.append(("R2000 ANSI_936", legacy))

    for ver, path in fixtures:
        compare_reading(path, ver)

    # Round trips into every version code, and back.
    for ver, path in fixtures:
        for code in (21, 23, 25, 27, 29, 31, 33):
            out = os.path.join(WORK, "rt_%s_%d.dxf" % (ver.replace(" ", "_"), code))
            if run("roundtrip", path, out, "--version", str(code)) is None:
                continue
            compare_roundtrip(path, out, "%s -> %d" % (ver, code))
            if code in (23, 29):
                compare_reading(out, "%s via %d" % (ver, code))
        compare_extents(os.path.join(WORK, "rt_%s_29.dxf" % ver.replace(" ", "_")), ver)

    # A drawing written by dxflib reads, and survives a round trip in every version.
    dl = os.path.join(WORK, "dxflib.dxf")
    subprocess.run([DXFLIB_WRITER, dl], check=True)
    mine = info(dl)
    check(mine and mine["entities"]["modelSpace"] == len(ezdxf.readfile(dl).modelspace()), "dxflib: model space count")
    for code in (23, 29, 33):
        out = os.path.join(WORK, "dxflib_%d.dxf" % code)
        if run("roundtrip", dl, out, "--version", str(code)) is not None:
            compare_roundtrip(dl, out, "dxflib -> %d" % code)
    compare_extents(os.path.join(WORK, "dxflib_29.dxf"), "dxflib")

    # Edits: what ezdxf sees afterwards.
    src = fixtures[3][1]
    doc0 = ezdxf.readfile(src)
    victim = "Sheet 01"
    victim_entities = len(doc0.layouts.get(victim))
    out = os.path.join(WORK, "edited.dwg")
    if run("edit", src, out, "--rename", "Sheet 00", "Renamed Sheet", "--current", "Sheet 04",
           "--delete", victim, "--rename", "Étage 3 平面图", "Étage 3 (rev)") is not None:
        doc = audit_clean(out, "edited")
        names = [unescape(l.name) for l in doc.layouts]
        check("Renamed Sheet" in names and "Sheet 00" not in names, "edit: rename not seen: %s" % names)
        check(victim not in names, "edit: deleted layout still there")
        check("Étage 3 (rev)" in names, "edit: non-ASCII rename not seen: %s" % names)
        check(doc.layouts.active_layout().name == "Sheet 04", "edit: active layout is %s" % doc.layouts.active_layout().name)
        _, h_in, e_in, _ = census(src)
        _, h_out, e_out, _ = census(out)
        check(e_in - e_out == victim_entities, "edit: %d entities before, %d after, the layout had %d"
              % (e_in, e_out, victim_entities))
        check(h_out <= h_in, "edit: new handles appeared: %s" % sorted(h_out - h_in)[:5])

    # The bundled examples and the template, made by our own code.
    examples = os.path.join(WORK, "examples")
    subprocess.run([MAKE_EXAMPLES, examples], check=True, capture_output=True)
    for folder, _, files in os.walk(examples):
        for f in files:
            if not f.endswith((".dwg", ".dwt", ".dxf")):
                continue  # the example sheet set data file
            path = os.path.join(folder, f)
            doc = audit_clean(path, f)
            mine = info(path)
            check(mine and [l["name"] for l in mine["layouts"]] == [unescape(l.name) for l in doc.layouts],
                  "%s: layouts differ" % f)
            # ezdxf's active layout is the active paper space; model space is current by $TILEMODE.
            current = "Model" if doc.header.get("$TILEMODE", 0) == 1 else doc.layouts.active_layout().name
            check(mine and mine["currentLayout"] == current, "%s: current layout differs" % f)
            compare_extents(path, f)
    tmpl = ezdxf.readfile(os.path.join(examples, "templates", "Vorn Sheet.dwt"))
    check(sorted(l.name for l in tmpl.layouts) == ["A1", "A3", "Model"], "template layouts")
    check(all(tmpl.layouts.get(n).main_viewport() is not None for n in ("A1", "A3")), "template layouts not initialized")

    # The text listing lines its columns up whatever the layout names hold.
    wide = os.path.join(WORK, "wide-names.dxf")
    doc = ezdxf.new("R2018", setup=True)
    doc.layouts.new("Erdgeschoß Übersicht Nord")
    doc.layouts.new("Plan")
    doc.saveas(wide)
    out = run("info", wide) or ""
    lines = out.splitlines()
    head = next((l for l in lines if "handle" in l and "name" in l), "")
    rows = [l for l in lines if "Erdgeschoß" in l or re.match(r"\s+\d+\s+Plan\s", l)]
    starts = {l.index(h) for l in rows for h in [doc.layouts.get(n).dxf_layout.dxf.handle for n in ("Erdgeschoß Übersicht Nord", "Plan")] if h in l}
    check(head and len(rows) == 2 and starts == {head.index("handle")}, "info columns misaligned:\n" + "\n".join([head] + rows))

    if failures:
        print("%d conformance failure(s):" % len(failures))
        for f in failures:
            print("  " + f)
        return 1
    print("conformance with ezdxf %s: all checks passed" % ezdxf.__version__)
    return 0


if __name__ == "__main__":
    sys.exit(main())
