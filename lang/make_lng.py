#!/usr/bin/env python3
"""Writes the shipped language files from their readable sources.

Each src/<Language>.ini (UTF-8) becomes <Language>.lng beside this script:
UTF-16LE with the byte-order mark FF FE and CR LF line ends, as the program
expects. The sources are checked first: the main section's keys and the
main window's 22 text keys must all be there, spelled as the program reads
them, each once, no section twice, and no key or value may begin or end
with a space (the reader trims them).

    python3 lang/make_lng.py          # write the .lng files
    python3 lang/make_lng.py --check  # only check that they are up to date
"""
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent

REQUIRED = {
    "main": ["LangName", "ShotLangName", "LangID"],
    "Caption": ["Tessarin_MainForm"],
    "String": ["CheckINN", "CheckNumberPU", "CheckNmberOfSettlementAccounts",
               "CheckNumberOfCorrespondentAccounts", "CheckNumberOKPO", "CheckORGN",
               "Russia", "Ukraine", "Bulgaria", "CheckerINN", "CheckerS_A", "CheckerC_A",
               "CheckerOKPO", "CheckerR_C", "BIC_Bank", "CheckEGN"],
    "Button": ["Check"],
    "Menu": ["Exit", "Help", "Language", "Options"],
}


# The reader trims these characters from both ends of names and values.
EDGE = "".join(chr(c) for c in range(1, 33))


def check(path, text):
    """Returns a list of problems of one source.

    Names are compared as the program's reader compares them, without regard
    to letter case; a section named twice is refused, since the reader reads
    only the last one and the keys of the first would be lost.
    """
    problems, section, seen, sections = [], None, set(), set()
    for n, line in enumerate(text.splitlines(), 1):
        s = line.strip(EDGE)
        if not s or s.startswith(";"):
            continue
        if s.startswith("[") and s.endswith("]"):
            section = s[1:-1].strip(EDGE)
            if section.upper() in sections:
                problems.append("%s:%d: section [%s] repeated" % (path.name, n, section))
            sections.add(section.upper())
            continue
        if section is None:
            problems.append("%s:%d: entry before the first section" % (path.name, n))
            continue
        if "=" not in s:
            problems.append("%s:%d: line without '='" % (path.name, n))
            continue
        key, value = line.split("=", 1)
        if value != value.strip(EDGE) or key != key.strip(EDGE):
            problems.append("%s:%d: space at the edge of %r" % (path.name, n, key))
        name = (section.upper(), key.strip(EDGE).upper())
        if name in seen:
            problems.append("%s:%d: %s repeated" % (path.name, n, key.strip(EDGE)))
        seen.add(name)
    for sec, keys in REQUIRED.items():
        for key in keys:
            if (sec.upper(), key.upper()) not in seen:
                problems.append("%s: %s.%s missing" % (path.name, sec, key))
    return problems


def encode(text):
    # The comments of the source are for its editors; the shipped file
    # carries sections and entries only.
    lines = [l for l in text.splitlines() if not l.strip().startswith(";")]
    return b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le")


def main():
    only_check = "--check" in sys.argv[1:]
    sources = sorted((HERE / "src").glob("*.ini"))
    problems, stale = [], []
    for src in sources:
        text = src.read_text(encoding="utf-8")
        found = check(src, text)
        problems += found
        if found:
            continue  # a refused source writes no language file
        out = HERE / (src.stem + ".lng")
        data = encode(text)
        if out.exists() and out.read_bytes() == data:
            continue
        if only_check:
            stale.append(out.name)
        else:
            out.write_bytes(data)
            print("wrote", out.name)
    for p in problems + ["%s is out of date" % s for s in stale]:
        print(p, file=sys.stderr)
    return 1 if problems or stale else 0


if __name__ == "__main__":
    sys.exit(main())
