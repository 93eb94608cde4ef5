#!/usr/bin/env bash
# Builds the Debian package: a Release build without the tests, then `cpack -G DEB`. The build's
# and cpack's messages go to standard error; standard output gets only the path of the .deb, so
#   deb="$(scripts/package-deb.sh)"
# works. Needs dpkg-dev (dpkg-shlibdeps works out the package's dependencies).
#
# Usage: scripts/package-deb.sh [BUILD_DIR]   (default: build-deb/ in the repository)
#   VANTREL_JOBS   parallel build jobs (default 2)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-deb}"
jobs="${VANTREL_JOBS:-2}"

if ! command -v dpkg-shlibdeps >/dev/null; then
    echo "package-deb: dpkg-shlibdeps is missing (install dpkg-dev)" >&2
    exit 1
fi

{
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF \
        -DCMAKE_STRIP="$root/scripts/deb-strip.sh"
    cmake --build "$build" -j"$jobs"
} >&2

# A fresh output directory, so that exactly one package is found in it afterwards.
out="$build/packages"
rm -rf "$out"
(cd "$build" && cpack -G DEB -B "$out") >&2

shopt -s nullglob
debs=("$out"/vantrel_*.deb)
if ((${#debs[@]} != 1)); then
    echo "package-deb: expected one vantrel_*.deb in $out, found ${#debs[@]}" >&2
    exit 1
fi
echo "${debs[0]}"
