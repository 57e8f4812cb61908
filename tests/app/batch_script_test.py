#!/usr/bin/python3
"""vorn --batch: a script opens a drawing, sets variables and runs -OPENSHEETSET with a wrong,
then an empty, then a right name; the transcript on standard output is compared line by line,
and a failing command makes the exit code non-zero.

  batch_script_test.py VORN EXAMPLE_DRAWING WORKDIR
"""
import os
import re
import shutil
import subprocess
import sys

VORN, DRAWING, WORK = sys.argv[1:4]
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
drawing = os.path.join(WORK, "Ground Floor.dwg")
shutil.copy(DRAWING, drawing)
with open(os.path.join(WORK, "Riverside.dst"), "w", encoding="utf-8") as f:
    f.write('<?xml version="1.0" encoding="UTF-8"?>\n<VornSheetSet format="1">\n'
            '  <SheetSet id="1" name="Riverside Library" />\n</VornSheetSet>\n')
script = os.path.join(WORK, "open.scr")
with open(script, "w", encoding="utf-8") as f:
    f.write(f'OPEN "{drawing}"\nSETVAR SSLOCATE 0\nGETVAR SSFOUND\nSETVAR SSMPOLLTIME 15\nGETVAR SSMPOLLTIME\n'
            f'GETVAR SSMSTATE\n-OPENSHEETSET\n{WORK}/Nowhere\n\n{WORK}/Riverside\nGETVAR SSMSTATE\nQUIT\n')

env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=WORK, XDG_CONFIG_HOME=os.path.join(WORK, "config"))
p = subprocess.run([VORN, "--batch", script], capture_output=True, text=True, env=env, timeout=120)
expected = f"""
Command: OPEN
Enter name of drawing to open: {drawing}
Command: SETVAR
Enter variable name: SSLOCATE
Enter new value for SSLOCATE <1>: 0
Command: GETVAR
Enter variable name: SSFOUND
SSFOUND = ""
Command: SETVAR
Enter variable name: SSMPOLLTIME
Enter new value for SSMPOLLTIME <60>: 15
Command: GETVAR
Enter variable name: SSMPOLLTIME
SSMPOLLTIME = "15"
Command: GETVAR
Enter variable name: SSMSTATE
SSMSTATE = "0"
Command: -OPENSHEETSET
Enter name of sheet set to open: {WORK}/Nowhere
** Vorn: Cannot find the specified file.
Please verify that the file exists. **
Sheet Set file is not valid.
Enter name of sheet set to open: 
** Vorn: Cannot find the specified file.
Please verify that the file exists. **
Sheet Set file is not valid.
Enter name of sheet set to open: {WORK}/Riverside
Command: GETVAR
Enter variable name: SSMSTATE
SSMSTATE = "1"
"""
failures = []
got = p.stdout.splitlines()
want = expected.splitlines()
for i, (g, w) in enumerate(zip(got, want)):
    if g != w:
        failures.append("line %d: got %r, expected %r" % (i + 1, g, w))
if len(got) != len(want):
    failures.append("%d lines, expected %d" % (len(got), len(want)))
if p.returncode != 0:
    failures.append("exit code %d for a script whose commands all succeed" % p.returncode)

# A command that fails (an unknown command, a drawing that is not there) makes the exit non-zero.
bad = os.path.join(WORK, "bad.scr")
with open(bad, "w") as f:
    f.write(f"NOSUCHCOMMAND\nOPEN {WORK}/missing.dwg\n")
p2 = subprocess.run([VORN, "--batch", bad], capture_output=True, text=True, env=env, timeout=120)
if p2.returncode == 0:
    failures.append("a failing script exited 0")
if 'Unknown command "NOSUCHCOMMAND".' not in p2.stdout:
    failures.append("no message for the unknown command: %r" % p2.stdout)

# Files on vorn's command line: a set opens in the palette before the script runs; a missing one
# is said on standard error and does not eat the script's lines as names to try.
listing = os.path.join(WORK, "listing.scr")
with open(listing, "w") as f:
    f.write("GETVAR SSMSTATE\nQUIT\n")
p3 = subprocess.run([VORN, "--batch", listing, os.path.join(WORK, "Gone.dst"), os.path.join(WORK, "Riverside.dst")],
                    capture_output=True, text=True, env=env, timeout=120)
if "cannot open" not in p3.stderr or "Gone.dst" not in p3.stderr:
    failures.append("a missing set on the command line is not said: %r" % p3.stderr)
if 'SSMSTATE = "1"' not in p3.stdout or "Gone.dst" in p3.stdout:
    failures.append("the set on the command line did not open first: %r" % p3.stdout)

# A malformed set: the reason under the message, and an exit without a signal.
with open(os.path.join(WORK, "seal.dst"), "w") as f:
    f.write('<VornSheetSet format="1"><SheetSet id="1" name="x"><Properties id="2"><Property id="3" name="Seal" '
            'type="binary" flags="1" value="ZZ" /></Properties></SheetSet></VornSheetSet>\n')
malformed = os.path.join(WORK, "malformed.scr")
with open(malformed, "w") as f:
    f.write(f"-OPENSHEETSET\n{WORK}/seal\nQUIT\n")
p4 = subprocess.run([VORN, "--batch", malformed], capture_output=True, text=True, env=env, timeout=120)
if p4.returncode < 0 or "not hexadecimal" not in p4.stdout:
    failures.append("malformed set: exit %d, output %r" % (p4.returncode, p4.stdout))

# A system variable's name typed as a command: its value, and a prompt for a new one when it may
# be set, as CAD users expect.
names = os.path.join(WORK, "names.scr")
with open(names, "w") as f:
    f.write("SSMPOLLTIME\n45\nGETVAR SSMPOLLTIME\nssmstate\nQUIT\n")
p3 = subprocess.run([VORN, "--batch", names], capture_output=True, text=True, env=env, timeout=120)
for want in ("Enter new value for SSMPOLLTIME <", 'SSMPOLLTIME = "45"', "SSMSTATE = [01] \\(read only\\)"):
    if not re.search(want, p3.stdout):
        failures.append("variable at the prompt: %r not in %r" % (want, p3.stdout))
if "Unknown command" in p3.stdout or p3.returncode != 0:
    failures.append("a variable's name is not an unknown command: %r" % p3.stdout)

# Every host command under each of its names, with what it says when it cannot do its job: a
# name dropped or a message changed shows up here. The failing ones make the exit code 1.
hosted = os.path.join(WORK, "Host Commands.dwg")
shutil.copy(DRAWING, hosted)
commands = os.path.join(WORK, "commands.scr")
with open(commands, "w") as f:
    f.write(f"""-SETVAR SSMPOLLTIME 20
SETVAR NOSUCHVAR
GETVAR NOSUCHVAR
-OPEN "{hosted}"
LAYOUT S A-101R Ground Floor Plan (A3)
-LAYOUT ?
-LAYOUT S No Such Layout
QSAVE
SAVE
CLEANSCREENON
GETVAR CLEANSCREENSTATE
CLEANSCREENOFF
GETVAR CLEANSCREENSTATE
PALETTEOPEN No such item
PALETTESELECT No such item
-PUBLISH {WORK}/out.pdf

CLOSE
LAYOUT ?
QSAVE
ARX {WORK}/nomodule.vrx
APPLOAD {WORK}/nomodule.vrx
APPUNLOAD nomodule
PALETTES
QUIT
""")
env2 = dict(env, XDG_CONFIG_HOME=os.path.join(WORK, "config-commands"))
p5 = subprocess.run([VORN, "--batch", commands], capture_output=True, text=True, env=env2, timeout=120)
expected_commands = f"""
Command: -SETVAR
Enter variable name: SSMPOLLTIME
Enter new value for SSMPOLLTIME <60>: 20
Command: SETVAR
Enter variable name: NOSUCHVAR
Unknown variable name.
Command: GETVAR
Enter variable name: NOSUCHVAR
Unknown variable name.
Command: -OPEN
Enter name of drawing to open: {hosted}
Command: LAYOUT
Enter layout option [?/Set] <Set>: S
Enter layout to make current: A-101R Ground Floor Plan (A3)
Command: -LAYOUT
Enter layout option [?/Set] <Set>: ?
  Model  420 x 297 mm  not initialized
  A-101 Ground Floor Plan  841 x 594 mm  initialized
  A-101R Ground Floor Plan (A3) (current)  420 x 297 mm  initialized
Command: -LAYOUT
Enter layout option [?/Set] <Set>: S
Enter layout to make current: No Such Layout
No layout "No Such Layout".
Command: QSAVE
Command: SAVE
Command: CLEANSCREENON
Command: GETVAR
Enter variable name: CLEANSCREENSTATE
CLEANSCREENSTATE = "1"
Command: CLEANSCREENOFF
Command: GETVAR
Enter variable name: CLEANSCREENSTATE
CLEANSCREENSTATE = "0"
Command: PALETTEOPEN
Item to open: No such item
No palette shows "No such item".
Command: PALETTESELECT
Item to select: No such item
No palette shows "No such item".
Command: -PUBLISH
Enter PDF file to publish to: {WORK}/out.pdf
Enter subset or sheet to publish <whole set>: 
{WORK}/out.pdf: nothing to publish: open a sheet set first.
Command: CLOSE
Command: LAYOUT
No drawing is open.
Command: QSAVE
Command: ARX
Enter module file to load: {WORK}/nomodule.vrx
cannot find the module {WORK}/nomodule.vrx
Command: APPLOAD
Enter module file to load: {WORK}/nomodule.vrx
cannot find the module {WORK}/nomodule.vrx
Command: APPUNLOAD
Enter module to unload: nomodule
That module is not loaded.
Command: PALETTES
Palette "Sheet Set Manager" (hidden)
"""
got5, want5 = p5.stdout.splitlines(), expected_commands.splitlines()
for i, (g, w) in enumerate(zip(got5, want5)):
    if g != w:
        failures.append("host commands, line %d: got %r, expected %r" % (i + 1, g, w))
if len(got5) != len(want5):
    failures.append("host commands: %d lines, expected %d: %r" % (len(got5), len(want5), p5.stdout))
if p5.returncode != 1:
    failures.append("host commands: exit code %d, expected 1 for the commands that failed" % p5.returncode)
import ezdxf  # the independent reader: the saved drawing has the layout the script made current
active = ezdxf.readfile(hosted).layouts.active_layout().name
if active != "A-101R Ground Floor Plan (A3)":
    failures.append("QSAVE did not write the layout made current: %r" % active)

if failures:
    print("\n".join(failures))
    print("--- output was:\n" + p.stdout + "\n--- stderr:\n" + p.stderr)
    sys.exit(1)
print("batch transcript as expected")
