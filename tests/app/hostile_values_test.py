#!/usr/bin/python3
"""Values and lock files that would break a project, given by a clumsy user or a hostile one.

1. A value holding a control character (line breaks, a tab, NUL's neighbours, DEL, a C1 control),
   through every way a value enters: a sheet's title and custom property and the set's project name
   by `prop`, `rename`, `new-sheet` on its command line and from a CSV (a multi-line cell), an
   applied index, a new subset's name, a renumber pattern. Each is refused with a message naming the
   field, and every drawing of the project still reads in ezdxf.
2. A set whose file holds such a value (edited by hand): it opens, `check` names the field, and an
   edit that brings the title blocks up to date writes a space for it, leaving the drawings readable.
3. The lock file: a link to a file elsewhere (not written, not made world-writable, the edit
   refused), a pipe (check and edits end at once with a clear message), and two sets whose long
   paths differ only past 260 characters (each has a lock of its own).
4. A set reached through a link: an edit lands in the file the link names, the link stays, and the
   lock, backup and journal are beside that file.

  hostile_values_test.py DRAWKIT MAKE_EXAMPLES WORKDIR
"""
import csv
import fcntl
import os
import shutil
import stat
import subprocess
import sys
import time

import ezdxf

from support import expect, finish, run

DRAWKIT, MAKE_EXAMPLES, WORK = sys.argv[1:4]
SET_NAME = "Riverside Library"
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)


def drawkit(*args, timeout=60):
    return run(DRAWKIT, *args, timeout=timeout)


def project(name):
    folder = os.path.join(WORK, name)
    subprocess.run([MAKE_EXAMPLES, folder], check=True, capture_output=True)
    return folder, os.path.join(folder, SET_NAME + ".dst")


def unreadable_drawings(folder):
    bad = []
    for root, _, names in os.walk(folder):
        for n in names:
            if n.endswith(".dwg") and not n.startswith("."):
                try:
                    ezdxf.readfile(os.path.join(root, n))
                except Exception as e:  # noqa: BLE001 - any failure to read is the finding
                    bad.append("%s: %s" % (n, e))
    return bad


def write_csv(path, rows):
    with open(path, "w", newline="", encoding="utf-8") as f:
        csv.writer(f).writerows(rows)


# ---- 1. control characters through every entry point
folder, dst = project("values")
CONTROLS = {"line feed": "\n", "carriage return": "\r", "tab": "\t", "U+0001": "\x01", "DEL": "\x7f", "U+0085": "\x85"}
for label, c in CONTROLS.items():
    value = "Ground" + c + "Floor"
    csv_path = os.path.join(folder, "new.csv")
    write_csv(csv_path, [["Number", "Title", "Subset"], ["Z-900", value, "Architecture"]])
    index_path = os.path.join(folder, "index.csv")
    rows = list(csv.reader(drawkit("sheets", dst, "--csv").stdout.splitlines()))
    header = rows[0]
    rows[1][header.index("Title")] = value
    write_csv(index_path, rows)
    attempts = [
        (["prop", dst, "A-101", "Title=" + value], "Title"),
        (["prop", dst, "A-101", "Drawn by=" + value], "Drawn by"),
        (["prop", dst, "Project name=" + value], "Project name"),
        (["rename", dst, "A-101", "--title", value], "title"),
        (["new-sheet", dst, "--subset", "Architecture", "--number", "Z-901", "--title", value], "title"),
        (["new-sheet", dst, "--from-csv", csv_path], "title"),
        (["index", dst, "--apply", index_path], "Title"),
        (["new-subset", dst, "Architecture/Bad" + c + "Name"], "subset name"),
        (["renumber", dst, "Architecture", "--pattern", "A" + c + "##"], "pattern"),
    ]
    for args, field in attempts:
        p = drawkit(*args)
        what = "%s with a %s" % (" ".join(args[:1] + args[2:3]), label)
        expect(p.returncode == 1, "%s: exit %d, not a refusal: %s" % (what, p.returncode, p.stdout + p.stderr))
        expect(field.lower() in p.stderr.lower() and "control character" in p.stderr,
               "%s: the message does not name the field %r: %s" % (what, field, p.stderr.strip()))
listing = drawkit("sheets", dst).stdout
expect("Z-90" not in listing and "Bad" not in listing, "a refused value landed: %s" % listing)
long_value = "x" * 2001
p = drawkit("prop", dst, "A-101", "Drawn by=" + long_value)
expect(p.returncode == 1 and "2000" in p.stderr, "a 2,001-character value: exit %d %s" % (p.returncode, p.stderr))
expect(not unreadable_drawings(folder), "drawings no longer read: %s" % unreadable_drawings(folder))

# CSV files as spreadsheets save them: a code page, a runaway cell; exported formulas stay text.
latin = os.path.join(folder, "latin.csv")
with open(latin, "wb") as f:
    f.write(b"Number,Title,Subset\nZ-1,Caf\xe9,Architecture\n")
p = drawkit("new-sheet", dst, "--from-csv", latin)
expect(p.returncode == 2 and "line 2 is not UTF-8" in p.stderr, "a Latin-1 CSV: exit %d %s" % (p.returncode, p.stderr))
huge = os.path.join(folder, "huge.csv")
write_csv(huge, [["Number", "Title", "Subset"], ["Z-2", "x" * 70000, "Architecture"]])
p = drawkit("new-sheet", dst, "--from-csv", huge)
expect(p.returncode == 2 and "65536" in p.stderr, "a 70,000-byte cell: exit %d %s" % (p.returncode, p.stderr))
expect(drawkit("prop", dst, "A-101", "Drawn by=@SUM(1)").returncode == 0, "a value starting with @")
exported = drawkit("sheets", dst, "--csv").stdout
row = next(r for r in csv.reader(exported.splitlines()) if r and r[0] == "A-101")
expect("'@SUM(1)" in row and "@SUM(1)" not in row, "the exported cell would run as a formula: %s" % row)
index_path = os.path.join(folder, "round.csv")
with open(index_path, "w", encoding="utf-8", newline="") as f:
    f.write(exported)
p = drawkit("index", dst, "--apply", index_path)
expect(p.returncode == 1 and "changes nothing" in p.stderr, "the exported index read back changes something: %s" % (p.stdout + p.stderr))

# A drawing held by a colleague whose name cannot be told: resave names it and exits 1.
held = os.open(os.path.join(folder, "drawings", "A-102 First Floor Plan.dwg"), os.O_RDWR)
fcntl.lockf(held, fcntl.LOCK_EX | fcntl.LOCK_NB)
p = drawkit("resave", dst)
expect(p.returncode == 1 and "A-102 First Floor Plan.dwg" in p.stdout, "resave with a held drawing: exit %d %s" % (p.returncode, p.stdout[-300:]))
os.close(held)

# ---- 2. a set file that holds one already
folder, dst = project("from-disk")
with open(dst, encoding="utf-8") as f:
    text = f.read()
expect('title="Ground Floor Plan"' in text, "the example's title is in the set file")
with open(dst, "w", encoding="utf-8") as f:
    f.write(text.replace('title="Ground Floor Plan"', 'title="Ground&#10;Floor Plan"', 1))
p = drawkit("sheets", dst)
expect(p.returncode == 0, "a set holding a line break does not open: %s" % p.stderr)
p = drawkit("check", dst)
expect("control-character" in p.stdout and "title" in p.stdout, "check does not name the value: %s" % p.stdout)
p = drawkit("update-fields", dst)
expect(p.returncode == 0, "update-fields on it: exit %d %s" % (p.returncode, p.stderr))
expect(not unreadable_drawings(folder), "drawings no longer read: %s" % unreadable_drawings(folder))
shown = [a.dxf.text for ins in ezdxf.readfile(os.path.join(folder, "drawings", "A-101 Ground Floor Plan.dwg"))
         .layouts.get("A-101 Ground Floor Plan").query("INSERT") for a in ins.attribs]
expect("Ground Floor Plan" in shown, "the title block shows %s" % shown)

# ---- 3. lock files
folder, dst = project("locks")
dbl = os.path.join(folder, SET_NAME + ".dbl")
victim = os.path.join(WORK, "victim.txt")
with open(victim, "w") as f:
    f.write("keep me\n")
os.chmod(victim, 0o600)
os.symlink(victim, dbl)
p = drawkit("prop", dst, "A-101", "Title=Through a link")
expect(p.returncode == 2 and "not a plain file" in p.stderr, "an edit with a linked .dbl: exit %d %s" % (p.returncode, p.stderr))
expect(open(victim).read() == "keep me\n" and stat.S_IMODE(os.stat(victim).st_mode) == 0o600,
       "the .dbl link's target was written or opened up")
expect(os.path.islink(dbl), "the linked .dbl was removed")
os.unlink(dbl)
os.mkfifo(dbl)
started = time.monotonic()
p = drawkit("check", dst, timeout=20)
expect("lock-not-a-file" in p.stdout, "check with a pipe for a .dbl: %s" % p.stdout)
p = drawkit("prop", dst, "A-101", "Title=Past a pipe", timeout=20)
expect(p.returncode == 2 and "not a plain file" in p.stderr, "an edit with a pipe .dbl: exit %d %s" % (p.returncode, p.stderr))
expect(time.monotonic() - started < 15, "a pipe .dbl held us up")
expect(stat.S_ISFIFO(os.lstat(dbl).st_mode), "the pipe was removed")
os.unlink(dbl)

# Two sets whose paths differ only past 260 characters: holding one does not shut out the other.
deep = os.path.join(WORK, *(["d" * 60] * 4))
os.makedirs(deep)
stem = "S" * (262 - len(deep))
sets = []
for tail in ("A", "B"):
    sub = project("long-" + tail)[0]
    target = os.path.join(deep, stem + tail + ".dst")
    shutil.copyfile(os.path.join(sub, SET_NAME + ".dst"), target)
    sets.append(target)
expect(len(sets[0]) > 260 and sets[0][:260] == sets[1][:260], "the two long paths share 260 characters")
holder = os.open(sets[0][:-4] + ".dbl", os.O_RDWR | os.O_CREAT, 0o644)
fcntl.lockf(holder, fcntl.LOCK_EX | fcntl.LOCK_NB)
os.write(holder, b"[UserInfo]\nUserName=colleague\nMachine=desk\n")
p = drawkit("prop", sets[1], "Client=Other set")
expect(p.returncode == 0, "the second long-named set is locked by the first's lock: %s" % p.stderr)
os.close(holder)

# ---- 4. a set reached through a link
folder, dst = project("linked")
elsewhere = os.path.join(WORK, "elsewhere")
os.makedirs(elsewhere)
link = os.path.join(elsewhere, "Linked.dst")
os.symlink(dst, link)
p = drawkit("prop", link, "A-101", "Title=Through the link")
expect(p.returncode == 0, "an edit through a linked set: exit %d %s" % (p.returncode, p.stderr))
expect(os.path.islink(link), "the set's link was replaced by a file")
expect("Through the link" in open(dst, encoding="utf-8").read(), "the linked set did not get the edit")
expect(os.listdir(elsewhere) == ["Linked.dst"], "lock, backup or journal beside the link: %s" % os.listdir(elsewhere))

finish()
