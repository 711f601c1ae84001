#!/usr/bin/env python3
"""Mutation testing of the core: do the core tests notice when the code is subtly wrong?

Copies the sources of a git revision into a scratch folder, builds the Qt-free core and its tests
there, then applies one small mutation at a time to the core sources (core/*.cpp, core/model/*.cpp): a comparison
flipped, + 1 / - 1 swapped, a condition negated, a statement removed, a constant changed, && and ||
swapped. Each mutant is rebuilt (only the changed file and the link) and the core tests run on it.
A mutant is killed when a test fails (or the tests time out), survives when every test passes, and
is "not compiling" when the build fails. A fixed seed picks the same sample from the same sources,
so runs before and after a change of the tests compare.

    scripts/mutants.py                       # 150 mutants, seed 1, the working tree's HEAD
    scripts/mutants.py --sample 50 --rev main --out report.json

Prints a summary with every surviving mutant; --out also writes every mutant with the tests that
killed it (a test that alone kills a mutant is worth keeping).
"""
import argparse
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# (name, pattern, replacement); each match on a code line is one mutant.
OPERATORS = [
    ("flip <", re.compile(r"(?<=\s)<(?=\s)"), "<="),
    ("flip <=", re.compile(r"(?<=\s)<=(?=\s)"), "<"),
    ("flip >", re.compile(r"(?<=\s)>(?=\s)"), ">="),
    ("flip >=", re.compile(r"(?<=\s)>=(?=\s)"), ">"),
    ("flip ==", re.compile(r"(?<=\s)==(?=\s)"), "!="),
    ("flip !=", re.compile(r"(?<=\s)!=(?=\s)"), "=="),
    ("+ 1 to - 1", re.compile(r"(?<=\s)\+ 1\b"), "- 1"),
    ("- 1 to + 1", re.compile(r"(?<=\s)- 1\b"), "+ 1"),
    ("&& to ||", re.compile(r"(?<=\s)&&(?=\s)"), "||"),
    ("|| to &&", re.compile(r"(?<=\s)\|\|(?=\s)"), "&&"),
    ("true to false", re.compile(r"\btrue\b"), "false"),
    ("false to true", re.compile(r"\bfalse\b"), "true"),
    ("constant + 1", re.compile(r"(?<![\w.])([1-9]\d*)(?![\w.'])"), None),
]
IF_CONDITION = re.compile(r"\b(if|while) \(")
STATEMENT = re.compile(r"^\s*[A-Za-z_][\w:.\->\[\]]*(\(.*\)|\s*[-+*/|&]?=\s.*|\+\+|--);\s*$")
DECLARATION_START = re.compile(
    r"^\s*(return|const|auto|static|using|typedef|struct|class|enum|namespace|template|"
    r"std::|unsigned|int|long|bool|double|char|float|size_t|Index|case|default|break|continue)\b")


def code_part(line):
    """The line without a trailing // comment and with string and char literals blanked, so no
    mutation lands inside them."""
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            out.append(" " if c != quote else c)
            if c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def matching_paren(text, open_at):
    depth = 0
    for i in range(open_at, len(text)):
        if text[i] == "(":
            depth += 1
        elif text[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def mutants_of(rel_path, lines):
    found = []
    in_block_comment = False
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if in_block_comment:
            in_block_comment = "*/" not in stripped
            continue
        if stripped.startswith("/*"):
            in_block_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith(("#", "//", "static_assert")):
            continue
        code = code_part(line)
        for name, pattern, replacement in OPERATORS:
            for m in pattern.finditer(code):
                new = replacement if replacement is not None else str(int(m.group(1)) + 1)
                found.append((name, number, line[:m.start()] + new + line[m.end():]))
        for m in IF_CONDITION.finditer(code):
            close = matching_paren(code, m.end() - 1)
            if close > 0:
                inner = line[m.end():close]
                found.append(("negate condition", number,
                              line[:m.end()] + "!(" + inner + ")" + line[close:]))
        if STATEMENT.match(code) and not DECLARATION_START.match(code):
            indent = line[:len(line) - len(line.lstrip())]
            found.append(("remove statement", number, indent + ";\n"))
    return [{"file": rel_path, "line": n, "operator": op, "mutated": text.rstrip("\n"),
             "original": lines[n - 1].rstrip("\n")} for op, n, text in found]


def run(cmd, cwd, timeout=None):
    # A test may print a file name that is not UTF-8; its bytes must not stop the run.
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace", timeout=timeout)


def failed_tests(report_path):
    try:
        with open(report_path, encoding="utf-8", errors="replace") as f:
            report = json.load(f)
    except (OSError, ValueError):
        return ["(no report: the test program crashed)"]
    failed = []
    for suite in report.get("testsuites", []):
        for test in suite.get("testsuite", []):
            if test.get("failures"):
                failed.append(suite["name"] + "." + test["name"])
    return failed


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rev", default="HEAD", help="git revision to test (default HEAD)")
    parser.add_argument("--sample", type=int, default=150, help="mutants to try (default 150)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the sample (default 1)")
    parser.add_argument("--out", help="write every mutant's outcome to this JSON file")
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder")
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="sonavex-mutants-")
    src = os.path.join(work, "src")
    build = os.path.join(work, "build")
    os.makedirs(src)
    archive = subprocess.run(["git", "-C", ROOT, "archive", args.rev], stdout=subprocess.PIPE,
                             check=True).stdout
    subprocess.run(["tar", "-x", "-C", src], input=archive, check=True)

    print(f"building the core tests of {args.rev} in {work}", flush=True)
    configure = run(["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DSONAVEX_CORE_ONLY=ON",
                     "-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_FLAGS=-O0 -g0"], work)
    if configure.returncode != 0:
        sys.exit(configure.stdout)
    tests = os.path.join(build, "tests", "core_tests")
    report_path = os.path.join(work, "report.json")

    def build_tests():
        return run(["ninja", "-C", build, "core_tests"], work).returncode == 0

    def run_tests(timeout):
        if os.path.exists(report_path):
            os.remove(report_path)
        try:
            result = run([tests, "--gtest_output=json:" + report_path], build, timeout=timeout)
        except subprocess.TimeoutExpired:
            return ["(timed out)"]
        return [] if result.returncode == 0 else failed_tests(report_path)

    if not build_tests():
        sys.exit("the unmutated core does not build")
    started = time.monotonic()
    if run_tests(None):
        sys.exit("the core tests fail without any mutation")
    timeout = max(30.0, 5 * (time.monotonic() - started))

    sources = []
    for folder in ("core", os.path.join("core", "model")):
        sources += [os.path.join(folder, f) for f in sorted(os.listdir(os.path.join(src, folder)))
                    if f.endswith(".cpp")]
    everything = []
    for rel in sources:
        with open(os.path.join(src, rel)) as f:
            everything += mutants_of(rel, f.readlines())
    sample = random.Random(args.seed).sample(everything, min(args.sample, len(everything)))
    sample.sort(key=lambda m: (m["file"], m["line"], m["operator"], m["mutated"]))
    print(f"{len(everything)} mutants in {len(sources)} files; trying {len(sample)} "
          f"(seed {args.seed})", flush=True)

    originals = {}
    for i, mutant in enumerate(sample, 1):
        path = os.path.join(src, mutant["file"])
        if path not in originals:
            with open(path) as f:
                originals[path] = f.readlines()
        lines = list(originals[path])
        lines[mutant["line"] - 1] = mutant["mutated"] + "\n"
        with open(path, "w") as f:
            f.writelines(lines)
        if not build_tests():
            mutant["outcome"], mutant["killedBy"] = "not compiling", []
        else:
            killers = run_tests(timeout)
            mutant["outcome"] = "killed" if killers else "survived"
            mutant["killedBy"] = killers
        with open(path, "w") as f:
            f.writelines(originals[path])
        print(f"[{i}/{len(sample)}] {mutant['outcome']:13} {mutant['file']}:{mutant['line']} "
              f"{mutant['operator']}", flush=True)

    counts = {o: sum(m["outcome"] == o for m in sample)
              for o in ("killed", "survived", "not compiling")}
    tried = counts["killed"] + counts["survived"]
    rate = 100.0 * counts["killed"] / tried if tried else 0.0
    print(f"\nkilled {counts['killed']}, survived {counts['survived']}, "
          f"not compiling {counts['not compiling']}: kill rate {rate:.1f}%")
    survivors = [m for m in sample if m["outcome"] == "survived"]
    if survivors:
        print("\nsurviving mutants:")
        for m in survivors:
            print(f"  {m['file']}:{m['line']} {m['operator']}\n"
                  f"    - {m['original'].strip()}\n    + {m['mutated'].strip()}")
    if args.out:
        with open(args.out, "w") as f:
            json.dump({"rev": args.rev, "seed": args.seed, "counts": counts,
                       "killRate": rate, "mutants": sample}, f, indent=1)
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
