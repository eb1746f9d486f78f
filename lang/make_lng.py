#!/usr/bin/env python3
"""Writes the shipped language files from their readable sources.

Each src/<Language>.ini (UTF-8) becomes <Language>.lng beside this script:
UTF-16LE with the byte-order mark FF FE and CR LF line ends, as the program
expects. The sources are checked first: the main section's keys and the
main window's 22 text keys must all be there, spelled as the program reads
them, and no value may begin or end with a space (the reader trims values).

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


def check(path, text):
    """Returns a list of problems of one source."""
    problems, section, seen = [], None, set()
    for n, line in enumerate(text.splitlines(), 1):
        s = line.strip()
        if not s or s.startswith(";"):
            continue
        if s.startswith("[") and s.endswith("]"):
            section = s[1:-1].strip()
            continue
        if "=" not in s:
            problems.append("%s:%d: line without '='" % (path.name, n))
            continue
        key, value = line.split("=", 1)
        if value != value.strip() or key != key.strip():
            problems.append("%s:%d: space at the edge of %r" % (path.name, n, key))
        if (section, key.strip()) in seen:
            problems.append("%s:%d: %s repeated" % (path.name, n, key))
        seen.add((section, key.strip()))
    for sec, keys in REQUIRED.items():
        for key in keys:
            if (sec, key) not in seen:
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
        problems += check(src, text)
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
