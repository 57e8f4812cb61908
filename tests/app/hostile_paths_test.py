#!/usr/bin/python3
"""Paths and outputs that would reach past the project or over its files.

1. A copied project whose drawing was deleted: publish skips that sheet (exit 1) and never prints
   the original project's drawing; restamp leaves no path of the original in the set.
2. Outputs: a publish or transmittal onto the set or a drawing is refused and leaves it as it was;
   a publish that writes no page keeps the PDF that was there.
3. A set whose page setups file names /etc/passwd, and a drawing that is a link to it: transmittal
   leaves both out and says so.
4. A renumber pattern with ../ writes nothing outside the project.
5. 20,000 nested subsets: `sheets` and `check` refuse the file with a message within seconds; no
   new subset or move makes a tree deeper than 100 levels.
6. `new-set --from` a folder with a link to its parent and one to a folder outside: each drawing
   is read once, nothing outside is.

  hostile_paths_test.py DRAWKIT MAKE_EXAMPLES WORKDIR
"""
import os
import shutil
import subprocess
import sys
import zipfile

from support import expect, finish, run

DRAWKIT, MAKE_EXAMPLES, WORK = sys.argv[1:4]
SET_NAME = "Riverside Library.dst"
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)


def drawkit(*args, timeout=120):
    return run(DRAWKIT, *args, timeout=timeout)


def project(name):
    folder = os.path.join(WORK, name)
    subprocess.run([MAKE_EXAMPLES, folder], check=True, capture_output=True)
    return folder, os.path.join(folder, SET_NAME)


# ---- 1. a copied project
original, _ = project("original")
copy = os.path.join(WORK, "copy")
shutil.copytree(original, copy, symlinks=True)
copy_set = os.path.join(copy, SET_NAME)
os.remove(os.path.join(copy, "drawings", "A-101 Ground Floor Plan.dwg"))
p = drawkit("publish", copy_set, os.path.join(WORK, "copy.pdf"))
expect(p.returncode == 1, "publish of the copy with a drawing missing: exit %d" % p.returncode)
expect(original not in p.stdout, "the copy's publish reached the original: %s" %
       [line for line in p.stdout.splitlines() if original in line][:3])
expect("skipped  A-101 - Ground Floor Plan" in p.stdout, "A-101 is not named skipped: %s" % p.stdout[-400:])
drawkit("restamp", copy_set)
expect(original not in open(copy_set, encoding="utf-8").read(), "restamp left the original's paths in the copy's set")

# ---- 2. outputs
folder, dst = project("outputs")
drawing = os.path.join(folder, "drawings", "A-101 Ground Floor Plan.dwg")
before = {f: open(f, "rb").read() for f in (dst, drawing)}
for verb, out in (("publish", dst), ("publish", drawing), ("transmit", dst), ("transmit", drawing)):
    p = drawkit(verb, dst, out)
    expect(p.returncode == 2 and "choose another name" in p.stdout + p.stderr,
           "%s onto %s: exit %d %s" % (verb, os.path.basename(out), p.returncode, (p.stdout + p.stderr)[-300:]))
expect(all(open(f, "rb").read() == b for f, b in before.items()), "an input was overwritten by an output")
pdf = os.path.join(WORK, "kept.pdf")
expect(drawkit("publish", dst, pdf).returncode == 0, "a plain publish")
kept = open(pdf, "rb").read()
shutil.move(os.path.join(folder, "drawings"), os.path.join(folder, "gone"))
p = drawkit("publish", dst, pdf)
expect(p.returncode != 0 and open(pdf, "rb").read() == kept, "a publish of no page replaced the PDF (exit %d)" % p.returncode)
expect(not [n for n in os.listdir(WORK) if n.endswith(".part")], "a temporary output was left")

# ---- 3. transmittal of what is not a drawing
folder, dst = project("passwd")
text = open(dst, encoding="utf-8").read()
start = text.index('role="PageSetupOverrides"')
tag_end = text.index("/>", start)
tag = text[start:tag_end]
path_at = tag.index('path="')
old_path = tag[path_at + 6:tag.index('"', path_at + 6)]
text = text.replace(old_path, "/etc/passwd").replace('relative="templates/Vorn Page Setups.dwt"', 'relative="../../../etc/passwd"')
open(dst, "w", encoding="utf-8").write(text)
os.symlink("/etc/passwd", os.path.join(folder, "drawings", "Z-999 Link.dwg"))
p = drawkit("import", dst, os.path.join(folder, "drawings", "Z-999 Link.dwg"), "--subset", "Landscape")
package = os.path.join(WORK, "package.zip")
p = drawkit("transmit", dst, package)
names = zipfile.ZipFile(package).namelist() if os.path.exists(package) else []
expect(not [n for n in names if "passwd" in n or "Z-999" in n], "the package carries %s" % names)
expect("passwd" in p.stdout + p.stderr and "not a drawing" in p.stdout + p.stderr,
       "transmit does not say what it left out: %s" % (p.stdout + p.stderr)[-300:])
expect("root:" not in p.stdout + p.stderr, "transmit quotes the file it left out: %s" % (p.stdout + p.stderr)[-300:])

# ---- 4. a pattern that climbs out
folder, dst = project("pattern")
p = drawkit("renumber", dst, "Architecture", "--pattern", "../../X-#", "--rename-files")
expect(p.returncode == 1, "a ../ pattern: exit %d %s" % (p.returncode, p.stderr))
expect(not [n for n in os.listdir(WORK) if n.startswith("X-")], "a ../ pattern wrote outside the project")

# ---- 5. 20,000 nested subsets
folder, dst = project("deep")
text = open(dst, encoding="utf-8").read()
marker = "</SheetSet>"
deep = "".join('<Subset id="%d" name="S%d">' % (900000 + i, i) for i in range(20000)) + "</Subset>" * 20000
open(dst, "w", encoding="utf-8").write(text.replace(marker, deep + marker, 1))
for verb in ("sheets", "check"):
    p = drawkit(verb, dst, timeout=60)
    expect(p.returncode in (1, 2) and "nested deeper" in p.stderr + p.stdout,
           "%s of 20,000 nested subsets: exit %d %s" % (verb, p.returncode, (p.stderr + p.stdout)[-300:]))

# Nor can new-subset or move build a tree deeper than a file may hold.
folder, dst = project("deep-edits")
chain_a = "/".join("A%d" % i for i in range(60))
chain_b = "/".join("B%d" % i for i in range(60))
expect(drawkit("new-subset", dst, chain_a).returncode == 0 and drawkit("new-subset", dst, chain_b).returncode == 0, "two 60-level chains")
p = drawkit("move", dst, "B0", "--to", chain_a)
expect(p.returncode == 1 and "at most 100" in p.stderr, "a move making 120 levels: exit %d %s" % (p.returncode, p.stderr))
p = drawkit("new-subset", dst, chain_a + "/" + "/".join("C%d" % i for i in range(45)))
expect(p.returncode == 1 and "at most 100" in p.stderr, "a new subset 105 levels deep: exit %d %s" % (p.returncode, p.stderr))
expect(drawkit("sheets", dst).returncode == 0, "the set still reads")

# ---- 6. a folder scan with link loops
folder, _ = project("scan")
src = os.path.join(WORK, "scan-src")
os.makedirs(os.path.join(src, "sub"))
shutil.copyfile(os.path.join(folder, "drawings", "L-100 Landscape.dwg"), os.path.join(src, "sub", "L-100 Landscape.dwg"))
os.symlink("..", os.path.join(src, "sub", "loop"))
os.symlink(os.path.join(folder, "drawings"), os.path.join(src, "outside"))
p = drawkit("new-set", os.path.join(WORK, "scanned.dst"), "--from", src, "--subsets-by-folder", timeout=60)
expect(p.returncode == 0, "new-set over link loops: exit %d %s" % (p.returncode, p.stderr))
expect("from 1 drawings read" in p.stdout, "new-set read more than the one drawing: %s" % p.stdout[-300:])

finish()
