#!/usr/bin/env python3
"""Fails when a folder includes a header of a folder it may not see.

Usage: check-includes.py ROOT

Scans every C++ file under ROOT for `#include "folder/..."` and `#include <folder/...>` lines
naming one of the folders below, and prints each include that the table does not grant as
`file:line: ...`; exits 1 when there is any, or when a folder with C++ files has no entry.
A file belongs to the deepest folder of the table that holds it; so does an included header.
"""

import pathlib
import re
import sys

# What each folder may include besides its own headers: folders ("cao") or single headers
# ("app/EngineChoice.h"). "*" sees everything. A folder's subfolders are folders of their own
# when they have an entry. This table is the one statement of the rule.
RULES = {
    # The window program.
    "app": ["*"],  # start-up and the window: it chooses the engine and wires everything
    "ui": ["cao"],
    "controller": ["cao", "ui"],
    "variables": ["cao", "ui"],
    "messages": ["cao", "ui"],
    "monitor": ["cao", "ui"],
    "cao": [],
    # The platform beneath it.
    "platform/engine": ["cao"],
    "platform/hla": [],
    "platform/rti": ["platform/hla"],
    # HLA 4's Federate Protocol: the messages protoc makes, the framing and session.
    "platform/fedpro/messages": [],
    "platform/fedpro/protocol": [],
    # The engine's server of the protocol, in front of the embedded run-time.
    "platform/fedpro/server": ["platform/fedpro/messages", "platform/fedpro/protocol",
                               "platform/hla", "platform/rti",
                               "platform/links/embedded/RunTimeHost.h"],
    "platform/links": ["platform/hla"],
    "platform/links/embedded": ["platform/links", "platform/hla", "platform/rti"],
    "platform/links/hla13": ["platform/links", "platform/hla"],
    "platform/links/hla1516e": ["platform/links", "platform/hla"],
    "platform/links/hla4": ["platform/links", "platform/hla", "platform/fedpro/messages",
                            "platform/fedpro/protocol"],
    # The RTI links are plug-ins, loaded through platform/links/LinkLoader.h.
    "platform/provider": ["cao", "platform/engine", "platform/hla", "platform/links",
                          "platform/links/embedded", "platform/links/hla4"],
    "platform/bus/protocol": ["cao", "platform/engine"],
    "platform/bus/client": ["cao", "platform/engine", "platform/bus/protocol"],
    "platform/bus/service": ["cao", "platform/engine", "platform/bus/protocol",
                             "platform/provider", "platform/links/embedded/RunTimeHost.h",
                             "platform/fedpro/server/FedProServer.h",
                             "platform/fedpro/server/ServerOptions.h",
                             "platform/engine/TerminationSignals.h"],
    "platform/peer": ["cao", "messages/LogLine.h", "app/EngineChoice.h",
                      "platform/engine/TerminationSignals.h"],
    # Everything else may see everything.
    "tests": ["*"],
    "bench": ["*"],
    "fuzz": ["*"],
}

SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc"}
SKIPPED = {"build", "data", "docs", "scripts", "cmake", "debian"}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([A-Za-z_][A-Za-z0-9_]*/[^>"]*)[>"]')


def owner_of(path):
    """The deepest folder of the table that holds path ("a/b/c.h"), or None."""
    parts = path.split("/")[:-1]
    for depth in range(len(parts), 0, -1):
        folder = "/".join(parts[:depth])
        if folder in RULES:
            return folder
    return None


def granted(owner, path, target):
    allowed = RULES[owner]
    return target == owner or "*" in allowed or target in allowed or path in allowed


def describe(allowed):
    if not allowed:
        return "nothing outside itself"
    return "only " + ", ".join(a if "." in a else a + "/" for a in allowed)


def sources(root):
    for path in sorted(root.rglob("*")):
        relative = path.relative_to(root)
        top = relative.parts[0]
        if top.startswith(".") or top in SKIPPED:
            continue
        if path.suffix in SOURCE_SUFFIXES and path.is_file():
            yield path, relative.as_posix()


def check(root):
    faults = []
    unlisted = set()
    for file, relative in sources(root):
        owner = owner_of(relative)
        if owner is None:
            unlisted.add(relative.rsplit("/", 1)[0] if "/" in relative else ".")
            continue
        text = file.read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), start=1):
            match = INCLUDE.match(line)
            if not match:
                continue
            path = match.group(1)
            target = owner_of(path)
            if target is None or granted(owner, path, target):
                continue
            faults.append(f"{relative}:{number}: includes \"{path}\", but "
                          f"{owner}/ may see {describe(RULES[owner])}")
    for folder in sorted(unlisted):
        faults.insert(0, f"{folder}/: the folder has no entry in the include rules "
                         f"(RULES in {pathlib.Path(__file__).name}); add what it may see")
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
