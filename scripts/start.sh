#!/usr/bin/env bash
# Installs what is missing, builds Tandrel and its engine and starts a window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target tandrel tandrel-engine

# The engine serves every window of the user on the session bus; a desktop session has one.
# A console or remote login may not: then start one at a fixed place, so that the next
# window started this way finds the same bus and the same engine.
bus_reachable() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetId >/dev/null 2>&1
}
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    runtime="${XDG_RUNTIME_DIR:-/tmp/tandrel-$(id -u)}"
    mkdir -p "$runtime"
    chmod 700 "$runtime"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus"
    if ! bus_reachable; then
        rm -f "$runtime/bus"
        pid=$(dbus-daemon --session --address="$DBUS_SESSION_BUS_ADDRESS" --fork --print-pid)
        echo "Started a D-Bus session bus at $runtime/bus (PID $pid); stop it with kill $pid"
    fi
fi
exec ./build/default/app/tandrel "$@"
