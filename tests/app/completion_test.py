#!/usr/bin/python3
"""drawkit's bash completion (dist/completion/drawkit) on the example project, in a folder whose
name has a space, beside files named with spaces, quotes, $, & and parentheses.

Two ways in. The completion function is called as bash calls it (COMP_LINE, COMP_POINT,
COMP_WORDS, COMP_CWORD, the word and the one before), in `bash --norc`, and what it offers is
read the way readline puts it on the line and the shell then reads it. And a real interactive
bash on a terminal, with the file sourced and nothing else, gets keys typed with a tab in them;
the completed line is run through a function that shows the words the shell made of it. When
the bash-completion package is installed, the terminal checks run once more with it loaded.

What is offered is held against drawkit itself: the verbs and options of its help, the
options each verb accepts, the version codes a roundtrip takes, and the sheets and subsets that
its CSV sheet index lists.

  completion_test.py DRAWKIT MAKE_EXAMPLES WORKDIR
"""
import csv
import io
import os
import pty
import re
import select
import shlex
import shutil
import signal
import subprocess
import sys
import time

from support import expect, finish, run

DRAWKIT, MAKE_EXAMPLES, WORK = sys.argv[1:4]
COMPLETION = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "dist", "completion", "drawkit"))
BASH_COMPLETION = "/usr/share/bash-completion/bash_completion"

shutil.rmtree(WORK, ignore_errors=True)
PROJECT = os.path.join(WORK, "Project Folder")
subprocess.run([MAKE_EXAMPLES, PROJECT], check=True, capture_output=True)
SET = "Riverside Library.dst"
for name in ["A&B (v2).dst", "plain.dst", "notes.txt", "Riverside notes.txt"]:
    open(os.path.join(PROJECT, name), "w").close()
os.mkdir(os.path.join(PROJECT, "Sub Folder"))
BIN = os.path.join(WORK, "bin")
os.mkdir(BIN)
os.symlink(os.path.abspath(DRAWKIT), os.path.join(BIN, "drawkit"))
ENV = dict(os.environ, PATH=BIN + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"), LC_ALL="C.UTF-8", HOME=WORK)
ENV.pop("BASH_ENV", None)


def drawkit(*args, cwd=PROJECT):
    return run(DRAWKIT, *args, cwd=cwd)


# A sheet number with a space and a subset with a quote, $, & and parentheses; an empty subset;
# a sheet without a number (named by its subset and title); sheet properties named like the
# tree's own keys, which must not turn into subsets or sheets.
for args in [("rename", SET, "G-003", "--number", "G 003"),
             ("rename", SET, "L-102", "--number", ""),
             ("new-subset", SET, "Landscape/Owner's $HOME & (draft)"),
             ("new-subset", SET, "Empty One"),
             ("prop", SET, "A-101", "type=subset", "name=Bogus")]:
    p = drawkit(*args)
    if not expect(p.returncode == 0, "drawkit %s: %d %s" % (" ".join(args), p.returncode, p.stderr)):
        finish()
# A copy of the set named with = and :, where bash splits its words for completion.
shutil.copy(os.path.join(PROJECT, SET), os.path.join(PROJECT, "Phase=2:Copy.dst"))

# --- The function called as bash calls it ------------------------------------------------------

BREAKS = "><=;|&(:"  # COMP_WORDBREAKS less the quotes, which begin quoting instead


def bash_view(line):
    """What bash hands a completion function for `line` with the cursor at its end: COMP_WORDS,
    COMP_CWORD, readline's text (the completion function's second argument), the quote it has
    open and the line before that text."""
    words, word, quote, i = [], "", "", 0
    text_start = 0
    while i < len(line):
        c = line[i]
        if quote:
            word += c
            if c == quote:
                quote = ""
            elif c == "\\" and quote == '"' and i + 1 < len(line):
                i += 1
                word += line[i]
        elif c == "\\" and i + 1 < len(line):
            word += line[i:i + 2]
            i += 1
        elif c in "'\"":
            quote = c
            word += c
            text_start = i + 1
        elif c in " \t":
            if word:
                words.append(word)
            word = ""
            text_start = i + 1
        elif c in BREAKS:
            if word:
                words.append(word)
            j = i
            while j + 1 < len(line) and line[j + 1] in BREAKS:
                j += 1
            words.append(line[i:j + 1])
            word = ""
            i = j
            text_start = i + 1
        else:
            word += c
        i += 1
    words.append(word)
    return words, len(words) - 1, line[text_start:], quote, line[:text_start]


DRIVER = r'''
source "$1"
_opts=()
compopt() { local a; for a; do [[ $a == -o ]] || _opts+=("$a"); done; }
COMP_LINE=$2 COMP_POINT=$3 COMP_CWORD=$4
text=$5 prev=$6 before=$7 quote=$8
shift 8
COMP_WORDS=("$@")
_drawkit drawkit "$text" "$prev"
printf '%s\0' "${_opts[*]}" "${#COMPREPLY[@]}" "${COMPREPLY[@]}"
# Each reply where readline puts it, the open quote closed as readline closes it after the one
# match; file names quoted by readline (as %q does), anything else left as it is. Then the
# shell reads the line: the last word is what the command gets.
for r in "${COMPREPLY[@]}"; do
    if [[ " ${_opts[*]} " == *" filenames "* ]]; then
        printf -v r '%q' "$r"
        line=$before$quote$r
    else
        line=$before$r$quote
    fi
    (eval "set -- $line" 2>/dev/null && printf '%s' "${@: -1}")
    printf '\0'
done
'''


def completion(line, cwd=PROJECT, point=None):
    """For `line` with the cursor at its end (or at `point`): the completion's replies, the
    readline options it asked for, and the word the shell reads where readline put each reply."""
    point = len(line) if point is None else point
    words, cword, text, quote, before = bash_view(line[:point])
    words = bash_view(line)[0] if point < len(line) else words
    p = subprocess.run(["bash", "--norc", "--noprofile", "-c", DRIVER, "driver", COMPLETION, line, str(len(line[:point].encode())),
                        str(cword), text, words[cword - 1] if cword else "", before, quote, *words],
                       capture_output=True, text=True, cwd=cwd, env=ENV, timeout=60)
    expect(p.returncode == 0 and not p.stderr, "%r: the completion failed: %d %s" % (line, p.returncode, p.stderr[-400:]))
    out = p.stdout.split("\0")
    if len(out) < 2:
        return [], set(), []
    n = int(out[1])
    return out[2:2 + n], set(out[0].split()), out[2 + n:2 + 2 * n]


def completed(line, cwd=PROJECT, point=None):
    return completion(line, cwd, point)[2]


def only(line, want, cwd=PROJECT, point=None):
    got = completed(line, cwd, point)
    expect(got == [want], "%r: offers %r, not just %r" % (line, got, want))


# The verbs and their options as drawkit's own help gives them: a list of verbs with `drawkit
# help VERB` for each (its options block), or, from drawkit builds before that, a usage line per
# verb. --recover is what every read does now, kept for old scripts: not offered.
def verbs_and_options():
    top = drawkit("--help").stdout
    found = {}
    if re.search(r"(?m)^usage: drawkit VERB", top):
        for v in [m.group(1) for m in re.finditer(r"(?m)^  ([a-z][a-z-]+) +\S", top) if m.group(1) != "drawkit"]:
            found[v] = set()
            block = False
            for line in drawkit("help", v).stdout.splitlines():
                if line.startswith("usage:"):
                    found[v].update(re.findall(r"--[a-z][a-z-]*", line))
                elif line.strip() == "options:":
                    block = True
                elif block and line.startswith("  "):
                    found[v].update(re.findall(r"(?:^|, )(--[a-z][a-z-]*)", line.strip()))
                else:
                    block = False
        return found
    verb = None
    for line in top.splitlines():
        m = re.match(r"\s*(?:usage:)?\s*drawkit ([a-z][a-z-]*)(.*)", line)
        if m:
            verb, rest = m.group(1), m.group(2)
        elif re.match(r"\s+\[", line) and verb:
            rest = line
        else:
            verb = None
            continue
        found.setdefault(verb, set()).update(re.findall(r"--[a-z][a-z-]*", rest))
    return found


verb_options = verbs_and_options()
for options in verb_options.values():
    options.discard("--recover")
VERBS = sorted(verb_options)
expect(len(VERBS) >= 24, "the verbs read from drawkit's help: %s" % VERBS)

got = completed("drawkit ")
expect(sorted(got) == sorted(set(VERBS) | {"help"}), "drawkit <tab>: %s" % sorted(got))
expect(sorted(completed("drawkit -")) == ["--help", "--version"], "drawkit -<tab>: %s" % completed("drawkit -"))
expect(sorted(completed("drawkit help ")) == [v for v in VERBS if v != "help"], "drawkit help <tab>: %s" % completed("drawkit help "))
only("drawkit help pu", "publish")
expect(sorted(completed("drawkit re")) == ["remove", "rename", "renumber", "resave", "restamp"], "drawkit re<tab>: %s" % completed("drawkit re"))

# Each verb's options: those of its help and --help itself are offered, and drawkit takes every
# one offered (with a value when it wants one) without calling it unknown.
DRAWING = os.path.join(PROJECT, "drawings", "G-000 General.dwg")
OUT = os.path.join(WORK, "out")
os.mkdir(OUT)
NO_SET = os.path.join(WORK, "no such folder", "none.dst")
front = {"info": [DRAWING], "audit": [DRAWING], "objects": [DRAWING], "roundtrip": [DRAWING, os.path.join(OUT, "r.dwg")],
         "edit": [DRAWING, os.path.join(OUT, "e.dwg")], "thumb": [DRAWING, os.path.join(OUT, "t.png")]}
unknown = re.compile(r"unknown (option|edit)")
for v in [v for v in VERBS if v != "help"]:
    args = front.get(v, [NO_SET])
    opts = completed("drawkit %s %s -" % (v, " ".join(shlex.quote(a) for a in args)))
    missing = (verb_options[v] | {"--help"}) - set(opts)
    expect(not missing, "drawkit %s: options of its help not offered: %s (offered %s)" % (v, sorted(missing), opts))
    expect(len(opts) == len(set(opts)), "drawkit %s: options offered twice: %s" % (v, opts))
    for o in opts:
        if o == "--help":
            continue
        p = drawkit(v, *args, o)
        if unknown.search(p.stderr):
            p = drawkit(v, *args, o, "1")
        expect(not unknown.search(p.stderr), "drawkit %s %s: offered, but drawkit says %s" % (v, o, p.stderr.strip()[:200]))
expect(sorted(completed("drawkit publish x.dst out.pdf --st")) == ["--stamp", "--style"], "publish --st<tab>: %s" % completed("drawkit publish x.dst out.pdf --st"))
expect("--json" not in completed("drawkit publish x.dst out.pdf --"), "publish offers --json")
expect(completed("drawkit objects x.dwg -") == ["--help"], "objects -<tab>: %s" % completed("drawkit objects x.dwg -"))

# Values from a fixed set: the styles drawkit publish takes, and exactly the version codes a
# roundtrip can write.
styles = completed("drawkit publish %s out.pdf --style " % shlex.quote(SET))
expect(sorted(styles) == ["displayed", "grayscale", "monochrome"], "--style <tab>: %s" % styles)
for s in styles:
    p = drawkit("publish", NO_SET, "out.pdf", "--style", s)
    expect("--style" not in p.stderr, "--style %s offered, but drawkit says %s" % (s, p.stderr.strip()))
only("drawkit publish %s out.pdf --reverse --style gr" % shlex.quote(SET), "grayscale")
for v in ["roundtrip", "edit"]:
    codes = completed("drawkit %s in.dwg out.dwg --version " % v)
    writable = [c for c in range(10, 41) if drawkit(v, DRAWING, os.path.join(OUT, "v.dwg"), "--version", str(c)).returncode == 0]
    expect(sorted(codes, key=int) == [str(c) for c in writable], "%s --version <tab>: %s; drawkit writes %s" % (v, codes, writable))

# Sets: .dst files and folders, whole words however the name was begun.
only("drawkit sheets Riv", SET)
only('drawkit sheets "Riv', SET)
only("drawkit sheets 'Riv", SET)
only("drawkit sheets Riverside\\ Li", SET)
only('drawkit check "Riverside Li', SET)
only("drawkit sheets A", "A&B (v2).dst")
only("drawkit sheets A\\&B\\ \\(", "A&B (v2).dst")
only('drawkit sheets "A&B (', "A&B (v2).dst")
only("drawkit sheets Su", "Sub Folder")
expect(completed("drawkit sheets no") == [], "notes.txt offered as a set: %s" % completed("drawkit sheets no"))
sets = completed("drawkit publish ")
expect(sorted(sets) == sorted(["A&B (v2).dst", "Riverside Library.dst", "Phase=2:Copy.dst", "plain.dst", "Sub Folder", "Sheet Set Examples", "drawings", "templates"]),
       "drawkit publish <tab>: %s" % sorted(sets))
only("drawkit new-set new.dst --example Sheet\\ Set\\ Examples/Pla", "Sheet Set Examples/Plain (A3).dst")
only("drawkit sheets Project\\ Folder/Riv", "Project Folder/" + SET, cwd=WORK)
only("drawkit import %s drawings/A-101\\ Gr" % shlex.quote(SET), "drawings/A-101 Ground Floor Plan.dwg")
only("drawkit info drawings/G-", "drawings/G-000 General.dwg")
only("drawkit new-set new.dst --from drawings Sub\\ F", "Sub Folder")
only("drawkit sheets Phase=2:C", "Phase=2:Copy.dst")

# After a set: its sheet numbers and subset paths, as drawkit's CSV sheet index has them.
rows = list(csv.DictReader(io.StringIO(drawkit("sheets", SET, "--csv").stdout)))
numbers = {r["Number"] for r in rows if r["Number"]}
subset_paths = {r["Subset"].replace(" / ", "/") for r in rows if r["Subset"]}
expect("G 003" in numbers and "Architecture/Plans/Full size (A1)" in subset_paths, "the index: %s %s" % (numbers, subset_paths))
for set_word, cwd in [("Riverside\\ Library.dst", PROJECT), ('"Riverside Library.dst"', PROJECT),
                     ("'Riverside Library.dst'", PROJECT), ("Project\\ Folder/Riverside\\ Library.dst", WORK),
                     ("~/Project\\ Folder/Riverside\\ Library.dst", PROJECT)]:
    sheets = completed("drawkit rename %s " % set_word, cwd)
    expect(numbers <= set(sheets) and "Landscape/Planting Plan" in sheets and len(sheets) == len(rows),
           "rename %s <tab>: %s, the index has %s" % (set_word, sorted(sheets), sorted(numbers)))
subsets = completed("drawkit renumber %s " % shlex.quote(SET))
expect(subset_paths | {"Empty One", "Landscape/Owner's $HOME & (draft)"} <= set(subsets), "renumber SET <tab>: %s" % subsets)
expect(not set(subsets) & numbers, "renumber SET <tab> offers sheets: %s" % subsets)
items = completed("drawkit remove %s " % shlex.quote(SET))
expect(set(items) == set(subsets) | set(sheets), "remove SET <tab>: %s" % items)
expect(not any("Bogus" in w for w in items), "a sheet's properties taken for the tree: %s" % items)
# drawkit finds every item offered, each a different one: a selection of them all holds them all.
p = drawkit("selection", SET, "add", "Every item offered", *items)
members = drawkit("selection", SET, "restore", "Every item offered").stdout.splitlines()
expect(p.returncode == 0 and len(members) == len(items), "a selection of the items offered: %d %s; %d members of %d" %
       (p.returncode, p.stderr.strip(), len(members), len(items)))
for line, want in [("drawkit move %s G" % shlex.quote(SET), ["G 003", "G-001", "G-002", "General"]),
                   ("drawkit publish %s out.pdf A-104" % shlex.quote(SET), ["A-104", "A-104R"]),
                   ("drawkit transmit %s out.zip G-001 G-" % shlex.quote(SET), ["G-001", "G-002"]),
                   ("drawkit sheet-list %s G" % shlex.quote(SET), ["G 003", "G-001", "G-002"]),
                   ("drawkit move %s A-101 --after G" % shlex.quote(SET), ["G 003", "G-001", "G-002", "General"]),
                   ("drawkit import %s x.dwg --layout L --for G" % shlex.quote(SET), ["G 003", "G-001", "G-002"]),
                   ("drawkit selection %s add 'For client' G-001 G" % shlex.quote(SET), ["G 003", "G-001", "G-002", "General"]),
                   ("drawkit selection %s re" % shlex.quote(SET), ["rename", "restore"])]:
    got = completed(line)
    expect(sorted(got) == want, "%r: %s, not %s" % (line, sorted(got), want))
for line in ["drawkit move %s G-001 --to Landscape/O", "drawkit new-sheet %s --title T --subset Landscape/O",
             "drawkit import %s x.dwg --subset Landscape/O", "drawkit renumber %s Landscape/O"]:
    only(line % shlex.quote(SET), "Landscape/Owner's $HOME & (draft)")
only("drawkit move %s G-001 --to 'Landscape/O" % shlex.quote(SET), "Landscape/Owner's $HOME & (draft)")
only('drawkit move %s G-001 --to "Landscape/O' % shlex.quote(SET), "Landscape/Owner's $HOME & (draft)")
only("drawkit move %s G-001 --to Architecture/Plans/F" % shlex.quote(SET), "Architecture/Plans/Full size (A1)")
only("drawkit move %s G-001 --to Architecture/Plans/Full\\ size\\ \\(" % shlex.quote(SET), "Architecture/Plans/Full size (A1)")
only("drawkit rename %s G\\ " % shlex.quote(SET), "G 003")
only('drawkit rename %s "G ' % shlex.quote(SET), "G 003")
expect("/" in completed("drawkit move %s G-001 --to " % shlex.quote(SET)), "--to offers the set itself, /")
# A new subset's path goes on from an existing one: a slash and no space.
words, opts, _ = completion("drawkit new-subset %s Architecture/Pl" % shlex.quote(SET))
expect(words == ["Architecture/Plans/"] and "nospace" in opts, "new-subset SET Architecture/Pl<tab>: %s %s" % (words, opts))
# Nothing to read: no such set, or a file that is not one.
expect(completed("drawkit move nowhere.dst ") == [], "items of a set that is not there: %s" % completed("drawkit move nowhere.dst "))
expect(completed("drawkit move notes.txt ") == [], "items of a text file: %s" % completed("drawkit move notes.txt "))
only("drawkit rename Phase=2:Copy.dst G\\ ", "G 003")
# Words after the cursor's word do not count; option values are not positionals.
only("drawkit move %s --after G-001 G\\ " % shlex.quote(SET), "G 003")
line = "drawkit rename %s G\\  --number G-004" % shlex.quote(SET)
only(line, "G 003", point=line.index(" --number"))
expect(sorted(completed("drawkit publish %s --style monochrome out.pdf A-104" % shlex.quote(SET))) == ["A-104", "A-104R"],
       "an option's value taken for the output: %s" % completed("drawkit publish %s --style monochrome out.pdf A-104" % shlex.quote(SET)))

# --- A real interactive bash on a terminal ------------------------------------------------------


class Terminal:
    """bash -i on a pseudo terminal, with `sources` sourced and nothing else."""

    def __init__(self, sources, env):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.chdir(PROJECT)
            os.execvpe("bash", ["bash", "--norc", "--noprofile", "-i"], dict(ENV, PS1="$ ", INPUTRC="/dev/null", TERM="dumb", **env))
        self.out = b""
        self.shown = 0
        self.send("bind 'set bell-style none'; show() { printf '\\n@@%s' $((++_shown)); printf '<%s>' \"$@\"; printf '@@\\n'; }\n")
        for s in sources:
            self.send("source %s\n" % shlex.quote(s))

    def send(self, keys):
        os.write(self.fd, keys.encode())

    def wait_for(self, pattern, seconds=10):
        end = time.time() + seconds
        while time.time() < end:
            m = re.search(pattern, self.out)
            if m:
                return m
            r, _, _ = select.select([self.fd], [], [], 0.1)
            if r:
                try:
                    self.out += os.read(self.fd, 65536)
                except OSError:
                    break
        return None

    def words(self, keys):
        """The words the shell makes of the line typed as `keys` (tabs and all)."""
        self.send(keys)
        self.send("\x01show \r")  # to the line's start, where `show` takes the words
        self.shown += 1
        m = self.wait_for(rb"@@%d((?:<[^>\n]*>)*)@@" % self.shown)
        if not m:
            return None
        return re.findall(r"<([^>\n]*)>", m.group(1).decode())

    def close(self):
        self.send("\x15exit\r")
        end = time.time() + 5
        while os.waitpid(self.pid, os.WNOHANG) == (0, 0):
            if time.time() > end:
                os.kill(self.pid, signal.SIGKILL)
                os.waitpid(self.pid, 0)
                break
            self.wait_for(rb"(?!)", 0.1)  # reads what it still prints
        os.close(self.fd)


def terminal_checks(sources, mode, tag, env={}):
    t = Terminal(sources, env)
    try:
        for keys, want in [
            ("drawkit sheets Riv\t", ["drawkit", "sheets", SET]),
            ('drawkit sheets "Riv\t', ["drawkit", "sheets", SET]),
            ("drawkit sheets Riverside\\ Li\t", ["drawkit", "sheets", SET]),
            ('drawkit sheets Riverside" Li\t', ["drawkit", "sheets", SET]),
            ("drawkit sheets A\t", ["drawkit", "sheets", "A&B (v2).dst"]),
            ("drawkit sheets 'A&B\t", ["drawkit", "sheets", "A&B (v2).dst"]),
            ("drawkit sheets Sub\t", ["drawkit", "sheets", "Sub Folder/"]),
            ("drawkit pub\t", ["drawkit", "publish"]),
            ("drawkit publish Riverside\\ Library.dst o.pdf --style gr\t", ["drawkit", "publish", SET, "o.pdf", "--style", "grayscale"]),
            ("drawkit rename Riverside\\ Library.dst G\\ \t", ["drawkit", "rename", SET, "G 003"]),
            ('drawkit rename "Riverside Library.dst" "G \t', ["drawkit", "rename", SET, "G 003"]),
            ("drawkit move Riverside\\ Library.dst A-101 --to Landscape/O\t",
             ["drawkit", "move", SET, "A-101", "--to", "Landscape/Owner's $HOME & (draft)"]),
            ("drawkit move 'Riverside Library.dst' A-101 --to \"Landscape/O\t",
             ["drawkit", "move", SET, "A-101", "--to", "Landscape/Owner's $HOME & (draft)"]),
            ("drawkit move Riverside\\ Library.dst A-101 --to 'Landscape/O\t",
             ["drawkit", "move", SET, "A-101", "--to", "Landscape/Owner's $HOME & (draft)"]),
            ("drawkit move Riverside\\ Library.dst A-101 --to Architecture/Plans/F\t",
             ["drawkit", "move", SET, "A-101", "--to", "Architecture/Plans/Full size (A1)"]),
            ("drawkit new-subset Riverside\\ Library.dst Architecture/Pl\tNew",
             ["drawkit", "new-subset", SET, "Architecture/Plans/New"]),
            ("drawkit sheets Phase=2:C\t", ["drawkit", "sheets", "Phase=2:Copy.dst"]),
            ("drawkit rename Phase=2:Copy.dst G\\ \t", ["drawkit", "rename", "Phase=2:Copy.dst", "G 003"]),
        ]:
            got = t.words("\x15" + keys)
            expect(got == want, "%s, on a terminal: %r gives %s, not %s" % (mode, keys, got, want))
            if got is None:
                expect(False, "%s: the terminal stopped answering: %r" % (mode, t.out[-300:]))
                return
        # A set changed between two tabs is read again.
        keys = "\x15drawkit move Riverside\\ Library.dst A-101 --to Zone-%s\t" % tag
        got = t.words(keys)
        expect(got == ["drawkit", "move", SET, "A-101", "--to", "Zone-" + tag], "%s: before the subset was made: %s" % (mode, got))
        t.send("\x15drawkit new-subset %s 'Zone-%s Area' > /dev/null\r" % (shlex.quote(SET), tag))
        got = t.words(keys)
        expect(got == ["drawkit", "move", SET, "A-101", "--to", "Zone-%s Area" % tag], "%s: a subset made meanwhile: %s" % (mode, got))
    finally:
        t.close()


terminal_checks([COMPLETION], "plain bash", "plain")
if os.path.exists(BASH_COMPLETION):
    # Found by the package's loader on the first tab, as where it is installed.
    user_dir = os.path.join(WORK, "bash-completion")
    os.makedirs(os.path.join(user_dir, "completions"))
    os.symlink(COMPLETION, os.path.join(user_dir, "completions", "drawkit"))
    terminal_checks([BASH_COMPLETION], "with bash-completion", "loaded", {"BASH_COMPLETION_USER_DIR": user_dir})
else:
    print("bash-completion is not installed: its terminal checks are skipped")

finish()
