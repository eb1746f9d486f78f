#!/usr/bin/env python3
"""The language script refuses sources that the program would read wrongly.

Each case is a complete, valid source with one fault put in; the script's
check must name that fault. The last case runs the script itself on a
folder of its own and expects it to fail and to write nothing.
"""
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = pathlib.Path(__file__).resolve().parent
sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, str(HERE))
import make_lng  # noqa: E402

VALID = (HERE / "src" / "English.ini").read_text(encoding="utf-8")


def with_line_replaced(old, new):
    assert old in VALID, old
    return VALID.replace(old, new, 1)


# (what, source text, words the problem must contain)
FAULTS = [
    ("missing key", with_line_replaced("Check=Check\n", ""), "Button.Check missing"),
    ("missing section", with_line_replaced("[Button]\nCheck=Check\n", ""), "Button.Check missing"),
    ("repeated key", with_line_replaced("Help=Help\n", "Help=Help\nHelp=Aid\n"), "Help repeated"),
    ("key repeated in another letter case",
     with_line_replaced("Help=Help\n", "Help=Help\nHELP=Aid\n"), "HELP repeated"),
    ("repeated section (the reader reads only the last)",
     with_line_replaced("[Menu]\n", "[Menu]\nExit=Close\n[Menu]\n"), "section [Menu] repeated"),
    ("value padded at its end", with_line_replaced("Exit=Close\n", "Exit=Close \n"), "edge of 'Exit'"),
    ("value padded at its start", with_line_replaced("Exit=Close\n", "Exit= Close\n"), "edge of 'Exit'"),
    ("key padded", with_line_replaced("Exit=Close\n", "Exit =Close\n"), "edge of 'Exit '"),
    ("value ending in a tab", with_line_replaced("Exit=Close\n", "Exit=Close\t\n"), "edge of 'Exit'"),
    ("line without '='", with_line_replaced("Exit=Close\n", "Exit=Close\nClose\n"), "without '='"),
    ("entry before any section", "Stray=1\n" + VALID, "before the first section"),
]


class CheckRefuses(unittest.TestCase):
    def test_the_shipped_sources_pass(self):
        for src in sorted((HERE / "src").glob("*.ini")):
            with self.subTest(src.name):
                self.assertEqual(make_lng.check(src, src.read_text(encoding="utf-8")), [])

    def test_each_fault_is_named(self):
        for what, text, words in FAULTS:
            with self.subTest(what):
                problems = make_lng.check(pathlib.Path("X.ini"), text)
                self.assertTrue(any(words in p for p in problems), "%s: got %r" % (what, problems))

    def test_the_script_fails_and_writes_nothing(self):
        with tempfile.TemporaryDirectory() as tmp:
            root = pathlib.Path(tmp)
            shutil.copy(HERE / "make_lng.py", root / "make_lng.py")
            (root / "src").mkdir()
            (root / "src" / "Bad.ini").write_text(
                with_line_replaced("Exit=Close\n", "Exit=Close \n"), encoding="utf-8")
            run = subprocess.run([sys.executable, str(root / "make_lng.py")],
                                 capture_output=True, text=True)
            self.assertEqual(run.returncode, 1, run.stderr)
            self.assertIn("Bad.ini", run.stderr)
            self.assertFalse((root / "Bad.lng").exists(), "a refused source was written")


if __name__ == "__main__":
    unittest.main()
