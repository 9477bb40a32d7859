#!/usr/bin/env python3
"""Which lines of the program does each test run, and which tests run no line that no other does?

Builds the project with gcov counters into build-reach/, runs every test on its own on SQLite, and
writes build-reach/reach.txt: per test, the lines of src/ and tools/ it runs and how many of them
no other test runs ("own lines"), fewest own lines first; then, per file, the lines of code that no
test runs at all.

A test with no own lines is a place to look when merging or cutting tests, not a verdict: it may
still be the only one to check what those lines produce. Read it, and what covers its lines,
before you cut it; a mutation sample before and after tells whether anything was lost.

    scripts/test-reach.py [--filter REGEX] [--jobs N]

Takes about half an hour on two cores; nice it when other work shares the machine.
"""
import argparse
import collections
import concurrent.futures
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build-reach"


def configure_and_build():
    subprocess.run([str(ROOT / "scripts" / "install-deps.sh")], check=True)
    subprocess.run(["cmake", "-S", str(ROOT), "-B", str(BUILD), "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_FLAGS=--coverage -O0 -g0",
                    "-DCMAKE_EXE_LINKER_FLAGS=--coverage",
                    "-DCMAKE_SHARED_LINKER_FLAGS=--coverage"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(BUILD)], check=True)


def listed_tests(pattern):
    shown = subprocess.run(["ctest", "--show-only=json-v1"], cwd=BUILD, check=True,
                           capture_output=True, text=True).stdout
    tests = []
    for test in json.loads(shown)["tests"]:
        if "command" not in test or not re.search(pattern, test["name"]):
            continue
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        environment = dict(item.split("=", 1) for item in properties.get("ENVIRONMENT", []))
        tests.append((test["name"], test["command"],
                      properties.get("WORKING_DIRECTORY", str(BUILD)), environment))
    return tests


def covered_lines(counters):
    """The "file:line" of src/ and tools/ that ran, and of those that could have, read from the
    .gcda files under counters."""
    found, seen = set(), set()
    gcdas = [str(p) for p in Path(counters).rglob("*.gcda")]
    if not gcdas:
        return found, seen
    # gcov finds each .gcno beside the object, so the counters are copied back there one test
    # at a time; a private working folder keeps gcov's own files apart.
    with tempfile.TemporaryDirectory() as scratch:
        for start in range(0, len(gcdas), 200):
            out = subprocess.run(["gcov", "--json-format", "--stdout", *gcdas[start:start + 200]],
                                 cwd=scratch, capture_output=True, text=True).stdout
            for document in out.splitlines():
                if not document.startswith("{"):
                    continue
                report = json.loads(document)
                # Source names are relative to the folder the object was compiled in.
                compiled_in = report.get("current_working_directory", str(BUILD))
                for file in report.get("files", []):
                    name = os.path.normpath(os.path.join(compiled_in, file["file"]))
                    relative = os.path.relpath(name, ROOT)
                    if not relative.startswith(("src/", "tools/")):
                        continue
                    for line in file["lines"]:
                        seen.add(f"{relative}:{line['line_number']}")
                        if line["count"] > 0:
                            found.add(f"{relative}:{line['line_number']}")
    return found, seen


def run_one(test, counters_root):
    name, command, workdir, environment = test
    counters = Path(counters_root) / re.sub(r"[^\w.-]", "_", name)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    env.update(environment)
    # Each test's counters go to a tree of its own, mirroring the build's object folders.
    env.update(GCOV_PREFIX=str(counters), GCOV_PREFIX_STRIP="0")
    subprocess.run(command, cwd=workdir, env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=600)
    # Put the .gcno files beside the counters so gcov reads both from one place.
    for gcda in counters.rglob("*.gcda"):
        original = Path("/" + str(gcda.relative_to(counters)))
        gcno = original.with_suffix(".gcno")
        if gcno.exists():
            shutil.copyfile(gcno, gcda.with_suffix(".gcno"))
    lines, seen = covered_lines(counters)
    shutil.rmtree(counters, ignore_errors=True)
    return name, lines, seen


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--filter", default=".", help="only the tests whose names match")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    args = parser.parse_args()
    configure_and_build()
    tests = listed_tests(args.filter)
    reach = {}
    seen = set()
    with tempfile.TemporaryDirectory() as counters_root, \
            concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        for done, (name, lines, could) in enumerate(
                pool.map(lambda test: run_one(test, counters_root), tests), 1):
            reach[name] = lines
            seen |= could
            print(f"{done}/{len(tests)} {name}: {len(lines)} lines", file=sys.stderr)

    runs = collections.Counter(line for lines in reach.values() for line in lines)
    own = {name: sum(1 for line in lines if runs[line] == 1) for name, lines in reach.items()}
    report = [f"{len(runs)} lines of src/ and tools/ run by {len(reach)} tests",
              "", "own lines  lines  test"]
    report += [f"{own[name]:9d} {len(reach[name]):6d}  {name}"
               for name in sorted(reach, key=lambda n: (own[n], len(reach[n])))]
    # Code no test runs, as ranges of lines per file, files with most such lines first.
    unrun = collections.defaultdict(list)
    for entry in seen - set(runs):
        file, line = entry.rsplit(":", 1)
        unrun[file].append(int(line))
    report += ["", "unrun  file: lines no test runs"]
    for file in sorted(unrun, key=lambda f: (-len(unrun[f]), f)):
        ranges, lines = [], sorted(unrun[file])
        for line in lines:
            if ranges and line == ranges[-1][1] + 1:
                ranges[-1][1] = line
            else:
                ranges.append([line, line])
        spans = ", ".join(f"{a}" if a == b else f"{a}-{b}" for a, b in ranges)
        report.append(f"{len(lines):5d}  {file}: {spans}")
    (BUILD / "reach.txt").write_text("\n".join(report) + "\n", encoding="utf-8")
    print(f"written to {BUILD / 'reach.txt'}")


if __name__ == "__main__":
    main()
