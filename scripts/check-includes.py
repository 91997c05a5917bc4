#!/usr/bin/env python3
"""Fails when a folder includes a header of a folder it may not see.

Usage: check-includes.py ROOT

Scans every C++ file of ROOT's folders for `#include "folder/..."` and `#include <folder/...>`
lines naming one of the folders below, and prints each include that the table does not grant
as `file:line: ...`; exits 1 when there is any, or when a folder with C++ files has no entry.
"""

import pathlib
import re
import sys

# What each folder may include besides its own headers: folders ("cao") or single headers
# ("app/EngineChoice.h"). "*" sees everything. This table is the one statement of the rule.
RULES = {
    "app": ["*"],  # start-up and the window: it chooses the engine and wires everything
    "ui": ["cao"],
    "controller": ["cao", "ui"],
    "variables": ["cao", "ui"],
    "messages": ["cao", "ui"],
    "monitor": ["cao", "ui"],
    "cao": [],
    "engine": ["cao"],
    "hla": ["engine", "cao", "rti"],
    "rti": [],
    "peer": ["cao", "messages", "app/EngineChoice.h"],
    "bus": ["cao"],
    "server": ["cao", "engine", "bus", "hla"],
    "tests": ["*"],
    "bench": ["*"],
    "fuzz": ["*"],
}

SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc"}
SKIPPED = {"build", "data", "docs", "scripts", "cmake"}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"](([A-Za-z_][A-Za-z0-9_]*)/[^>"]*)[>"]')


def sources(folder):
    return sorted(p for p in folder.rglob("*") if p.suffix in SOURCE_SUFFIXES and p.is_file())


def granted(owner, path, target):
    allowed = RULES[owner]
    return target == owner or "*" in allowed or target in allowed or path in allowed


def describe(allowed):
    if not allowed:
        return "nothing outside itself"
    return "only " + ", ".join(a if "." in a else a + "/" for a in allowed)


def check(root):
    faults = []
    for folder in sorted(p for p in root.iterdir() if p.is_dir()):
        name = folder.name
        if name.startswith(".") or name in SKIPPED:
            continue
        files = sources(folder)
        if name not in RULES:
            if files:
                faults.append(f"{name}/: the folder has no entry in the include rules "
                              f"(RULES in {pathlib.Path(__file__).name}); add what it may see")
            continue
        for file in files:
            text = file.read_text(encoding="utf-8", errors="replace")
            for number, line in enumerate(text.splitlines(), start=1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                path, target = match.group(1), match.group(2)
                if target not in RULES or granted(name, path, target):
                    continue
                faults.append(f"{file.relative_to(root)}:{number}: includes \"{path}\", but "
                              f"{name}/ may see {describe(RULES[name])}")
    return faults


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    root = pathlib.Path(argv[1])
    if not root.is_dir():
        print(f"check-includes: {root} is not a folder", file=sys.stderr)
        return 2
    faults = check(root)
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print(f"check-includes: {len(faults)} include(s) break the folder rules", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
