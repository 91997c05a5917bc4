#!/usr/bin/env bash
# Installs what is missing, builds Tandrel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target tandrel
exec ./build/default/app/tandrel "$@"
