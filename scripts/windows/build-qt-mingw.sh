#!/usr/bin/env bash
# Builds Qt 6.4.2 (qtbase: Core, Gui, Widgets, Test; the windows, offscreen and minimal
# platform plugins, the Windows styles, the ico/gif image formats) for 64-bit Windows with
# Debian 12's mingw-w64 (posix threads), from Debian's own qt6-base source package, and packs it
# as qt6-mingw-6.4.2-x86_64.tar.xz. Debian's host Qt 6.4.2 (moc, rcc, uic) serves as the host
# tools, so the versions must match. About 1-1.5 hours on 2 cores.
#
# The Windows build finds what it makes through scripts/windows/find-qt-mingw.sh, which also runs
# it (find-qt-mingw.sh --build, or scripts/windows/build-package.sh with no Qt at hand); the
# archive can as well be handed to other machines as VANTREL_QT_MINGW. The test command never
# builds Qt: it takes a Qt unpacked or built once.
#
# Usage: build-qt-mingw.sh [WORK_DIR]   (default /tmp/qt6-mingw-build; run as root on Debian 12)
# Prints the archive's path, WORK_DIR/qt6-mingw-6.4.2-x86_64.tar.xz; it unpacks to qt6-mingw/.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="${1:-/tmp/qt6-mingw-build}"
mkdir -p "$work" && cd "$work"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools ninja-build cmake dpkg-dev xz-utils >/dev/null
if [[ ! -d qtbase-everywhere-src-6.4.2 ]]; then
    # Source packages come from the same Debian archive as the binary ones.
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >/etc/apt/sources.list.d/debian-src.sources
    apt-get update -qq
    apt-get source --download-only qt6-base=6.4.2+dfsg-10
    tar xf qt6-base_6.4.2+dfsg.orig.tar.xz
fi
# Debian's source ships without Qt's bundled Wintab header, which the windows platform plugin's
# tablet support includes; minimal headers of our own, with only what the plugin uses, stand in.
mkdir -p qtbase-everywhere-src-6.4.2/src/3rdparty/wintab
cp -n "$here/qt-mingw/wintab.h" "$here/qt-mingw/pktdef.h" qtbase-everywhere-src-6.4.2/src/3rdparty/wintab/
# Without Direct2D, Gui has no DirectWrite font database, but Qt 6.4's windows plugin still asks
# for it when DirectWrite 3 is there; let the plugin ask only when Gui has it.
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    qtbase-everywhere-src-6.4.2/src/plugins/platforms/windows/qwindowsintegration.cpp
cat >mingw.cmake <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
cmake -G Ninja -S qtbase-everywhere-src-6.4.2 -B build \
    -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$work/qt6-mingw" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_dbus=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_icu=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_jpeg=OFF \
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite=ON >configure.log
nice -n 10 cmake --build build --parallel 2
cmake --install build >install.log
x86_64-w64-mingw32-strip --strip-unneeded qt6-mingw/bin/*.dll qt6-mingw/plugins/*/*.dll
tar cf - qt6-mingw | xz -T2 -6 >qt6-mingw-6.4.2-x86_64.tar.xz
echo "$work/qt6-mingw-6.4.2-x86_64.tar.xz"
