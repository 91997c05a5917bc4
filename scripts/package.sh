#!/usr/bin/env bash
# Builds the Debian packages tandrel and tandrel-openrti into build/package and prints the path
# of tandrel's on its last line:
#
#   bash scripts/package.sh                 # OpenRTI cloned from its public repository
#   bash scripts/package.sh OpenRTI-814a210978b7.tar.gz
#   sudo apt install ./build/package/tandrel_*.deb ./build/package/tandrel-openrti_*.deb
#
# OpenRTI comes from build/openrti when scripts/build-openrti.sh has built it there already (CI's
# OpenRTI phase does); a snapshot of it may be given as the argument or in
# TANDREL_OPENRTI_SNAPSHOT. Only the programs, the plug-ins and the manual pages are compiled (the
# package preset: optimised, into /usr, no tests), with Debian's hardening flags; CPack strips
# them and computes the packages' dependencies with dpkg-shlibdeps. Under CI (CI=true) warnings
# are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

fail() {
    echo "package: $*" >&2
    exit 1
}

bash scripts/install-deps.sh packaging

prefix=$(bash scripts/build-openrti.sh "$@" | tail -n 1)
# The package preset takes OpenRTI from there.
[ "$prefix" = "$repo/build/openrti/prefix" ] ||
    fail "scripts/build-openrti.sh installed OpenRTI into $prefix, not build/openrti/prefix"

werror=OFF
[ "${CI:-}" = true ] && werror=ON
# Debian's flags for packages, hardening included, and its -O2 for CMake's -O3 (at which GCC 12
# warns of overlaps std::string cannot have); without debugging information, which is stripped
# anyway.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags=$(echo " $(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) " |
    sed -E 's/ -g / /g; s/^ +//; s/ +$//')
ldflags=$(dpkg-buildflags --get LDFLAGS)

mkdir -p build
log=build/package-configure.log
cmake --preset package -DTANDREL_WERROR="$werror" \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" \
    -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" > "$log" ||
    { cat "$log" >&2; fail "configuring the package preset failed (output above, and in $log)"; }
grep -E "run-time: |Run-time links: " "$log" || true
for line in "HLA 1.3 run-time: built against" "IEEE 1516-2010 run-time: built against"; do
    grep -q "$line" "$log" ||
        fail "build/package was configured without \"$line\" $prefix, so tandrel-openrti would" \
            "lack its plug-in (see $log)"
done
cmake --build --preset package

rm -f build/package/*.deb
cpack --preset package > build/package-cpack.log ||
    { cat build/package-cpack.log >&2; fail "CPack could not make the packages (output above)"; }

main=""
for name in tandrel-openrti tandrel; do
    deb=$(ls build/package/"${name}"_*.deb 2> /dev/null || true)
    [ -n "$deb" ] && [ "$(echo "$deb" | wc -l)" -eq 1 ] ||
        fail "CPack made no single package $name in build/package (see build/package-cpack.log)"
    echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"
    main=$repo/$deb
done
echo "$main"
