#!/usr/bin/python3
"""vorn --batch: HELP and ? list the host's commands and the sheet set module's, and say where the
manual is; UNDO and U say that nothing is undone and why, and the script's exit code says the
command did not do what it was asked.

  command_help_test.py VORN MANUAL_DIR WORKDIR
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from support import expect, finish, run  # noqa: E402

VORN, MANUAL, WORK = sys.argv[1:4]
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=WORK, XDG_CONFIG_HOME=os.path.join(WORK, "config"))


def batch(name, lines):
    script = os.path.join(WORK, name)
    with open(script, "w") as f:
        f.write("\n".join(lines) + "\nQUIT\n")
    return run(VORN, "--batch", script, env=env, timeout=120)


listings = {}
for word in ("HELP", "?"):
    r = batch(f"help-{'mark' if word == '?' else 'word'}.scr", [word])
    expect(r.returncode == 0, f"{word}: exit {r.returncode}: {r.stdout[-500:]} {r.stderr[-300:]}")
    out = r.stdout
    lines = out.splitlines()
    # Each command once, on a line of its own, under its owner.
    host_at = out.find("Commands of the host:")
    module_at = out.find("Commands of VORN:")
    expect(0 <= host_at < module_at, f"{word}: no host and module sections in order: {out[:800]}")
    for names, summary in (("OPEN, -OPEN", "Opens a drawing"), ("SETVAR, -SETVAR", "system variable"),
                           ("CLOSE", "Closes the current drawing"), ("APPLOAD, ARX", "Loads a module"),
                           ("HELP, ?", "Lists the commands"), ("UNDO, U", "")):
        line = [l for l in lines if l.strip().startswith(names + " ")]
        expect(len(line) == 1 and summary in line[0] and out.find(line[0]) < module_at,
               f"{word}: host command {names} not listed with '{summary}': {line}")
    for command in ("SHEETSET", "SHEETSETHIDE", "NEWSHEETSET", "OPENSHEETSET", "-OPENSHEETSET"):
        expect(sum(1 for l in lines[len(out[:module_at].splitlines()):] if l.strip() == command) == 1,
               f"{word}: module command {command} not listed once under VORN")
    manual = [l for l in lines if l.startswith("The manual: ")]
    expect(len(manual) == 1 and os.path.samefile(manual[0][len("The manual: "):], os.path.join(MANUAL, "index.html")),
           f"{word}: the manual's place: {manual}")
    listings[word] = out[out.find("Commands of the host:"):]
expect(listings.get("HELP") == listings.get("?"), "HELP and ? list different things")

# Without the module only the host's own commands are listed.
script = os.path.join(WORK, "bare.scr")
with open(script, "w") as f:
    f.write("HELP\nQUIT\n")
r = run(VORN, "--no-module", "--batch", script, env=env, timeout=120)
expect(r.returncode == 0 and "Commands of the host:" in r.stdout and "Commands of VORN:" not in r.stdout
       and "OPENSHEETSET" not in r.stdout, f"HELP without the module: {r.stdout[-600:]}")

for word in ("UNDO", "U"):
    r = batch(f"undo-{word}.scr", [word])
    expect(r.returncode == 1, f"{word}: exit {r.returncode}, expected 1: nothing was undone")
    expect(f"Command: {word}\nNothing to undo: Vorn keeps no undo history.\n" in r.stdout,
           f"{word}: {r.stdout[-600:]}")
    expect("are saved as they are made and cannot be undone here" in r.stdout and "NAME.dst.bak" in r.stdout,
           f"{word} does not say why and what to do: {r.stdout[-600:]}")

finish()
