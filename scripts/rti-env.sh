# Sourced by the scripts that build or test against an RTI the user has installed: finds it and
# points pkg-config and CMake at it. An RTI is never built here; it is the user's own.
#
#   TANDREL_RTI_PREFIX=/opt/openrti bash scripts/test.sh   # an RTI installed at a prefix
#   PKG_CONFIG_PATH=/opt/openrti/lib/pkgconfig bash ...    # or one pkg-config finds
#
# After rti_find: rti_prefix is the RTI's prefix, or empty with rti_reason saying why there is
# none. A TANDREL_RTI_PREFIX that is set but unusable makes rti_find fail with its reason.

rti_prefix=""
rti_reason=""

# The pkg-config modules the RTI links are built against, one per interface.
readonly rti_modules=(hla-rti13 hla-rti1516e)

rti_find() {
    if [ -n "${TANDREL_RTI_PREFIX:-}" ]; then
        local prefix=$TANDREL_RTI_PREFIX dirs=() dir module
        [ -d "$prefix" ] || { rti_reason="TANDREL_RTI_PREFIX=$prefix is no directory"; return 1; }
        for dir in "$prefix"/lib*/pkgconfig "$prefix"/lib/*/pkgconfig; do
            [ -d "$dir" ] && dirs+=("$dir")
        done
        ((${#dirs[@]})) || {
            rti_reason="TANDREL_RTI_PREFIX=$prefix has no lib*/pkgconfig directory: install the RTI there with its pkg-config files"
            return 1
        }
        PKG_CONFIG_PATH=$(IFS=:; echo "${dirs[*]}")${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH}
        export PKG_CONFIG_PATH
        for module in "${rti_modules[@]}"; do
            pkg-config --exists "$module" || {
                rti_reason="TANDREL_RTI_PREFIX=$prefix has no $module.pc in ${dirs[*]}"
                return 1
            }
        done
        rti_prefix=$(cd "$prefix" && pwd)
        return 0
    fi
    local module
    for module in "${rti_modules[@]}"; do
        if ! pkg-config --exists "$module" 2> /dev/null; then
            rti_reason="no RTI is installed: pkg-config finds no $module (set TANDREL_RTI_PREFIX to an RTI's prefix, or PKG_CONFIG_PATH to its pkgconfig directory)"
            return 0
        fi
    done
    rti_prefix=$(pkg-config --variable=prefix "${rti_modules[0]}")
    return 0
}
