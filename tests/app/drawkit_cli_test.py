#!/usr/bin/python3
"""drawkit as scripts and people call it: every verb answers --help and `drawkit help VERB` on
standard output with exit 0; a mistyped verb is named with its likely meaning; and the exit codes
agree across verbs (2 for a usage error or input that cannot be read, 3 while a colleague holds
the set), with the fault on standard error and nothing on standard output.

  drawkit_cli_test.py DRAWKIT MAKE_EXAMPLES WORKDIR
"""
import fcntl
import os
import shutil
import struct
import sys

from support import expect, finish, run

DRAWKIT, MAKE_EXAMPLES, WORK = sys.argv[1:4]
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
env.pop("XDG_RUNTIME_DIR", None)  # as under cron: Qt must not complain on the terminal


def drawkit(*args):
    return run(DRAWKIT, *args, env=env, cwd=WORK)


run(MAKE_EXAMPLES, WORK, env=env)
SET = os.path.join(WORK, "Riverside Library.dst")
DRAWING = os.path.join(WORK, "drawings", "A-101 Ground Floor Plan.dwg")
with open(os.path.join(WORK, "index.csv"), "w") as f:
    f.write(drawkit("sheets", SET, "--csv").stdout)

# Each verb with arguments it accepts; the first one names what it reads.
VERBS = {
    "info": [DRAWING], "audit": [DRAWING], "roundtrip": [DRAWING, "out.dxf"], "objects": [DRAWING],
    "thumb": [DRAWING, "out.png"], "edit": [DRAWING, "out.dxf", "--current", "Model"],
    "sheets": [SET], "check": [SET, "--repair"], "new-set": ["New.dst", "--from", "drawings"],
    "new-subset": [SET, "General/Extra"], "move": [SET, "A-201", "--to", "General"], "prop": [SET, "Status=draft"],
    "restamp": [SET], "new-sheet": [SET, "--subset", "General", "--number", "G-900", "--title", "Notes"],
    "import": [SET, DRAWING, "--subset", "General"], "remove": [SET, "A-104"], "publish": [SET, "out.pdf"],
    "transmit": [SET, "out.zip"], "update-fields": [SET], "resave": [SET],
    "renumber": [SET, "Architecture/Elevations", "--pattern", "A-2##", "--dry-run"],
    "rename": [SET, "A-101", "--title", "Ground Floor"], "sheet-list": [SET, "G-002"],
    "index": [SET, "--apply", "index.csv", "--dry-run"], "selection": [SET, "add", "For client", "A-101"],
}
# Publishing and packing read the set as its last save left it (saves replace it whole), so they
# run beside a colleague's edit; every other verb on a set changes it.
SET_EDITS = [v for v, a in VERBS.items() if a[0] == SET and v not in ("sheets", "publish", "transmit")]

listing = drawkit("help")
expect(listing.returncode == 0 and not listing.stderr, "drawkit help: %d %s" % (listing.returncode, listing.stderr))
listed = [line.split()[0] for line in listing.stdout.splitlines() if line.startswith("  ") and line.split()[0].islower()
          and not line.split()[0].startswith("drawkit")]
expect(sorted(listed) == sorted(VERBS), "drawkit help lists the verbs: %s" % listed)

for verb, args in VERBS.items():
    for call in ([verb, "--help"], [verb, "-h"], ["help", verb], [verb] + args[:1] + ["--help"]):
        p = drawkit(*call)
        expect(p.returncode == 0 and p.stdout.startswith("usage: drawkit %s " % verb) and "example:" in p.stdout
               and "exit status:" in p.stdout and not p.stderr, "%s: %d %r %r" % (call, p.returncode, p.stdout[:60], p.stderr))
    # An option the verb lacks, wherever it stands.
    p = drawkit(verb, *args, "--frobnicate")
    expect(p.returncode == 2 and "--frobnicate" in p.stderr and "usage: drawkit %s" % verb in p.stderr and not p.stdout,
           "%s with an unknown option: %d %r %r" % (verb, p.returncode, p.stdout[:80], p.stderr))
    # Nothing to work on.
    p = drawkit(verb)
    expect(p.returncode == 2 and "usage: drawkit %s" % verb in p.stderr and not p.stdout,
           "%s without arguments: %d %r" % (verb, p.returncode, p.stderr))
    # What it reads is not there.
    missing = "missing.dst" if args[0] == SET else "missing.dwg"
    if verb == "new-set":
        call = ["New.dst", "--from", "missing"]
        missing = "missing"
    else:
        call = [missing] + args[1:]
    p = drawkit(verb, *call)
    expect(p.returncode == 2 and missing in p.stderr and not p.stdout,
           "%s on a missing file: %d %r %r" % (verb, p.returncode, p.stdout[:80], p.stderr))
    expect("XDG_RUNTIME_DIR" not in p.stderr, "%s: Qt's warning reaches the terminal" % verb)

# Mistyped verbs and options before any verb.
for typed, meant in (("pubish", "publish"), ("chek", "check"), ("renumbr", "renumber"), ("sheet", "sheets")):
    p = drawkit(typed, SET)
    expect(p.returncode == 2 and "unknown verb '%s'; did you mean '%s'?" % (typed, meant) in p.stderr and not p.stdout,
           "%s: %d %r" % (typed, p.returncode, p.stderr))
p = drawkit("frobnicate", SET)
expect(p.returncode == 2 and "unknown verb 'frobnicate'" in p.stderr and "did you mean" not in p.stderr, "no close verb: %r" % p.stderr)
p = drawkit("--frobnicate")
expect(p.returncode == 2 and "--frobnicate" in p.stderr, "an unknown option as the verb: %r" % p.stderr)
p = drawkit()
expect(p.returncode == 2 and "usage: drawkit VERB" in p.stderr and not p.stdout, "no verb at all: %d" % p.returncode)
p = drawkit("move", SET, "A-201", "--to")
expect(p.returncode == 2 and "--to needs a value" in p.stderr, "an option without its value: %r" % p.stderr)

# Choices are listed where the value is not one of them.
p = drawkit("publish", SET, "out.pdf", "--page-setup", "Nope")
expect(p.returncode == 1 and "Nope" in p.stderr and "PDF A1 (1:1)" in p.stderr, "an unknown page setup: %r" % p.stderr)
p = drawkit("publish", SET, "out.pdf", "--style", "sepia")
expect(p.returncode == 2 and "monochrome" in p.stderr and "grayscale" in p.stderr, "an unknown style: %r" % p.stderr)

# A colleague holds the set: every verb that changes it exits 3 and names the holder; a publish
# goes ahead.
F_OFD_SETLK = 37  # Linux
fd = os.open(os.path.join(WORK, "Riverside Library.dbl"), os.O_RDWR | os.O_CREAT, 0o666)
fcntl.fcntl(fd, F_OFD_SETLK, struct.pack("hhqqi", fcntl.F_WRLCK, 0, 0, 0, 0))
os.write(fd, b"[UserInfo]\nUserName=mchen\nMachine=cad-07\nSince=2026-12-01 08:15:00\n")
for verb in SET_EDITS:
    p = drawkit(verb, *VERBS[verb])
    expect(p.returncode == 3 and "mchen on cad-07" in p.stderr, "%s on a held set: %d %r" % (verb, p.returncode, p.stderr))
p = drawkit(*["publish"] + VERBS["publish"])
expect(p.returncode == 0 and not p.stderr, "publishing beside a colleague's edit: %d %r" % (p.returncode, p.stderr))
os.close(fd)
os.unlink(os.path.join(WORK, "Riverside Library.dbl"))

# Once free, each runs; the read-only ones say nothing on standard error.
for verb in ("sheets", "check", "info", "objects"):
    p = drawkit(verb, *VERBS[verb][:1])
    expect(p.returncode in (0, 1) and p.stdout and not p.stderr, "%s: %d %r" % (verb, p.returncode, p.stderr))
finish()
