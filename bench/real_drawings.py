#!/usr/bin/python3
"""Real drawings from elsewhere, through a set and a publish: by default the symbol library and
hatch pattern drawings that LibreCAD's data package installs (apt-get install librecad-data).

1. Each drawing is read by ezdxf (readfile; recover when that refuses it) and audited; the entity
   kinds it sees are listed: in model space, in each paper layout, and in the blocks that those
   reach through inserts and dimensions.
2. `drawkit new-set --from` on a copy of the folders, as they are: the sheets it makes and the
   drawings it leaves out, by reason.
3. Drawings with nothing in paper space do not make sheets. A copy of each that ezdxf reads gets one,
   saved by ezdxf (an R12 drawing's model space moved into an R2000 drawing first, R12 having no
   layouts to set up): Layout1 on A3 with one viewport onto the extents of model space. Those make a
   second set, published with --log; the log's notes are counted ("not drawn: N KIND, ..." by
   kind), and so are failures, and Qt's warnings on standard error.
4. Kinds that ezdxf sees in what a sheet shows (model space, through the viewport) and that the
   renderer neither draws nor names in a "not drawn" note: left out without a word. DRAWN below
   has to follow what the renderer draws.
5. A few pages as PNG (pdftoppm) to look at.

Prints a report, never fails; run it by hand (about a minute for LibreCAD's 1,335 drawings):

  /usr/bin/python3 bench/real_drawings.py [BUILD_DIR] [--work DIR] [--pages N] [--audit] [FOLDER...]

--audit also runs `drawkit audit` on each drawing as it is (some minutes more).
"""
import argparse
import collections
import glob
import os
import re
import shutil
import subprocess
import sys
import logging
import tempfile

import ezdxf
from ezdxf import bbox, recover
from ezdxf.addons import Importer

logging.disable(logging.WARNING)  # matplotlib's font lookups for the extents of texts

# What toolkit/gs/TkGsRenderer.cpp draws (drawEntity, drawBlock); vertices, sequence ends and
# attributes are drawn with the polyline or insert they follow.
DRAWN = {"INSERT", "TEXT", "ATTRIB", "MTEXT", "HATCH", "DIMENSION", "LINE", "POINT", "CIRCLE", "ARC", "ELLIPSE",
         "LWPOLYLINE", "POLYLINE", "SOLID", "TRACE", "3DFACE", "SPLINE", "LEADER", "MLINE", "RAY", "XLINE", "IMAGE",
         "WIPEOUT", "VIEWPORT", "VERTEX", "SEQEND"}


def read(path):
    """(doc, how, auditor) or (None, why, None)."""
    how = "read"
    try:
        doc = ezdxf.readfile(path)
    except Exception as e:  # ezdxf refuses: recover may still read it
        how = "recovered (readfile: %s)" % str(e).splitlines()[0][:80]
        try:
            doc, _ = recover.readfile(path)
        except Exception as e2:
            return None, "unreadable: %s" % str(e2).splitlines()[0][:80], None
    return doc, how, doc.audit()


def reachable_kinds(doc, entities, seen=None):
    """Entity kinds in `entities` and in the blocks they insert (dimensions' blocks too)."""
    kinds = collections.Counter()
    seen = set() if seen is None else seen
    for e in entities:
        kinds[e.dxftype()] += 1
        name = e.dxf.get("name") if e.dxftype() == "INSERT" else e.dxf.get("geometry") if e.dxftype() == "DIMENSION" else None
        if name and name not in seen and name in doc.blocks:
            seen.add(name)
            kinds.update(reachable_kinds(doc, doc.blocks.get(name), seen))
    return kinds


def paper_set_up(layout):
    d = layout.dxf_layout.dxf
    return d.get("paper_width", 0) > 0 and d.get("paper_height", 0) > 0


def prepare(doc, out):
    """`doc` saved to `out` with Layout1 on A3 showing all of model space; False when model space
    has nothing with extents. An R12 drawing has no layouts to set up: its model space goes into
    a new R2000 drawing first."""
    ext = bbox.extents(doc.modelspace())
    if not ext.has_data or not (ext.size.x > 0 or ext.size.y > 0):
        return False
    if doc.dxfversion < "AC1015":
        newer = ezdxf.new("R2000")
        importer = Importer(doc, newer)
        importer.import_modelspace()
        importer.finalize()
        doc = newer
    for layout in list(doc.layouts):
        if layout.name not in ("Model", "Layout1") and len(doc.layouts) > 2:
            doc.layouts.delete(layout.name)
    layout = doc.layouts.get("Layout1") if "Layout1" in doc.layouts else doc.layouts.new("Layout1")
    layout.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm")
    w, h = max(ext.size.x, 1e-6), max(ext.size.y, 1e-6)
    layout.add_viewport(center=(210, 148.5), size=(400, 277), view_center_point=(ext.center.x, ext.center.y),
                        view_height=max(h, w * 277 / 400) * 1.05)
    os.makedirs(os.path.dirname(out), exist_ok=True)
    doc.saveas(out)
    return True


def parse_log(text):
    """Per drawing path: [(status, layout, [notes])] from a publish log."""
    sheets = collections.defaultdict(list)
    current = None
    for line in text.splitlines():
        m = re.match(r"(\w+)\s+.* \((.*) in (.*)\)$", line)
        if m and not line.startswith(" "):
            current = (m.group(1), m.group(2), [])
            sheets[m.group(3)].append(current)
        elif current and line.strip().startswith("note:"):
            current[2].append(line.strip()[len("note:"):].strip())
        elif current and line.startswith(" "):
            current[2].append(line.strip())
    return sheets


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build", nargs="?", default="build")
    ap.add_argument("folders", nargs="*")
    ap.add_argument("--work")
    ap.add_argument("--pages", type=int, default=4)
    ap.add_argument("--audit", action="store_true", help="also `drawkit audit` each drawing as it is (slow: a run each)")
    args = ap.parse_args()
    drawkit = os.path.join(args.build, "tools", "drawkit")
    folders = args.folders or ["/usr/share/librecad/library", "/usr/share/librecad/patterns"]
    work = args.work or tempfile.mkdtemp(prefix="vorn-real-drawings-")
    runtime = tempfile.mkdtemp(prefix="vorn-real-drawings-runtime-")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime)
    original, prepared = os.path.join(work, "original"), os.path.join(work, "prepared")
    shutil.rmtree(original, ignore_errors=True)
    shutil.rmtree(prepared, ignore_errors=True)
    for old in glob.glob(os.path.join(work, "page-*")) + [os.path.join(work, n) for n in
                                                          ("original.dst", "prepared.dst", "prepared.pdf", "publish.log")]:
        shutil.rmtree(old) if os.path.isdir(old) else os.remove(old) if os.path.exists(old) else None
    for f in folders:
        shutil.copytree(f, os.path.join(original, os.path.basename(f.rstrip("/"))))
    paths = sorted(glob.glob(os.path.join(original, "**", "*.dxf"), recursive=True) +
                   glob.glob(os.path.join(original, "**", "*.DXF"), recursive=True))
    print("%d drawings from %s; work in %s" % (len(paths), ", ".join(folders), work))

    # 1. ezdxf's view, and the copies that get a sheet
    ezdxf_view, how_read, audits, layouts = {}, collections.Counter(), collections.Counter(), collections.Counter()
    audit_errors, audit_fixes, audit_example = collections.Counter(), collections.Counter(), {}
    all_kinds = collections.Counter()
    not_prepared = []
    for path in paths:
        rel = os.path.relpath(path, original)
        doc, how, audit = read(path)
        how_read[how.split(" (")[0]] += 1
        if doc is None:
            print("  ezdxf cannot read %s: %s" % (rel, how))
            continue
        if how != "read":
            print("  %s: %s; audit after recovery: %d errors, %d fixes" % (rel, how, len(audit.errors), len(audit.fixes)))
        audits["with audit errors"] += len(audit.errors) > 0
        audits["with audit fixes"] += len(audit.fixes) > 0
        for counter, entries in ((audit_errors, audit.errors), (audit_fixes, audit.fixes)):
            for e in entries:
                message = re.sub(r"#[0-9A-F]+|\d+(\.\d+)?", "#", e.message)  # handles and numbers alike
                counter[message] += 1
                audit_example.setdefault(message, rel)
        papers = [l for l in doc.layouts if l.name != "Model"]
        layouts["paper layouts set up"] += sum(1 for l in papers if paper_set_up(l))
        layouts["paper layouts not set up"] += sum(1 for l in papers if not paper_set_up(l))
        layouts["paper layouts holding entities"] += sum(1 for l in papers if len(l))
        kinds = reachable_kinds(doc, doc.modelspace())
        for l in papers:
            kinds.update(reachable_kinds(doc, l))
        all_kinds.update(kinds)
        ezdxf_view[rel] = kinds
        if not any(len(l) for l in papers):  # nothing in paper space to print: a sheet onto model space
            if not prepare(doc, os.path.join(prepared, rel)):
                not_prepared.append(rel)
    print("ezdxf: %s" % ", ".join("%d %s" % (n, k) for k, n in sorted(how_read.items())))
    print("ezdxf audit: %d drawings with errors, %d with fixes" % (audits["with audit errors"], audits["with audit fixes"]))
    for what, counter in (("error", audit_errors), ("fix", audit_fixes)):
        for message, n in counter.most_common(6):
            if n:
                print("  audit %s, %d times: %s (e.g. %s)" % (what, n, message[:140], audit_example[message]))
    print("layouts: %s" % ", ".join("%d %s" % (n, k) for k, n in sorted(layouts.items())))
    print("entity kinds ezdxf sees (model space, layouts, blocks they reach): %s" %
          ", ".join("%d %s" % (n, k) for k, n in all_kinds.most_common()))

    if args.audit:
        codes, said = collections.Counter(), collections.Counter()
        for path in paths:
            p = subprocess.run([drawkit, "audit", path], capture_output=True, text=True, env=env)
            codes[p.returncode] += 1
            for line in p.stdout.splitlines() + p.stderr.splitlines():
                said[re.sub(r"\d+", "N", line.split(": ", 1)[-1])] += 1
        print("drawkit audit, by exit code (0 none, 1 repaired, 2 refused, else a crash): %s" %
              ", ".join("%d: %d" % kv for kv in sorted(codes.items())))
        for line, n in said.most_common(5):
            print("  %d x %s" % (n, line[:140]))

    # Copies of a few for pages of their own, taken before a set stamps them.
    pages = []
    for rel in sorted((r for r in ezdxf_view if os.path.exists(os.path.join(prepared, r))),
                      key=lambda r: (-len(ezdxf_view[r]), r))[:args.pages]:
        one = os.path.join(work, "page-" + re.sub(r"[^A-Za-z0-9]+", "_", rel))
        shutil.rmtree(one + "-drawing", ignore_errors=True)
        os.makedirs(one + "-drawing")
        shutil.copy(os.path.join(prepared, rel), one + "-drawing")
        pages.append((rel, one))

    # 2. the drawings as they are
    p = subprocess.run([drawkit, "new-set", os.path.join(work, "original.dst"), "--from", original, "--subsets-by-folder"],
                       capture_output=True, text=True, env=env)
    reasons = collections.Counter(re.sub(r"^left out: .*?\.dxf: ", "", l, flags=re.I) for l in p.stdout.splitlines()
                                  if l.startswith("left out:"))
    print("\nnew-set on the drawings as they are (exit %d): %s" % (p.returncode, p.stdout.strip().splitlines()[-1] if p.stdout.strip() else ""))
    for why, n in reasons.most_common():
        print("  left out, %d: %s" % (n, why))
    if p.stderr.strip():
        print("  standard error: " + p.stderr.strip()[:500])

    # 3. the copies with a sheet each, published
    if not_prepared:
        print("\nno sheet made for %d drawings whose model space has no extents: %s" % (len(not_prepared), ", ".join(not_prepared[:10])))
    dst, pdf, log = (os.path.join(work, n) for n in ("prepared.dst", "prepared.pdf", "publish.log"))
    if not os.path.isdir(prepared):
        print("\nno drawing to give a sheet")
        return 0
    p = subprocess.run([drawkit, "new-set", dst, "--from", prepared, "--subsets-by-folder"], capture_output=True, text=True, env=env)
    print("\nnew-set on the copies with a sheet (exit %d): %s" % (p.returncode, p.stdout.strip().splitlines()[-1] if p.stdout.strip() else ""))
    left = [l for l in p.stdout.splitlines() if l.startswith("left out:")]
    for l in left[:10]:
        print("  " + l)
    p = subprocess.run([drawkit, "publish", dst, pdf, "--log", log], capture_output=True, text=True, env=env)
    print("publish (exit %d): %s" % (p.returncode, p.stdout.strip().splitlines()[-1] if p.stdout.strip() else ""))
    qt_warnings = [l for l in p.stderr.splitlines() if l.strip()]
    print("  standard error: %d lines%s" % (len(qt_warnings), "" if not qt_warnings else "; first: " + " | ".join(qt_warnings[:5])))
    with open(log, encoding="utf-8", errors="replace") as f:
        sheets = parse_log(f.read())
    status = collections.Counter(s[0] for v in sheets.values() for s in v)
    print("  sheets by status: %s" % ", ".join("%d %s" % (n, k) for k, n in status.most_common()))
    for path, v in sorted(sheets.items()):
        for s in v:
            if s[0] != "done":
                print("  %s %s: %s" % (s[0], os.path.relpath(path, prepared), "; ".join(s[2])[:300]))
    not_drawn, other_notes = collections.Counter(), collections.Counter()
    named = collections.defaultdict(set)
    for path, v in sheets.items():
        for s in v:
            for note in s[2]:
                if note.startswith("not drawn:"):
                    for item in note[len("not drawn:"):].split(","):
                        n, kind = item.split()
                        not_drawn[kind] += int(n)
                        named[path].add(kind)
                else:
                    other_notes[re.sub(r": .*", "", note)] += 1
    print("  'not drawn' by kind: %s" % (", ".join("%d %s" % (n, k) for k, n in not_drawn.most_common()) or "none"))
    print("  other notes: %s" % (", ".join("%d x %s" % (n, k) for k, n in other_notes.most_common()) or "none"))

    # 4. kinds seen by ezdxf, neither drawn nor named
    silent = collections.defaultdict(list)
    for rel, kinds in ezdxf_view.items():
        path = os.path.join(prepared, rel)
        if path not in sheets:
            continue
        for kind in kinds:
            if kind not in DRAWN and kind not in named[path]:
                silent[kind].append(rel)
    print("\nkinds ezdxf sees that the log neither draws nor names as not drawn: %s" %
          ("none" if not silent else ""))
    for kind, rels in sorted(silent.items()):
        print("  %s in %d drawings, e.g. %s" % (kind, len(rels), ", ".join(rels[:3])))

    # 5. a few pages to look at
    if pages:
        print("\npages to look at (the drawings with the most kinds of entity):")
    for rel, one in pages:
        subprocess.run([drawkit, "new-set", one + ".dst", "--from", one + "-drawing"], capture_output=True, env=env)
        subprocess.run([drawkit, "publish", one + ".dst", one + ".pdf"], capture_output=True, env=env)
        subprocess.run(["pdftoppm", "-r", "50", "-png", "-singlefile", one + ".pdf", one], capture_output=True)
        print("  %s (%s): %s.png" % (rel, ", ".join(sorted(ezdxf_view[rel])), one))
    return 0


if __name__ == "__main__":
    sys.exit(main())
