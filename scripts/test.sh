#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless. Under CI
# (CI=true) warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
werror=OFF
[ "${CI:-}" = true ] && werror=ON
cmake --preset default -DTANDREL_WERROR="$werror"
cmake --build --preset default
# On a session bus of its own, so the engine tests start and stop engines of their own and
# never meet a user's.
TANDREL_TEST_REQUIRE_BUS=1 dbus-run-session -- ctest --preset default
