#!/usr/bin/env bash
# Builds the Debian package tandrel into build/package and prints its path on its last line:
#
#   bash scripts/package.sh
#   sudo apt install ./build/package/tandrel_*.deb
#
# Only the programs and the manual pages are compiled (the package preset: optimised, into
# /usr, no tests), with Debian's hardening flags; CPack strips them and computes the package's
# dependencies with dpkg-shlibdeps. The run-time links to an RTI are not packaged: they come from
# a build of the source against the user's own RTI. Under CI (CI=true) warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

fail() {
    echo "package: $*" >&2
    exit 1
}

bash scripts/install-deps.sh packaging

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
cmake --build --preset package

rm -f build/package/*.deb
cpack --preset package > build/package-cpack.log ||
    { cat build/package-cpack.log >&2; fail "CPack could not make the packages (output above)"; }

debs=$(ls build/package/*.deb 2> /dev/null || true)
deb=$(ls build/package/tandrel_*.deb 2> /dev/null || true)
[ -n "$deb" ] && [ "$debs" = "$deb" ] && [ "$(echo "$deb" | wc -l)" -eq 1 ] ||
    fail "CPack made not just the one package tandrel in build/package, but \"$debs\"" \
        "(see build/package-cpack.log)"
echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"
echo "$repo/$deb"
