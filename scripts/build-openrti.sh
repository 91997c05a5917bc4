#!/usr/bin/env bash
# Builds OpenRTI, the HLA 1.3 run-time CI links against, from the source snapshot kept beside
# the repository, and installs it into build/openrti/prefix. Only what Tandrel uses is built:
# the 1.3 libraries and the server rtinode (no OpenRTI tests, no 1516 interfaces, no Python).
# A second run finds the stamp and does nothing.
#
#   bash scripts/build-openrti.sh           # prints the prefix on its last line
#   TANDREL_OPENRTI_SNAPSHOT=/path/OpenRTI-<rev>.tar.gz bash scripts/build-openrti.sh
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

snapshot=${TANDREL_OPENRTI_SNAPSHOT:-$repo/../shared/vendor/OpenRTI-814a210978b7.tar.gz}
dest=$repo/build/openrti
prefix=$dest/prefix
stamp=$dest/built.stamp

# The stamp names the snapshot it was built from, so a new snapshot builds again.
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(basename "$snapshot")" ] &&
    [ -x "$prefix/bin/rtinode" ]; then
    echo "build-openrti: already built from $(basename "$snapshot")"
    echo "$prefix"
    exit 0
fi

if [ ! -f "$snapshot" ]; then
    echo "build-openrti: no OpenRTI snapshot at $snapshot;" \
        "put the shared folder beside the repository or set TANDREL_OPENRTI_SNAPSHOT" >&2
    exit 1
fi
snapshot=$(cd "$(dirname "$snapshot")" && pwd)/$(basename "$snapshot")

rm -rf "$dest/source" "$dest/build" "$prefix" "$stamp"
mkdir -p "$dest/source"
tar -xzf "$snapshot" -C "$dest/source" --strip-components=1

cmake -S "$dest/source" -B "$dest/build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_TESTING=OFF \
    -DOPENRTI_ENABLE_RTI13=ON \
    -DOPENRTI_ENABLE_RTI1516=OFF \
    -DOPENRTI_ENABLE_RTI1516E=OFF \
    -DOPENRTI_ENABLE_PYTHON_BINDINGS=OFF \
    -DOPENRTI_INSTALL_WITH_RPATH=ON \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON > "$dest/configure.log" ||
    {
        tail -n 40 "$dest/configure.log" >&2
        echo "build-openrti: configuring OpenRTI failed (full output in $dest/configure.log)" >&2
        exit 1
    }
# OpenRTI's own tests are always part of its build tree; building only the installed targets
# leaves them out.
cmake --build "$dest/build" --target OpenRTI RTI-NG FedTime rtinode
cmake --install "$dest/build" > "$dest/install.log"

if [ ! -x "$prefix/bin/rtinode" ] || ! ls "$prefix"/lib*/pkgconfig/hla-rti13.pc > /dev/null 2>&1; then
    echo "build-openrti: the install in $prefix lacks rtinode or hla-rti13.pc" >&2
    exit 1
fi
basename "$snapshot" > "$stamp"
echo "build-openrti: built and installed into $prefix"
echo "$prefix"
