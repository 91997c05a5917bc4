#!/usr/bin/env python3
"""Runs scripts/check-includes.py on small trees, each with one include, and checks the verdict."""

import pathlib
import subprocess
import sys
import tempfile
import unittest

CHECKER = pathlib.Path(sys.argv.pop(1)) if len(sys.argv) > 1 else (
    pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check-includes.py")

# (file, its include, the line the checker must print; None where the include is granted)
CASES = [
    ("messages/MessageLog.cpp", "variables/TypedValues.h",
     'messages/MessageLog.cpp:3: includes "variables/TypedValues.h", but messages/ may see '
     "only cao/, ui/"),
    ("variables/Values.cpp", "ui/WidgetState.h", None),
    ("variables/Values.cpp", "app/frmMain.h", 'variables/Values.cpp:3: includes "app/frmMain.h"'),
    ("variables/Values.cpp", "platform/engine/Engine.h",
     'variables/Values.cpp:3: includes "platform/engine/Engine.h"'),
    ("platform/rti/RunTime.cpp", "cao/Variant.h",
     "platform/rti/ may see only platform/hla/"),
    ("platform/rti/RunTime.cpp", "platform/rti/Types.h", None),
    ("platform/rti/RunTime.cpp", "platform/hla/Types.h", None),
    ("platform/hla/Types.cpp", "platform/rti/RunTime.h",
     "platform/hla/ may see nothing outside itself"),
    # A subfolder with an entry of its own is a folder of its own, both ways.
    ("platform/links/hla13/Link.cpp", "platform/links/RunTimeLink.h", None),
    ("platform/links/hla13/Link.cpp", "platform/rti/RunTime.h",
     'platform/links/hla13/Link.cpp:3: includes "platform/rti/RunTime.h"'),
    ("platform/links/RunTimeLink.h", "platform/links/embedded/EmbeddedLink.h",
     "platform/links/ may see only platform/hla/"),
    ("platform/links/embedded/Link.cpp", "platform/rti/RunTime.h", None),
    ("platform/peer/main.cpp", "app/EngineChoice.h", None),
    ("platform/peer/main.cpp", "app/frmMain.h", 'platform/peer/main.cpp:3: includes "app/frmMain.h"'),
    ("platform/provider/Link.cpp", "ui/WidgetState.h",
     'platform/provider/Link.cpp:3: includes "ui/WidgetState.h"'),
    ("platform/engine/Engine.h", "platform/provider/HlaProvider.h",
     'platform/engine/Engine.h:3: includes "platform/provider/HlaProvider.h"'),
    ("platform/bus/service/main.cpp", "platform/provider/HlaProvider.h", None),
    ("platform/bus/client/Proxy.cpp", "platform/bus/service/EngineService.h",
     'platform/bus/client/Proxy.cpp:3: includes "platform/bus/service/EngineService.h"'),
    ("app/main.cpp", "platform/provider/HlaProvider.h", None),
    ("tests/ui/FormTest.cpp", "app/frmMain.h", None),
    ("ui/Form.cpp", "QtWidgets/QWidget", None),
    ("newfolder/Thing.cpp", "cao/Variant.h", "newfolder/: the folder has no entry"),
    ("platform/newlayer/Thing.cpp", "cao/Variant.h", "platform/newlayer/: the folder has no entry"),
]



def run_checker(root):
    return subprocess.run([sys.executable, str(CHECKER), str(root)], capture_output=True,
                          text=True, timeout=60)


class IncludeRules(unittest.TestCase):
    def test_each_include_gets_its_verdict(self):
        for file, include, fault in CASES:
            with self.subTest(file=file, include=include), tempfile.TemporaryDirectory() as tmp:
                path = pathlib.Path(tmp) / file
                path.parent.mkdir(parents=True)
                path.write_text(f'// one include\n\n#include "{include}"\n')
                result = run_checker(tmp)
                if fault is None:
                    self.assertEqual(result.returncode, 0, result.stderr)
                else:
                    self.assertEqual(result.returncode, 1, "a forbidden include passed")
                    self.assertIn(fault, result.stderr)

    def test_a_tree_with_no_sources_passes(self):
        with tempfile.TemporaryDirectory() as tmp:
            (pathlib.Path(tmp) / "data").mkdir()
            self.assertEqual(run_checker(tmp).returncode, 0)


if __name__ == "__main__":
    unittest.main()
