#!/usr/bin/env bash
# Prints the folder of libmicrohttpd for mingw-w64 (include/microhttpd.h, lib/libmicrohttpd.a)
# that the Windows build serves web pages with ("vantrel --serve"), building it first when the
# cache has none: Debian 12's own libmicrohttpd source package, the version the Linux build links,
# cross-compiled as a static library without HTTPS (the endpoint listens on the loopback
# interface only). About a minute on 2 cores, once per cache.
#
# Usage: find-mhd-mingw.sh
#   VANTREL_MHD_MINGW   such a folder, taken as it is
#   VANTREL_CACHE_DIR   the cache, outside the repository (default /var/cache/vantrel for root,
#                       else ~/.cache/vantrel: never a folder that other users may write to)
# Exits with 1, saying why, when it cannot be had.
set -euo pipefail

version=0.9.75
debian_version=0.9.75-6
if [[ $(id -u) -eq 0 ]]; then
    cache="${VANTREL_CACHE_DIR:-/var/cache/vantrel}"
else
    cache="${VANTREL_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vantrel}"
fi
target="$cache/mhd-mingw-$debian_version"

say() { echo "find-mhd-mingw: $*" >&2; }
is_mhd() { [[ -f "$1/include/microhttpd.h" && -f "$1/lib/libmicrohttpd.a" ]]; }

if [[ -n "${VANTREL_MHD_MINGW:-}" ]]; then
    is_mhd "$VANTREL_MHD_MINGW" || { say "VANTREL_MHD_MINGW=$VANTREL_MHD_MINGW holds no libmicrohttpd"; exit 1; }
    (cd "$VANTREL_MHD_MINGW" && pwd)
    exit 0
fi
if is_mhd "$target"; then
    echo "$target"
    exit 0
fi

[[ $(id -u) -eq 0 ]] || { say "building it needs root (apt-get); or give VANTREL_MHD_MINGW"; exit 1; }
say "building libmicrohttpd $debian_version for mingw-w64 into $target (once)"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq gcc-mingw-w64-x86-64-posix make dpkg-dev xz-utils >/dev/null
mkdir -p "$cache"
work="$(mktemp -d "$cache/.mhd-build.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cd "$work"
# Source packages come from the same Debian archive as the binary ones.
if ! apt-get source --download-only "libmicrohttpd=$debian_version" >source.log 2>&1; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        >/etc/apt/sources.list.d/debian-src.sources
    apt-get update -qq
    apt-get source --download-only "libmicrohttpd=$debian_version" >source.log 2>&1 ||
        { cat source.log >&2; say "Debian's libmicrohttpd source could not be had"; exit 1; }
fi
tar -xJf "libmicrohttpd_$version.orig.tar.xz"
cd "libmicrohttpd-$version"
CC=x86_64-w64-mingw32-gcc-posix ./configure --host=x86_64-w64-mingw32 --prefix="$work/out" \
    --enable-static --disable-shared --disable-https --without-gnutls --disable-curl \
    --disable-doc --disable-examples --disable-nls >"$work/configure.log" 2>&1 ||
    { tail -20 "$work/configure.log" >&2; say "configure failed"; exit 1; }
{ make -C src/microhttpd -j2 && make -C src/microhttpd install && make -C src/include install; } \
    >"$work/make.log" 2>&1 || { tail -20 "$work/make.log" >&2; say "the build failed"; exit 1; }
is_mhd "$work/out" || { say "the build made no library"; exit 1; }
# Renamed into place whole, so that an interrupted run leaves no half folder behind.
rm -rf "$target"
mv "$work/out" "$target"
echo "$target"
