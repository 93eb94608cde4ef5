#!/usr/bin/env bash
# Prints the folder of Qt for mingw-w64 (the one holding lib/cmake/Qt6) that the Windows build
# uses, making it ready first when needed. It is looked for, in this order:
#   1. VANTREL_QT_MINGW: such a folder, or an archive of it (qt6-mingw-*.tar.xz);
#   2. ../shared/windows/qt6-mingw-6.4.2-x86_64.tar.xz beside the checkout;
#   3. a Qt built earlier by scripts/windows/build-qt-mingw.sh into the cache;
#   4. with --build only: built now by that script (about 1-1.5 hours on 2 cores).
# Archives are unpacked once into the cache, a folder per archive content, never per run.
#
# Usage: find-qt-mingw.sh [--build]
#   VANTREL_CACHE_DIR   the cache, outside the repository (default /var/cache/vantrel for root,
#                       else ~/.cache/vantrel: never a folder that other users may write to)
# Exits with 1, saying why, when no Qt for mingw is to be had.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
if [[ $(id -u) -eq 0 ]]; then
    cache="${VANTREL_CACHE_DIR:-/var/cache/vantrel}"
else
    cache="${VANTREL_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vantrel}"
fi
archive_name=qt6-mingw-6.4.2-x86_64.tar.xz

say() { echo "find-qt-mingw: $*" >&2; }

is_qt() { [[ -f "$1/lib/cmake/Qt6/Qt6Config.cmake" ]]; }

# unpack ARCHIVE: unpacks it into the cache unless its content is there already, and prints the
# Qt folder. Unpacked into a temporary folder and renamed, so that an interrupted run leaves no
# half folder that a later one would take for whole.
unpack() {
    local archive="$1" sum target staging
    sum="$(sha256sum "$archive" | cut -c1-16)"
    target="$cache/qt6-mingw-$sum"
    if ! is_qt "$target/qt6-mingw"; then
        say "unpacking $archive into $target (once)"
        mkdir -p "$cache"
        staging="$(mktemp -d "$cache/.unpack.XXXXXX")"
        tar -xJf "$archive" -C "$staging"
        is_qt "$staging/qt6-mingw" || { rm -rf "$staging"; say "$archive holds no qt6-mingw/"; exit 1; }
        rm -rf "$target"
        mv "$staging" "$target"
    fi
    echo "$target/qt6-mingw"
}

if [[ -n "${VANTREL_QT_MINGW:-}" ]]; then
    if [[ -d "$VANTREL_QT_MINGW" ]]; then
        is_qt "$VANTREL_QT_MINGW" || { say "VANTREL_QT_MINGW=$VANTREL_QT_MINGW holds no Qt 6"; exit 1; }
        (cd "$VANTREL_QT_MINGW" && pwd)
    elif [[ -f "$VANTREL_QT_MINGW" ]]; then
        unpack "$VANTREL_QT_MINGW"
    else
        say "VANTREL_QT_MINGW=$VANTREL_QT_MINGW is neither a folder nor an archive"
        exit 1
    fi
    exit 0
fi

beside="$root/../shared/windows/$archive_name"
if [[ -f "$beside" ]]; then
    unpack "$(cd "$(dirname "$beside")" && pwd)/$archive_name"
    exit 0
fi

built="$cache/qt6-mingw-built/qt6-mingw"
if ! is_qt "$built" && [[ "${1:-}" == --build ]]; then
    say "no Qt for mingw at hand: building it from Debian's qt6-base source (1-1.5 hours)"
    bash "$here/build-qt-mingw.sh" "$cache/qt6-mingw-build" >&2
    rm -rf "$cache/qt6-mingw-built"
    mkdir -p "$cache/qt6-mingw-built"
    tar -xJf "$cache/qt6-mingw-build/$archive_name" -C "$cache/qt6-mingw-built"
fi
if is_qt "$built"; then
    echo "$built"
    exit 0
fi
say "no Qt for mingw: set VANTREL_QT_MINGW, put $archive_name in ../shared/windows/ beside the"
say "checkout, or build it once with scripts/windows/build-qt-mingw.sh (or find-qt-mingw.sh --build)"
exit 1
