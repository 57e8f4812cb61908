#!/usr/bin/python3
"""Fifty edits of every kind, drawn at random, on the example project through drawkit: moves,
numbers and titles, renames, renumbered subsets, new sheets and subsets, removed sheets, the project
name, a set property ("Client") that the title blocks do not show, and drawings given a "CLIENT"
attribute behind drawkit's back by another program. Afterwards no drawing shows a stale value: read
back with ezdxf, every sheet's title block shows its number, title, the project name and its place
"n of m" in the set, and every CLIENT attribute the client. (What each drawing shows is remembered
between edits; a drawing changed by someone else must be looked at again.) The sheet list table put
on G-002 first lists every sheet in order under its subset's heading, and the drawing reads in
ezdxf (and in LibreCAD, where it is installed).

  title_blocks_random_test.py MAKE_EXAMPLES DRAWKIT WORKDIR [SEED]
"""
import csv
import io
import os
import random
import shutil
import subprocess
import sys

import ezdxf

MAKE_EXAMPLES, DRAWKIT, WORK = sys.argv[1:4]
SEED = int(sys.argv[4]) if len(sys.argv) > 4 else int(os.environ.get("SEED", "2512"))
rng = random.Random(SEED)
shutil.rmtree(WORK, ignore_errors=True)
subprocess.run([MAKE_EXAMPLES, WORK], check=True, capture_output=True)
SET = os.path.join(WORK, "Riverside Library.dst")
os.environ["XDG_CACHE_HOME"] = os.path.join(WORK, "cache")
failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)


def run(*args):
    return subprocess.run([DRAWKIT, *args], capture_output=True, text=True)


def sheets():
    return list(csv.DictReader(io.StringIO(run("sheets", SET, "--csv").stdout)))


def subsets():
    """Subset paths, read from the tree listing's indentation."""
    out, stack = [], []
    for line in run("sheets", SET).stdout.splitlines()[1:]:
        depth = (len(line) - len(line.lstrip(" "))) // 2 - 1
        text = line.strip()
        if "/  (" not in text:
            continue
        name = text[:text.index("/  (")]
        del stack[depth:]
        stack.append(name)
        out.append("/".join(stack))
    return out


def title_block(path, layout):
    doc = ezdxf.readfile(path)
    out = {}
    for ins in doc.layouts.get(layout).query("INSERT"):
        for a in ins.attribs:
            out[a.dxf.tag] = a.dxf.text
    return out


def add_client_attribute(path, layout):
    """What another program's user does: a block with a CLIENT attribute put on the sheet."""
    doc = ezdxf.readfile(path)
    if "CLIENTTAG" not in doc.blocks:
        doc.blocks.new("CLIENTTAG")
    ins = doc.layouts.get(layout).add_blockref("CLIENTTAG", (10, 10))
    ins.add_attrib("CLIENT", "?", (10, 10))
    doc.saveas(path)


project = "Riverside Library"
client = ""
counter = 0


def fresh():
    global counter
    counter += 1
    return counter


def act():
    global project, client
    rows = [r for r in sheets() if r["Number"]]
    subs = subsets()
    kind = rng.choice(["move", "number", "title", "rename", "renumber", "new-sheet", "new-subset", "remove", "project", "client", "outside"])
    row = rng.choice(rows)
    if kind == "move":
        to = rng.choice(subs)
        siblings = [r for r in rows if r.get("Subset") == to and r["Number"] != row["Number"]]
        args = ["move", SET, row["Number"], "--to", to]
        if siblings and rng.random() < 0.5:
            args += ["--after", rng.choice(siblings)["Number"]]
    elif kind == "number":
        args = ["prop", SET, row["Number"], "Number=R-%d" % fresh()]
    elif kind == "title":
        args = ["prop", SET, row["Number"], "Title=Sheet %d" % fresh()]
    elif kind == "rename":
        args = ["rename", SET, row["Number"], "--number", "N-%d" % fresh(), "--title", "Renamed %d" % counter]
    elif kind == "renumber":
        args = ["renumber", SET, rng.choice(subs), "--pattern", "X%d-##" % fresh()]
    elif kind == "new-sheet":
        n = fresh()
        args = ["new-sheet", SET, "--subset", rng.choice(subs), "--number", "W-%d" % n, "--title", "New %d" % n]
    elif kind == "new-subset":
        args = ["new-subset", SET, "%s/Part %d" % (rng.choice(subs), fresh())]
    elif kind == "client":
        client = "Client %d" % fresh()
        args = ["prop", SET, "Client=" + client]
    elif kind == "outside":
        add_client_attribute(os.path.join(WORK, row["Drawing"]), row["Layout"])
        return "CLIENT attribute added to %s by another program" % row["Number"]
    elif kind == "remove" and len(rows) > 20:
        args = ["remove", SET, row["Number"]]
    else:
        project = "Project %d" % fresh()
        args = ["prop", SET, "Project name=" + project]
    p = run(*args)
    # 1 is a refusal (a number taken, nothing to renumber): nothing changed, which is fine here.
    expect(p.returncode in (0, 1), "%s: exit %d: %s" % (" ".join(args[2:]), p.returncode, p.stderr.strip()))
    return " ".join([args[0]] + args[2:])


TABLE_DRAWING = os.path.join(WORK, "drawings", "G-000 General.dwg")
p = run("sheet-list", SET, "G-002", "--columns", "number,title,revision")
expect(p.returncode == 0, "sheet-list G-002: %s %s" % (p.stdout, p.stderr))


def table_texts(path):
    """The texts of the drawing's sheet list table, in the order drawn."""
    doc = ezdxf.readfile(path)
    blocks = [b for b in doc.blocks if b.name.upper().startswith("VR_SHEET_LIST_")]
    return [e.dxf.text for e in blocks[0] if e.dxftype() == "TEXT"] if blocks else []


def expected_texts(rows):
    """What the table shows for the set's rows: a heading whenever the subset changes, then the cells."""
    out, subset = ["Sheet List", "Number", "Title", "Revision"], None
    for r in rows:
        if r["Subset"] != subset:
            out.append(r["Subset"] or "Riverside Library")
            subset = r["Subset"]
        out += [v for v in (r["Number"], r["Title"], r["Revision"]) if v]
    return out


done = [act() for _ in range(50)]
# Once more where it is sure to matter: every drawing seen, then one changed behind our back.
run("update-fields", SET)
first = next(r for r in sheets() if "CLIENT" not in title_block(os.path.join(WORK, r["Drawing"]), r["Layout"]))
add_client_attribute(os.path.join(WORK, first["Drawing"]), first["Layout"])
client = "Final client"
p = run("prop", SET, "Client=" + client)
expect(p.returncode == 0, "the last client change: %s" % p.stderr)

rows = sheets()
total = len(rows)
for n, r in enumerate(rows, 1):
    tb = title_block(os.path.join(WORK, r["Drawing"]), r["Layout"])
    label = r["Number"] or r["Title"]
    expect(tb.get("SHEETNO") == r["Number"], "%s: number shows %r" % (label, tb.get("SHEETNO")))
    expect(tb.get("SHEETTITLE") == r["Title"], "%s: title shows %r" % (label, tb.get("SHEETTITLE")))
    expect(tb.get("PROJECTNAME") == project, "%s: project shows %r, is %r" % (label, tb.get("PROJECTNAME"), project))
    expect(tb.get("SHEETOF") == "%d of %d" % (n, total), "%s: shows %r, is %d of %d" % (label, tb.get("SHEETOF"), n, total))
    expect(tb.get("CLIENT", client) == client, "%s: client shows %r, is %r" % (label, tb.get("CLIENT"), client))
p = run("update-fields", SET, "--json")
expect(p.returncode == 0 and '"drawingsChanged": 0' in p.stdout, "nothing was left stale for update-fields: %s" % p.stdout)

# The table: every sheet in order, in a drawing other programs read. (G-000 keeps a sheet of the
# set unless all three of its sheets were removed; the draw of edits above never removes that many.)
if any(r["Drawing"] == "drawings/G-000 General.dwg" for r in rows):
    texts, wanted = table_texts(TABLE_DRAWING), expected_texts(rows)
    expect(texts == wanted, "the sheet list table shows %d texts, the set %d; first difference at %s" %
           (len(texts), len(wanted), next((i for i, (a, b) in enumerate(zip(texts, wanted)) if a != b), min(len(texts), len(wanted)))))
    expect(not ezdxf.readfile(TABLE_DRAWING).audit().has_errors, "ezdxf's audit of the drawing with the table")
    if shutil.which("librecad"):
        # dxf2pdf prints one drawing to a PDF of its own name beside it.
        pdf, copy = os.path.join(WORK, "table.pdf"), os.path.join(WORK, "table.dxf")
        shutil.copyfile(TABLE_DRAWING, copy)
        subprocess.run(["librecad", "dxf2pdf", copy], capture_output=True, timeout=120, cwd=WORK,
                       env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        expect(os.path.exists(pdf) and os.path.getsize(pdf) > 1000, "LibreCAD reads the drawing with the table")

if failures:
    print("seed %d; the edits:\n  %s" % (SEED, "\n  ".join(done)))
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
