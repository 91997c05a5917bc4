#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
# On a session bus of its own, so the engine tests start and stop engines of their own and
# never meet a user's.
TANDREL_TEST_REQUIRE_BUS=1 dbus-run-session -- ctest --preset default
