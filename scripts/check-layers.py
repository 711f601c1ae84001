#!/usr/bin/env python3
"""Checks that every include of the program's sources points down the layers.

Each source folder belongs to one layer; a file may include headers of its own folder and of the
folders its layer lists below. Prints every include that points elsewhere (up, sideways, or into a
folder no layer names) and exits 1 when there is one. tests/, bench/ and packaging/ stand outside
the layers: they may include anything."""
import os
import re
import subprocess
import sys

# Folder: the folders it may include. Top to bottom, as ARCHITECTURE.md draws them.
ALLOWED = {
    "app": {"windows", "ui", "core", "core/model", "engine/gst"},
    "windows": {"ui", "core", "core/model"},
    "ui": {"core/model"},
    "engine/gst": {"core/model"},
    "core": {"core/model"},
    "core/model": set(),
}
OUTSIDE = ("tests/", "bench/", "packaging/")

root = subprocess.run(["git", "rev-parse", "--show-toplevel"], capture_output=True, text=True,
                      check=True).stdout.strip()
files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=root,
                       capture_output=True, text=True, check=True).stdout.split()
sources = [f for f in files if re.search(r"\.(h|cpp)(\.in)?$", f) and not f.startswith(OUTSIDE)
           and not f.startswith(("build", "out/"))]
include = re.compile(r'^\s*#\s*include\s*"([^"]+)"')

wrong = []
for source in sources:
    folder = os.path.dirname(source)
    if folder not in ALLOWED:
        wrong.append(f"{source}: the folder {folder or '.'} belongs to no layer")
        continue
    with open(os.path.join(root, source), errors="replace") as text:
        for number, line in enumerate(text, 1):
            match = include.match(line)
            if not match:
                continue
            target = os.path.dirname(match.group(1))
            if target and target != folder and target not in ALLOWED[folder]:
                wrong.append(f"{source}:{number}: includes {match.group(1)}, "
                             f"but {folder} may include only {sorted(ALLOWED[folder]) or 'nothing'}")

for line in wrong:
    print(line)
print(f"layers: {len(sources)} files, {len(wrong)} includes pointing the wrong way")
sys.exit(1 if wrong else 0)
