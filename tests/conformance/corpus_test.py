#!/usr/bin/python3
"""Drawings as other programs write them, defects and all.

ezdxf writes a drawing in every version it knows, with text in and beyond the code page; each is
then broken the ways real files are (a dangling owner, a duplicate handle, an entity without a
handle, header variables in another order, no CLASSES or OBJECTS section, objects and sections in
another order, CRLF and CR line endings). For
every variant ezdxf reads:
- drawkit reads it too, and `drawkit audit` says 0 for a clean file and 1 for a repaired one;
- a round trip (saved in the version it was read in) keeps every entity of the drawing as it was
  written, counted by type as ezdxf counts them, and every text string;
- a pre-2007 drawing read and saved unchanged keeps the code page bytes of its text.

  corpus_test.py DRAWKIT WORKDIR
"""
import collections
import os
import re
import shutil
import subprocess
import sys

import ezdxf

DRAWKIT, WORK = sys.argv[1:3]
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
    return cond


def drawkit(*args):
    return subprocess.run([DRAWKIT, *args], capture_output=True)


TEXTS = ["Erdgeschoß – Ø 12", "Plan 平面图", "Ground floor", "Ünïcödé €"]


def make(version, path):
    doc = ezdxf.new(version, setup=True)
    if version in ("R12", "R2000", "R2004"):
        doc.header["$DWGCODEPAGE"] = "ANSI_1252"
    msp = doc.modelspace()
    for i in range(20):
        msp.add_line((i, 0), (i + 5, 5))
        msp.add_circle((i * 3, 20), 1 + i % 3)
        msp.add_arc((i * 3, 40), 2, 0, 90)
    for i, t in enumerate(TEXTS):
        msp.add_text(t, dxfattribs={"height": 2.5, "insert": (0, 60 + 5 * i)})
    if version != "R12":
        msp.add_lwpolyline([(0, 0), (10, 0), (10, 10)])
        msp.add_mtext("Notes: Straße\\Pzweite Zeile", dxfattribs={"insert": (50, 50)})
        layout = doc.layouts.new("Erdgeschoß")
        layout.add_line((0, 0), (100, 100))
        layout.add_text("Blatt 1 von 3", dxfattribs={"insert": (5, 5)})
    doc.saveas(path)


def counts(doc):
    c = collections.Counter()
    for layout in doc.layouts:
        for e in layout:
            c[e.dxftype()] += 1
    return c


def unescape(s):
    """\\U+XXXX escapes of pre-2007 text, in either letter case, as the characters they stand for."""
    return re.sub(r"\\[Uu]\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), s)


def texts(doc):
    out = []
    for layout in doc.layouts:
        for e in layout:
            if e.dxftype() == "TEXT":
                out.append(unescape(e.dxf.text))
            elif e.dxftype() == "MTEXT":
                out.append(unescape(e.text))
    return sorted(out)


def entity_records(text):
    """(start, end) of each entity record in the ENTITIES section, as text offsets."""
    sec = text.find("ENTITIES\n")
    end = text.find("\nENDSEC", sec)
    starts = [m.start() for m in re.finditer(r"(?m)^  0\n", text[sec:end])]
    return [(sec + a, sec + b) for a, b in zip(starts, starts[1:] + [end - sec])]


def break_dangling_owner(text):
    for a, b in entity_records(text)[3:]:
        rec = text[a:b]
        m = re.search(r"(?m)^330\n([0-9A-Fa-f]+)$", rec)
        if m:
            return text[:a] + rec[:m.start(1)] + "FFFFF" + rec[m.end(1):] + text[b:]
    return None


def break_duplicate_handle(text):
    recs = entity_records(text)
    handles = []
    for a, b in recs[2:6]:
        m = re.search(r"(?m)^  5\n([0-9A-Fa-f]+)$", text[a:b])
        if m:
            handles.append((a, m))
    if len(handles) < 2:
        return None
    (a0, m0), (a1, m1) = handles[0], handles[1]
    return text[:a1 + m1.start(1)] + m0.group(1) + text[a1 + m1.end(1):]


def break_missing_handle(text):
    for a, b in entity_records(text)[4:]:
        rec = text[a:b]
        m = re.search(r"(?m)^  5\n[0-9A-Fa-f]+\n", rec)
        if m:
            return text[:a] + rec[:m.start()] + rec[m.end():] + text[b:]
    return None


def reorder_header(text):
    start = text.find("HEADER\n")
    end = text.find("  0\nENDSEC", start)
    body = text[start + len("HEADER\n"):end]
    vars_ = re.split(r"(?m)^(?=  9\n)", body)
    head, rest = vars_[0], vars_[1:]
    return text[:start + len("HEADER\n")] + head + "".join(reversed(rest)) + text[end:]


def drop_classes(text):
    m = re.search(r"(?ms)^  0\nSECTION\n  2\nCLASSES\n.*?^  0\nENDSEC\n", text)
    return text[:m.start()] + text[m.end():] if m else None


def records_of(body):
    """The records of a section body, split on group code 0 by reading the lines in pairs."""
    lines = body.split("\n")
    recs, cur = [], []
    for i in range(0, len(lines) - 1, 2):
        if lines[i].strip() == "0" and cur:
            recs.append(cur)
            cur = []
        cur += [lines[i], lines[i + 1]]
    if cur:
        recs.append(cur)
    return ["\n".join(r) + "\n" for r in recs]


def reverse_objects(text):
    """The OBJECTS section's records after the root dictionary, in reverse order."""
    start = text.find("OBJECTS\n")
    if start < 0:
        return None
    start += len("OBJECTS\n")
    end = text.find("  0\nENDSEC", start)
    recs = records_of(text[start:end])
    if len(recs) < 3:
        return None
    return text[:start] + recs[0] + "".join(reversed(recs[1:])) + text[end:]


def sections_swapped(text):
    """The BLOCKS section after ENTITIES instead of before."""
    b = re.search(r"(?ms)^  0\nSECTION\n  2\nBLOCKS\n.*?^  0\nENDSEC\n", text)
    e = re.search(r"(?ms)^  0\nSECTION\n  2\nENTITIES\n.*?^  0\nENDSEC\n", text)
    if not b or not e or b.start() > e.start():
        return None
    return text[:b.start()] + text[e.start():e.end()] + text[b.start():b.end()] + text[e.end():]


def drop_objects(text):
    m = re.search(r"(?ms)^  0\nSECTION\n  2\nOBJECTS\n.*?^  0\nENDSEC\n", text)
    return text[:m.start()] + text[m.end():] if m else None


VARIANTS = [
    ("no-objects", drop_objects, True),
    ("objects-reordered", reverse_objects, False),
    ("sections-swapped", sections_swapped, False),
    ("dangling-owner", break_dangling_owner, True),
    ("duplicate-handle", break_duplicate_handle, True),
    ("missing-handle", break_missing_handle, True),
    ("header-reordered", reorder_header, False),
    ("no-classes", drop_classes, False),
]

read_count = 0
for version in ["R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018"]:
    base = os.path.join(WORK, version + ".dxf")
    make(version, base)
    encoding = "cp1252" if version in ("R12", "R2000", "R2004") else "utf-8"
    with open(base, "rb") as f:
        raw = f.read()
    original = raw.decode(encoding, errors="surrogateescape")
    clean = ezdxf.readfile(base)
    files = [("clean", base, False)]
    for name, breaker, repaired in VARIANTS:
        if version == "R12" and name in ("dangling-owner", "missing-handle", "no-classes", "objects-reordered", "no-objects"):
            continue  # owners and handles are optional in R12, and it has no CLASSES section
        broken = breaker(original)
        if broken is None:
            failures.append("%s: could not introduce %s" % (version, name))
            continue
        path = os.path.join(WORK, "%s-%s.dxf" % (version, name))
        with open(path, "wb") as f:
            f.write(broken.encode(encoding, errors="surrogateescape"))
        files.append((name, path, repaired))
    for ending, sep in (("crlf", b"\r\n"), ("cr", b"\r")):
        path = os.path.join(WORK, "%s-%s.dxf" % (version, ending))
        with open(path, "wb") as f:
            f.write(raw.replace(b"\n", sep))
        files.append((ending, path, False))

    for name, path, repaired in files:
        label = "%s %s" % (version, name)
        try:
            theirs = ezdxf.readfile(path)
        except Exception as e:  # what ezdxf cannot read is no promise of ours
            print("ezdxf does not read %s: %s" % (label, e))
            continue
        read_count += 1
        audit = drawkit("audit", path)
        if not check(audit.returncode in ((0, 1) if not repaired else (1,)),
                     "%s: audit exit %d: %s%s" % (label, audit.returncode, audit.stdout.decode(errors="replace"),
                                                  audit.stderr.decode(errors="replace"))):
            continue
        out = path[:-4] + ".out.dxf"
        p = drawkit("roundtrip", path, out)
        if not check(p.returncode == 0, "%s: round trip failed: %s" % (label, p.stderr.decode(errors="replace"))):
            continue
        # Nothing of the drawing as it was written is lost: compared with ezdxf's reading of the
        # file before it was broken (ezdxf itself drops the entities of a layout whose object is gone).
        ours = ezdxf.readfile(out)
        check(counts(ours) == counts(clean), "%s: entities differ: %s vs %s" % (label, dict(counts(ours)), dict(counts(clean))))
        check(texts(ours) == texts(clean), "%s: texts differ: %s vs %s" % (label, texts(ours), texts(clean)))
        check(len(ours.audit().errors) == 0, "%s: ezdxf finds errors in our save" % label)
        if name == "clean" and encoding == "cp1252":
            with open(out, "rb") as f:
                saved = f.read()
            for t in ("Erdgeschoß – Ø 12", "Ünïcödé €"):
                check(t.encode("cp1252") in saved, "%s: %r not kept in the code page" % (label, t))

print("%d drawings that ezdxf reads, read and round-tripped" % read_count)
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
