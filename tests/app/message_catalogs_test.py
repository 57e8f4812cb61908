#!/usr/bin/python3
"""The message catalogs in res/ against the numbered messages the sources look up.

1. Every id a source looks up is in each shipped catalog of its library
   (res/<library>.<lang>.txt, as dist/CMakeLists.txt installs them; every library in every
   language shipped, English among them): a missing one shows the built-in text, which is
   English even in the Chinese product.
2. An English catalog holds no Chinese; a Chinese entry for a text with letters holds Chinese,
   but for the few names that read the same in both products (command names, file formats).
3. A catalog entry has the placeholders (%s, %d, %1 ...) of the built-in text, of the same kind
   and in the same order: vrFormatMessage fills them by position.
4. Built-in texts are English, the product's base language: they are what shows when no catalog
   has the message, whatever the language.
5. Every number of the message ranges in the sources is found by one of the lookup styles below,
   so that a new way of looking a message up cannot hide its ids from this test.

Lookup styles read:
  ssMessage(ID, L"default") and the wrappers that end in it (text, paletteText, cmd, plain,
  title, customGroup, {ID, L"default"} tables): any ID followed by a wide literal, "sheetsetres";
  vrMessage(LIB, ID, L"default") and vrLoadString(LIB, ID, out): the library the call names;
  parallel tables `const int ids[N] = {...}` and `const wchar_t* texts[N] = {...}` used as
  lookup(ids[i], texts[i]);
  command tables: rows {L"GROUP", L"GLOBAL", L"LOCAL", fn, flags, resources, ID} whose ID the
  registration looks up with vrLoadString(LIB, c.field, ...); the built-in text is LOCAL.

  message_catalogs_test.py SOURCE_DIR
"""
import os
import re
import sys

from support import expect, finish

SOURCE = sys.argv[1]
FOLDERS = ["model", "palette", "dialogs", "wizard", "operations", "module", "actions", "host", "app"]
OWN_LIBRARY = "sheetsetres"  # where ssMessage and every wrapper of it look
# The numbers messages are given: the module's own 25000-27999, the command keywords 64000-64999.
# A number of these ranges in the sources that no lookup style accounts for fails step 5.
MESSAGE_RANGES = [(25000, 27999), (64000, 64999)]
# Texts the Chinese product shows as they are: file formats and units are written the same way.
SAME_IN_CHINESE = {"PDF", "DWF", "DWFx", "DWG", "DWT", "DST"}

CJK = re.compile("[\u3000-\u303f\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff\uff00-\uffef]")
LETTER = re.compile(r"[^\W\d_]")
PLACEHOLDER = re.compile(r"%(%|ls|\d+|[A-Za-z])")
WIDE = r'L"(?:[^"\\\n]|\\.)*"'
WIDE_RUN = r"(?:%s\s*)+" % WIDE  # adjacent literals are one string


def c_unescape(body):
    """The text of a C++ wide literal's body."""
    out, i = [], 0
    simple = {"n": "\n", "t": "\t", "r": "\r", "0": "\0", "\\": "\\", '"': '"', "'": "'", "?": "?", "a": "\a"}
    while i < len(body):
        c = body[i]
        if c != "\\":
            out.append(c)
            i += 1
            continue
        n = body[i + 1]
        if n in "uU":
            width = 4 if n == "u" else 8
            out.append(chr(int(body[i + 2:i + 2 + width], 16)))
            i += 2 + width
        elif n == "x":
            m = re.match(r"[0-9a-fA-F]+", body[i + 2:])
            out.append(chr(int(m.group(0), 16)))
            i += 2 + len(m.group(0))
        else:
            out.append(simple.get(n, n))
            i += 2
    return "".join(out)


def literal_run(text):
    """The string of adjacent wide literals."""
    return "".join(c_unescape(m.group(1)) for m in re.finditer(r'L"((?:[^"\\\n]|\\.)*)"', text))


def without_comments(src):
    """The source with comments blanked (line breaks kept, so line numbers stay)."""
    out, i, n = [], 0, len(src)
    while i < n:
        c = src[i]
        if c == '"' or c == "'":
            j = i + 1
            while j < n and src[j] != c:
                j += 2 if src[j] == "\\" else 1
            out.append(src[i:j + 1])
            i = j + 1
        elif src.startswith("//", i):
            j = src.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif src.startswith("/*", i):
            j = src.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", src[i:j]))
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_sources():
    sources = {}
    for folder in FOLDERS:
        for root, _, files in os.walk(os.path.join(SOURCE, folder)):
            for f in sorted(files):
                if f.endswith((".cpp", ".h")):
                    path = os.path.join(root, f)
                    with open(path, encoding="utf-8") as fh:
                        sources[os.path.relpath(path, SOURCE)] = without_comments(fh.read())
    return sources


def library_constants(sources):
    """Names given to library names, as `inline const TkString kSheetSetRes = L"sheetsetres";`."""
    names = {}
    for src in sources.values():
        for m in re.finditer(r'\b(k\w+)\s*=\s*L"(\w+)"\s*;', src):
            names[m.group(1)] = m.group(2)
    return names


def library_of(expr, constants):
    expr = expr.strip()
    m = re.fullmatch(r'L"(\w+)"', expr)
    return m.group(1) if m else constants.get(expr)


class Uses:
    """Each looked-up id: its library, and where it is looked up with which built-in text."""

    def __init__(self):
        self.by_key = {}  # (library, id) -> [(where, default or None)]
        self.spans = {}   # file -> [(start, end)] of the text the lookups took
        self.keywords = set()  # (library, id) of command names: typed alike in every language

    def add(self, library, ident, default, path, src, start, end, keyword=False):
        where = "%s:%d" % (path, src.count("\n", 0, start) + 1)
        if keyword:
            self.keywords.add((library, int(ident)))
        self.by_key.setdefault((library, int(ident)), []).append((where, default))
        self.spans.setdefault(path, []).append((start, end))

    def covers(self, path, pos):
        return any(s <= pos < e for s, e in self.spans.get(path, []))


def extract(sources):
    uses = Uses()
    constants = library_constants(sources)
    for path, src in sources.items():
        # vrMessage / vrLoadString with the library named.
        for m in re.finditer(r"\b(vrMessage|vrLoadString)\s*\(\s*([^,()]+?)\s*,\s*(\d{5})\s*,\s*(%s)?" % WIDE_RUN, src):
            lib = library_of(m.group(2), constants)
            if expect(lib is not None, "%s: %s with a library this test cannot name: %s" % (path, m.group(1), m.group(2))):
                default = literal_run(m.group(4)) if m.group(1) == "vrMessage" and m.group(4) else None
                uses.add(lib, m.group(3), default, path, src, m.start(3), m.end())
        # Command tables: the field the registration looks up, and the rows that give it.
        for m in re.finditer(r"\bvrLoadString\s*\(\s*([^,()]+?)\s*,\s*\w+\s*(?:\.|->)\s*(\w+)", src):
            lib = library_of(m.group(1), constants)
            expect(lib is not None, "%s: command names looked up in a library this test cannot name: %s" % (path, m.group(1)))
            rows = list(re.finditer(r"\{\s*(%s\s*,\s*%s\s*,\s*%s)[^{}]*?,\s*(\d{5})\s*\}" % (WIDE, WIDE, WIDE), src))
            expect(rows, "%s: looks command names up by %s, but no command row was read" % (path, m.group(2)))
            for row in rows:
                local = re.findall(WIDE, row.group(1))[2]
                uses.add(lib, row.group(2), literal_run(local), path, src, row.start(2), row.end(2), keyword=True)
        # Parallel tables of ids and built-in texts.
        for m in re.finditer(r"\(\s*(\w+)\s*\[[^\]]*\]\s*,\s*(\w+)\s*\[[^\]]*\]\s*\)", src):
            ids = re.search(r"\b%s\s*\[\s*\d*\s*\]\s*=\s*\{([\d\s,]+)\}" % re.escape(m.group(1)), src)
            texts = re.search(r"\b%s\s*\[\s*\d*\s*\]\s*=\s*\{((?:\s*%s\s*,?)+)\}" % (re.escape(m.group(2)), WIDE_RUN), src)
            if not ids or not texts or not re.search(r"\d{5}", ids.group(1)):
                continue
            numbers = re.findall(r"\d+", ids.group(1))
            literals = [literal_run(t.group(0)) for t in re.finditer(WIDE_RUN, texts.group(1))]
            if expect(len(numbers) == len(literals), "%s: %s and %s differ in length" % (path, m.group(1), m.group(2))):
                for n, t in zip(numbers, literals):
                    uses.add(OWN_LIBRARY, n, t, path, src, ids.start(1), ids.end(1))
        # ID, L"built-in text": ssMessage and every wrapper of it.
        for m in re.finditer(r"(?<![\w.])(\d{5})\s*,\s*(%s)" % WIDE_RUN, src):
            if uses.covers(path, m.start(1)):
                continue  # read above, with its own library
            uses.add(OWN_LIBRARY, m.group(1), literal_run(m.group(2)), path, src, m.start(1), m.end())
        # Step 5: the numbers of the message ranges that none of the above read.
        for m in re.finditer(r"(?<![\w.])(\d{5})(?![\w.])", src):
            n = int(m.group(1))
            if any(lo <= n <= hi for lo, hi in MESSAGE_RANGES) and not uses.covers(path, m.start(1)):
                expect(False, "%s:%d: %d is a message number looked up in a way this test does not read"
                       % (path, src.count("\n", 0, m.start()) + 1, n))
    return uses


def read_catalog(path):
    """id -> text, unescaped as host/Resources.cpp does; None for a missing catalog."""
    if not os.path.exists(path):
        return None
    entries = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f.read().split("\n"), 1):
            line = line.rstrip("\r")
            tab = line.find("\t")
            if tab < 0 or not re.fullmatch(r"[+-]?\d+", line[:tab].strip()):
                expect(not line.strip() or line.startswith("#"), "%s:%d: neither a message nor a comment" % (path, number))
                continue
            ident = int(line[:tab])
            expect(ident not in entries, "%s:%d: %d is there twice" % (path, number, ident))
            entries[ident] = re.sub(r"\\(.)", lambda e: {"n": "\n", "t": "\t"}.get(e.group(1), e.group(1)), line[tab + 1:])
    return entries


def shipped_catalogs():
    """(library, language) of the catalogs the install step puts beside the programs."""
    with open(os.path.join(SOURCE, "dist", "CMakeLists.txt"), encoding="utf-8") as f:
        return set(re.findall(r"/res/(\w+)\.(\w+)\.txt", f.read()))


def placeholders(text):
    return [p.replace("ls", "s") for p in PLACEHOLDER.findall(text) if p != "%"]


def main():
    sources = read_sources()
    found = extract(sources)
    uses, keywords = found.by_key, found.keywords
    libraries = sorted({lib for lib, _ in uses})
    installed = shipped_catalogs()
    languages = sorted({lang for _, lang in installed} | {"en"})  # English: the fallback of every language
    expect("zh" in languages, "no Chinese catalog is installed")
    for name in sorted(os.listdir(os.path.join(SOURCE, "res"))):
        m = re.fullmatch(r"(\w+)\.(\w+)\.txt", name)
        expect(not m or (m.group(1), m.group(2)) in installed, "res/%s is not installed by dist/CMakeLists.txt" % name)
    counts = {}
    for lib in libraries:
        ids = sorted(i for l, i in uses if l == lib)
        counts[lib] = len(ids)
        for lang in languages:
            catalog = read_catalog(os.path.join(SOURCE, "res", "%s.%s.txt" % (lib, lang)))
            if not expect(catalog is not None, "res/%s.%s.txt is missing" % (lib, lang)):
                continue
            for ident in ids:
                sites = uses[(lib, ident)]
                text = catalog.get(ident)
                if not expect(text is not None, "%d (%s) is missing from res/%s.%s.txt; built-in %r"
                              % (ident, sites[0][0], lib, lang, sites[0][1])):
                    continue
                if lang == "en":
                    expect(not CJK.search(text), "res/%s.en.txt: %d is not English: %r" % (lib, ident, text))
                elif lang == "zh":
                    expect(CJK.search(text) or not LETTER.search(text) or text.strip() in SAME_IN_CHINESE
                           or (lib, ident) in keywords,
                           "res/%s.zh.txt: %d is not Chinese: %r" % (lib, ident, text))
                for where, default in sites:
                    if default is not None:
                        expect(placeholders(text) == placeholders(default),
                               "res/%s.%s.txt: %d has placeholders %s, the built-in text at %s has %s"
                               % (lib, lang, ident, placeholders(text), where, placeholders(default)))
        for ident in ids:
            for where, default in uses[(lib, ident)]:
                expect(default is None or not CJK.search(default), "%s: the built-in text of %d is not English: %r"
                       % (where, ident, default))
    # A sanity floor: the extraction reading nothing would pass every check above.
    expect(counts.get(OWN_LIBRARY, 0) >= 100, "only %d ids read for %s" % (counts.get(OWN_LIBRARY, 0), OWN_LIBRARY))
    expect(keywords, "no command keyword read")
    print("ids looked up: " + ", ".join("%s %d" % kv for kv in sorted(counts.items())))
    finish()


if __name__ == "__main__":
    main()
