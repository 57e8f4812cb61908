#!/usr/bin/python3
"""An installed vorn works without its build tree: install into a temporary prefix, move the build
tree away, and run the installed programs from another folder: vorn --batch opens a copy of the
installed example project (a drawing, then the set given on the command line), drawkit checks the
installed set, both tell their version, HELP names the installed manual, and the installed demo
script runs from any folder; no installed example names the build tree; the sheet set and drawing
file types and the desktop entry answer xdg-mime in the test root.

  install_test.py CMAKE BUILD_DIR      (works in a temporary folder outside the build tree)
"""
import gzip
import os
import shutil
import subprocess
import sys
import tempfile

CMAKE, BUILD = sys.argv[1:3]
BUILD = os.path.abspath(BUILD)
WORK = tempfile.mkdtemp(prefix="vorn-install-test-")
PREFIX = os.path.join(WORK, "prefix")
failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)


subprocess.run([CMAKE, "--install", BUILD, "--prefix", PREFIX], check=True, capture_output=True)
share = os.path.join(PREFIX, "share")
# The module sits in the private library folder (lib/vorn, or lib/ARCH/vorn on Debian).
expect(any("sheetset.vrx" in names for _, _, names in os.walk(os.path.join(PREFIX, "lib"))), "the module is not installed")
for part in ["bin/vorn", "bin/drawkit", "share/vorn/res/sheetsetres.en.txt",
             "share/vorn/examples/Riverside Library.dst", "share/applications/vorn.desktop",
             "share/mime/packages/vorn-sheetset.xml", "share/icons/hicolor/scalable/apps/vorn.svg",
             "share/icons/hicolor/48x48/apps/vorn.png", "share/man/man1/vorn.1.gz",
             "share/man/man1/drawkit.1.gz", "share/bash-completion/completions/drawkit",
             "share/vorn/manual/index.html", "share/vorn/manual/dialogs.html", "share/vorn/manual/manual.css"]:
    expect(os.path.isfile(os.path.join(PREFIX, part)), f"not installed: {part}")
examples = os.path.join(share, "vorn", "examples", "Sheet Set Examples")
expect(len([f for f in os.listdir(examples) if f.endswith(".dst")]) >= 3, "fewer than three example sheet sets installed")
# Every drawkit verb is in its manual page and its completion.
verbs = ["info", "audit", "roundtrip", "objects", "thumb", "edit", "sheets", "check", "new-set", "new-subset",
         "move", "prop", "restamp", "new-sheet", "import", "remove", "publish", "transmit", "update-fields",
         "resave", "renumber", "rename", "index", "selection"]
page = gzip.open(os.path.join(share, "man", "man1", "drawkit.1.gz"), "rt").read().replace("\\-", "-")
completion = open(os.path.join(share, "bash-completion", "completions", "drawkit")).read()
for v in verbs:
    expect(f"\\fB{v}\\fR" in page, f"drawkit.1 does not describe {v}")
    expect(f" {v} " in completion or f" {v}\n" in completion or f"{v})" in completion or f"|{v}" in completion,
           f"completion does not know {v}")

# The installed examples name where they are installed, never the build tree they were made in.
for folder, _, names in os.walk(os.path.join(share, "vorn", "examples")):
    for name in names:
        with open(os.path.join(folder, name), "rb") as f:
            expect(BUILD.encode() not in f.read(), f"{name} names the build tree")

# A user's copy of the installed example project, somewhere else.
project = os.path.join(WORK, "project")
shutil.copytree(os.path.join(share, "vorn", "examples"), project)
script = os.path.join(WORK, "open.scr")
with open(script, "w") as f:
    f.write(f'OPEN "{project}/drawings/A-101 Ground Floor Plan.dwg"\nGETVAR SSFOUND\nPALETTES\nQUIT\n')
setScript = os.path.join(WORK, "set.scr")
with open(setScript, "w") as f:
    f.write("PALETTES\nQUIT\n")
helpScript = os.path.join(WORK, "help.scr")
with open(helpScript, "w") as f:
    f.write("HELP\nQUIT\n")

env = {k: v for k, v in os.environ.items() if not k.startswith("VORN_")}
env.pop("LD_LIBRARY_PATH", None)
moved = BUILD + ".moved-away"
os.rename(BUILD, moved)
try:
    run = lambda *args: subprocess.run(list(args), capture_output=True, text=True, cwd=WORK, env=env, timeout=120)
    vorn, drawkit = os.path.join(PREFIX, "bin", "vorn"), os.path.join(PREFIX, "bin", "drawkit")
    r = run(vorn, "--batch", script)
    expect(r.returncode == 0, f"installed vorn --batch: exit {r.returncode}: {r.stdout[-400:]} {r.stderr[-400:]}")
    expect(f'SSFOUND = "{project}/Riverside Library.dst"' in r.stdout, f"the stamped drawing did not find its set: {r.stdout[-600:]}")
    expect("A-102 - First Floor Plan" in r.stdout, "the palette does not show the example set")
    expect("Cannot load" not in r.stdout and "cannot" not in r.stderr.lower(), f"module or catalog not found: {r.stdout[:300]} {r.stderr[:300]}")
    # A sheet set on the command line opens in the palette, as a file manager's double-click does.
    r = run(vorn, "--batch", setScript, os.path.join(project, "Riverside Library.dst"))
    expect(r.returncode == 0 and "Riverside Library" in r.stdout and "G-001 - Cover Sheet" in r.stdout,
           f"vorn SET.dst does not show the set: {r.stdout[-600:]} {r.stderr[-300:]}")
    r = run(drawkit, "check", os.path.join(share, "vorn", "examples", "Riverside Library.dst"))
    expect(r.returncode == 0 and "38 sheets, 0 problems" in r.stdout, f"drawkit check on the installed set: {r.returncode} {r.stdout} {r.stderr}")
    expect(run(vorn, "--version").stdout.startswith("vorn "), "vorn --version")
    # Help finds the manual installed beside the program, not the source tree's.
    r = run(vorn, "--batch", helpScript)
    expect(f"The manual: {share}/vorn/manual/index.html" in r.stdout, f"HELP does not name the installed manual: {r.stdout[-300:]}")
    expect(run(drawkit, "--version").stdout.startswith("drawkit "), "drawkit --version")
    # The installed demo, from this unrelated folder: it opens the installed project by its paths.
    r = run(vorn, "--batch", os.path.join(share, "vorn", "examples", "demo.scr"))
    installed_set = os.path.join(share, "vorn", "examples", "Riverside Library.dst")
    expect(r.returncode == 0 and f'SSFOUND = "{installed_set}"' in r.stdout and "A-102 - First Floor Plan" in r.stdout,
           f"the installed demo script: exit {r.returncode}: {r.stdout[-500:]} {r.stderr[-300:]}")
finally:
    os.rename(moved, BUILD)

# The file type and the desktop entry, in the test root's databases.
tools = [shutil.which(t) for t in ("update-mime-database", "update-desktop-database", "xdg-mime")]
if all(tools):
    subprocess.run(["update-mime-database", os.path.join(share, "mime")], check=True, capture_output=True)
    subprocess.run(["update-desktop-database", os.path.join(share, "applications")], check=True, capture_output=True)
    xenv = dict(env, XDG_DATA_DIRS=share + ":/usr/share", XDG_DATA_HOME=os.path.join(WORK, "home"),
                XDG_CONFIG_HOME=os.path.join(WORK, "config"), XDG_CURRENT_DESKTOP="")
    bare = os.path.join(WORK, "sheet-set-without-extension")
    shutil.copy(os.path.join(project, "Riverside Library.dst"), bare)
    for path in (os.path.join(project, "Riverside Library.dst"), bare):
        r = subprocess.run(["xdg-mime", "query", "filetype", path], capture_output=True, text=True, env=xenv)
        expect(r.stdout.strip() == "application/x-vorn-sheetset", f"xdg-mime filetype of {os.path.basename(path)}: {r.stdout!r} {r.stderr!r}")
    # Sheet sets and the drawings vorn opens (DXF whatever the extension) go to vorn.
    for kind in ("application/x-vorn-sheetset", "image/vnd.dxf", "image/vnd.dwg", "application/x-vorn-drawing-template"):
        r = subprocess.run(["xdg-mime", "query", "default", kind], capture_output=True, text=True, env=xenv)
        expect(r.stdout.strip() == "vorn.desktop", f"xdg-mime default for {kind}: {r.stdout!r} {r.stderr!r}")
    template = os.path.join(project, "templates", "Vorn Sheet.dwt")
    r = subprocess.run(["xdg-mime", "query", "filetype", template], capture_output=True, text=True, env=xenv)
    expect(r.stdout.strip() == "application/x-vorn-drawing-template", f"xdg-mime filetype of a template: {r.stdout!r}")
else:
    failures.append("xdg-utils, shared-mime-info or desktop-file-utils missing: ./setup installs them")

for f in failures:
    print("FAIL:", f)
print(f"{len(failures)} failures")
if not failures:
    shutil.rmtree(WORK, ignore_errors=True)
sys.exit(1 if failures else 0)
