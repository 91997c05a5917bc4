#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless. Under CI
# (CI=true) warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
werror=OFF
[ "${CI:-}" = true ] && werror=ON
# With OpenRTI built beside (scripts/build-openrti.sh), the RTI links are built and tested too.
rti=()
[ -x build/openrti/prefix/bin/rtinode ] && rti=(-DCMAKE_PREFIX_PATH="$PWD/build/openrti/prefix")
cmake --preset default -DTANDREL_WERROR="$werror" "${rti[@]}"
cmake --build --preset default
# On a session bus of its own, so the engine tests start and stop engines of their own and
# never meet a user's.
TANDREL_TEST_REQUIRE_BUS=1 dbus-run-session -- ctest --preset default
