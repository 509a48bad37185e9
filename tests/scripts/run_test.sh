#!/usr/bin/env bash
# scripts/run builds the window optimised, even in a folder configured before without it: a
# folder configured as scripts/run configures it compiles the window's sources with -O2.
set -euo pipefail
source "$(dirname "$0")/../../scripts/common.sh"
travail="$(mktemp -d)"
trap 'rm -rf "$travail"' EXIT

echec() {
    echo "FAILED: $*" >&2
    exit 1
}
drapeaux() {
    grep -A3 "^build app/CMakeFiles/sillage.dir/sillage.cpp.o:" "$1/build.ninja" |
        sed -n 's/^ *FLAGS = //p'
}
optimise() { [[ " $(drapeaux "$1") " == *" -O2 "* ]]; }

# A fresh folder.
prepare_construction "$travail/neuf" "${OPTIONS_RUN[@]}"
optimise "$travail/neuf" || echec "a fresh build without -O2: $(drapeaux "$travail/neuf")"
# A folder configured for debugging first.
prepare_construction "$travail/debogage" -DCMAKE_BUILD_TYPE=Debug
! optimise "$travail/debogage" || echec "a Debug build reads as optimised"
prepare_construction "$travail/debogage" "${OPTIONS_RUN[@]}"
optimise "$travail/debogage" || echec "a build left without -O2: $(drapeaux "$travail/debogage")"
echo "scripts/run builds the window with: $(drapeaux "$travail/neuf")"
