#!/usr/bin/env bash
# Builds OpenRTI, the RTI the run-time links are built against, tested with and packaged with,
# beside Tandrel in build/openrti (never in the source tree), and installs it into
# build/openrti/prefix. Only what Tandrel uses is built: the libraries of the HLA 1.3 and the
# IEEE 1516-2010 interfaces and the server rtinode (no OpenRTI tests, no 1516-2000 interface,
# no Python). A second run finds the stamp and does nothing.
#
# The source is one fixed revision of OpenRTI: from a snapshot when one is given (its checksum
# is checked), else cloned from OpenRTI's public repository.
#
#   bash scripts/build-openrti.sh                       # clones; prints the prefix last
#   bash scripts/build-openrti.sh OpenRTI-814a210978b7.tar.gz
#   TANDREL_OPENRTI_SNAPSHOT=/path/OpenRTI-814a210978b7.tar.gz bash scripts/build-openrti.sh
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

# A mirror of the project's SourceForge repository.
readonly repository=https://github.com/onox/OpenRTI.git
readonly revision=814a210978b7faafd65affbe70a2e25679921b23
readonly snapshot_sha256=41851d4bf9b9e699677e7b9e135bd9e6f7e5bff27f69428a1005b9e4c92d380b

fail() {
    echo "build-openrti: $*" >&2
    exit 1
}

snapshot=${1:-${TANDREL_OPENRTI_SNAPSHOT:-}}
dest=$repo/build/openrti
prefix=$dest/prefix
stamp=$dest/built.stamp

# The stamp names the revision and the interfaces it was built with, so another revision, or an
# install from before the 2010 interface was built, builds again.
readonly interfaces="rti13+rti1516e"
readonly built="OpenRTI $revision $interfaces"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$built" ] && [ -x "$prefix/bin/rtinode" ]; then
    echo "build-openrti: already built from revision ${revision:0:12}"
    echo "$prefix"
    exit 0
fi

if [ -n "$snapshot" ]; then
    [ -f "$snapshot" ] || fail "no OpenRTI snapshot at $snapshot"
    sum=$(sha256sum "$snapshot" | cut -d' ' -f1)
    [ "$sum" = "$snapshot_sha256" ] ||
        fail "$snapshot has the SHA-256 sum $sum, not $snapshot_sha256 of OpenRTI's revision" \
            "${revision:0:12}: it is another revision or damaged"
fi

rm -rf "$dest/source" "$dest/build" "$prefix" "$stamp"
mkdir -p "$dest/source"
if [ -n "$snapshot" ]; then
    tar -xzf "$snapshot" -C "$dest/source" --strip-components=1
    echo "build-openrti: building revision ${revision:0:12} from $snapshot"
else
    command -v git > /dev/null ||
        fail "cloning OpenRTI needs git (apt-get install git), or give a snapshot"
    # A stalled transfer is given up after a minute, the whole clone after fifteen.
    timeout 900 git -c http.lowSpeedLimit=1000 -c http.lowSpeedTime=60 \
        clone --quiet "$repository" "$dest/source" ||
        fail "could not clone $repository within 15 minutes; without a network, give a" \
            "snapshot as the argument or in TANDREL_OPENRTI_SNAPSHOT"
    git -C "$dest/source" checkout --quiet --detach "$revision" ||
        fail "$repository has no revision $revision"
    echo "build-openrti: building revision ${revision:0:12} cloned from $repository"
fi

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
        fail "configuring OpenRTI failed (full output in $dest/configure.log)"
    }
# OpenRTI's own tests are always part of its build tree; building only the installed targets
# leaves them out.
cmake --build "$dest/build" --target OpenRTI RTI-NG FedTime rti1516e fedtime1516e rtinode
cmake --install "$dest/build" > "$dest/install.log"

if [ ! -x "$prefix/bin/rtinode" ] || ! ls "$prefix"/lib*/pkgconfig/hla-rti13.pc > /dev/null 2>&1 ||
    ! ls "$prefix"/lib*/pkgconfig/hla-rti1516e.pc > /dev/null 2>&1; then
    fail "the install in $prefix lacks rtinode, hla-rti13.pc or hla-rti1516e.pc"
fi
# OpenRTI carries an old XML parser of its own for systems without one; the package is to use
# Debian's, whose licence and updates are Debian's.
readelf -d "$prefix"/lib*/libOpenRTI.so | grep -q 'NEEDED.*libexpat' ||
    fail "OpenRTI was built with its own XML parser: install libexpat1-dev" \
        "(bash scripts/install-deps.sh) and run this again"

# What the package tandrel-openrti says of it: the revision, its licence and the copyright
# lines of the sources built (the bundled XML parser left out, as it is not built).
doc=$prefix/share/doc/OpenRTI
mkdir -p "$doc"
echo "$revision" > "$doc/REVISION"
cp "$dest/source/LICENSE" "$doc/LICENSE"
grep -rhoE 'Copyright \([Cc]\) [0-9][^*]*' "$dest/source/src" "$dest/source/include" \
    --exclude-dir=xml --exclude-dir=rti1516 |
    sed -E 's/[^[:alnum:].]+$//' | sort -u > "$doc/COPYRIGHT"
[ -s "$doc/COPYRIGHT" ] || fail "found no copyright lines in OpenRTI's sources in $dest/source"

echo "$built" > "$stamp"
echo "build-openrti: built and installed into $prefix"
echo "$prefix"
