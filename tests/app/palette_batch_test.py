#!/usr/bin/python3
"""vorn --batch with the palette: a stamped drawing opened with SSMAUTOOPEN 0 leaves the palette
alone; -OPENSHEETSET shows the example set as a tree; hiding, showing and clean-screen mode are
seen in SSMSTATE; SSFOUND names the stamped set.

  palette_batch_test.py VORN EXAMPLES_DIR WORKDIR
"""
import os
import shutil
import subprocess
import sys

VORN, EXAMPLES, WORK = sys.argv[1:4]
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
drawing = os.path.join(EXAMPLES, "drawings", "A-101 Ground Floor Plan.dwg")
dst = os.path.join(EXAMPLES, "Riverside Library.dst")
script = os.path.join(WORK, "palette.scr")
with open(script, "w", encoding="utf-8") as f:
    f.write(f"""SETVAR SSMAUTOOPEN 0
OPEN "{drawing}"
PALETTES
-OPENSHEETSET
{os.path.join(EXAMPLES, "Riverside Library")}
PALETTESELECT "A-302 - Section B-B"
PALETTES
GETVAR SSMSTATE
SHEETSETHIDE
GETVAR SSMSTATE
SHEETSETHIDE
SHEETSET
GETVAR SSMSTATE
CLEANSCREENON
GETVAR SSMSTATE
CLEANSCREENOFF
GETVAR SSMSTATE
SETVAR SSLOCATE 1
GETVAR SSFOUND
QUIT
""")
env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=WORK, XDG_CONFIG_HOME=os.path.join(WORK, "config"))
p = subprocess.run([VORN, "--batch", script], capture_output=True, text=True, env=env, timeout=120)
out = p.stdout
failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)


expect(p.returncode == 0, "exit code %d" % p.returncode)
expect("This plugin does not support" not in p.stdout + p.stderr, "platform notes in the batch output: %r" % p.stderr)
palettes = out.split("Command: PALETTES\n")
expect(len(palettes) == 3, "two PALETTES listings")
first = palettes[1].split("Command:")[0]
expect('Palette "Sheet Set Manager" (hidden)' in first and "Riverside" not in first,
       "with SSMAUTOOPEN 0 the stamped drawing left the palette alone: %r" % first)
tree = palettes[2].split("Command:")[0].splitlines()
expect('Palette "Sheet Set Manager" (shown)' in tree[0], "opening the set shows the palette: %r" % tree[0])
expect(tree[1] == "  - Riverside Library", "the set is the expanded root: %r" % tree[1])
# Three levels of subsets, in model order; the selected sheet's subsets were opened to show it.
want = ["    - Architecture", "      + Plans", "        + Full size (A1)", "      - Sections",
        "          A-302 - Section B-B  [selected]"]
pos = [tree.index(w) if w in tree else -1 for w in want]
expect(all(i >= 0 for i in pos) and pos == sorted(pos), "tree lines in order: %r" % list(zip(want, pos)))
expect(sum("[selected]" in line for line in tree) == 1, "one item selected")
states = [line for line in out.splitlines() if line.startswith("SSMSTATE = ")]
expect(states == ['SSMSTATE = "1"', 'SSMSTATE = "0"', 'SSMSTATE = "1"', 'SSMSTATE = "0"', 'SSMSTATE = "1"'],
       "SSMSTATE through hide, show and clean-screen: %r" % states)
expect('SSFOUND = "%s"' % os.path.abspath(dst) in out, "SSFOUND names the example set")

if failures:
    print("\n".join(failures))
    print("--- output was:\n" + out)
    sys.exit(1)
print("palette batch: ok")
