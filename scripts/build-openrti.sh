#!/usr/bin/env bash
# Builds OpenRTI, the RTI CI builds the run-time links against, from the source snapshot kept
# beside the repository, and installs it into build/openrti/prefix. Only what Tandrel uses is
# built: the libraries of the HLA 1.3 and the IEEE 1516-2010 interfaces and the server rtinode
# (no OpenRTI tests, no 1516-2000 interface, no Python). A second run finds the stamp and does
# nothing.
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

# The stamp names the snapshot and the interfaces it was built with, so a new snapshot, or an
# install from before the 2010 interface was built, builds again.
readonly interfaces="rti13+rti1516e"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(basename "$snapshot") $interfaces" ] &&
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
    -DOPENRTI_ENABLE_RTI1516E=ON \
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
cmake --build "$dest/build" --target OpenRTI RTI-NG FedTime rti1516e fedtime1516e rtinode
cmake --install "$dest/build" > "$dest/install.log"

if [ ! -x "$prefix/bin/rtinode" ] || ! ls "$prefix"/lib*/pkgconfig/hla-rti13.pc > /dev/null 2>&1 ||
    ! ls "$prefix"/lib*/pkgconfig/hla-rti1516e.pc > /dev/null 2>&1; then
    echo "build-openrti: the install in $prefix lacks rtinode, hla-rti13.pc or hla-rti1516e.pc" >&2
    exit 1
fi
echo "$(basename "$snapshot") $interfaces" > "$stamp"
echo "build-openrti: built and installed into $prefix"
echo "$prefix"
