#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless. Under CI
# (CI=true) warnings are errors. Where the user has an RTI installed (TANDREL_RTI_PREFIX, or one
# pkg-config finds), the RTI links are built against it too; their tests against its server run
# in .ci/hla13.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
source scripts/rti-env.sh
rti_find || { echo "test: $rti_reason" >&2; exit 1; }
werror=OFF
[ "${CI:-}" = true ] && werror=ON
rti=()
[ -n "$rti_prefix" ] && rti=(-DCMAKE_PREFIX_PATH="$rti_prefix")
cmake --preset default -DTANDREL_WERROR="$werror" "${rti[@]}"
cmake --build --preset default
# On a session bus of its own, so the engine tests start and stop engines of their own and
# never meet a user's.
TANDREL_TEST_REQUIRE_BUS=1 dbus-run-session -- ctest --preset default
