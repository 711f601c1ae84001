#!/usr/bin/env python3
"""Checks that the tests stay lean: lines of tests against lines of code, under a ceiling that may
go down but never up.

Counts every line of the files git tracks (so build folders never count):
  test lines: tests/**/*.cpp, tests/**/*.h and tests/**/*.py;
  code lines: *.cpp, *.h, *.py and *.sh outside tests/ and bench/.
Prints the ratio (test lines / code lines) and the ceiling, the number in tests/ratio-ceiling, and
exits 1 when the ratio is above the ceiling, or when that file holds a higher number than it held
in any earlier commit. Without git (a source tarball) it counts the files on disk outside build
folders and skips the history, saying so."""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CEILING = "tests/ratio-ceiling"


def git(*args):
    try:
        result = subprocess.run(["git", "-C", ROOT, *args], capture_output=True, text=True)
    except OSError:  # no git at all
        return None
    return result.stdout if result.returncode == 0 else None


def ceiling_of(text):
    """The first line that is not a # comment: the ceiling as written."""
    return next(l.strip() for l in text.splitlines() if l.strip() and not l.startswith("#"))


listed = git("ls-files")
if listed:
    files = listed.splitlines()
else:  # not a repository of its own
    files = []
    for folder, dirs, names in os.walk(ROOT):
        dirs[:] = [d for d in dirs if not d.startswith((".", "build"))]
        files += [os.path.relpath(os.path.join(folder, n), ROOT) for n in names]


def lines(paths):
    """Their lines, counted as wc -l counts them; a file deleted but not yet committed has none."""
    paths = [os.path.join(ROOT, p) for p in paths if os.path.isfile(os.path.join(ROOT, p))]
    return sum(open(p, "rb").read().count(b"\n") for p in paths)


tests = lines(f for f in files if f.startswith("tests/") and re.search(r"\.(cpp|h|py)$", f))
code = lines(f for f in files if not f.startswith(("tests/", "bench/"))
             and re.search(r"\.(cpp|h|py|sh)$", f))
with open(os.path.join(ROOT, CEILING)) as f:
    written = ceiling_of(f.read())
ceiling, ratio = float(written), tests / code
print(f"tests {tests} lines / code {code} lines = {ratio:.4f}, ceiling {written} ({CEILING})")

failed = False
if ratio > ceiling:
    print(f"the tests are above the ceiling: fold tests (or grow no test) by "
          f"{tests - int(ceiling * code)} lines or more", file=sys.stderr)
    failed = True

history = git("log", "--format=%H", "--", CEILING)
if history is None:
    print("no git history here: not checked that the ceiling was never raised")
else:
    earlier = [git("show", f"{commit}:{CEILING}") for commit in history.split()]
    lowest = min((ceiling_of(text) for text in earlier if text), key=float, default=written)
    if ceiling > float(lowest):
        print(f"the ceiling {written} is above the {lowest} it held before: it may be lowered, "
              f"never raised", file=sys.stderr)
        failed = True
sys.exit(1 if failed else 0)
