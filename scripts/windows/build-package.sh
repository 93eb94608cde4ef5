#!/usr/bin/env bash
# Makes the Windows release on Debian: the portable zip vantrel-VERSION-win64.zip and the
# installer vantrel-VERSION-setup.exe (NSIS), both in OUT_DIR. Installs what it needs
# (scripts/install-deps.sh --with-windows), finds Qt for mingw-w64 or builds it once
# (scripts/windows/find-qt-mingw.sh --build), and cross-builds vantrel.exe with its window.
#
# The zip holds vantrel.exe, exactly the DLLs it loads (the Qt and mingw runtime DLLs it and its
# plugins import, and the plugins Qt loads at run time: the windows platform, the Vista style and
# the ico image format), the help document and LICENSE. The installer installs the same files.
#
# Usage: scripts/windows/build-package.sh OUT_DIR     (run as root)
#   VANTREL_WIN_BUILD   a configured Windows build with the window to take vantrel.exe from
#                       (the test command's); default: a build of its own in build-win-package/
#   VANTREL_JOBS        parallel build jobs (default 2)
# Prints the paths of the two files.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
[[ $# -eq 1 ]] || { echo "usage: build-package.sh OUT_DIR" >&2; exit 2; }
mkdir -p "$1"
out="$(cd "$1" && pwd)"
jobs="${VANTREL_JOBS:-2}"
triple=x86_64-w64-mingw32

say() { echo "build-package: $*" >&2; }
die() { say "$*"; exit 1; }

bash "$root/scripts/install-deps.sh" --with-windows >&2
version="$(sed -n 's/^project(Vantrel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[[ -n "$version" ]] || die "no version in CMakeLists.txt"

build="${VANTREL_WIN_BUILD:-}"
if [[ -z "$build" ]]; then
    # Optimised as the tested build is (-O2; GCC 12's -O3 warns falsely of overlapping copies in
    # std::string), its debugging symbols stripped below.
    build="$root/build-win-package"
    qt="$(bash "$here/find-qt-mingw.sh" --build)"
    mhd="$(bash "$here/find-mhd-mingw.sh")"
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=ON -DVANTREL_BUILD_TESTS=OFF \
        -DVANTREL_QT_MINGW="$qt" -DVANTREL_MHD_MINGW="$mhd" >&2
fi
cmake --build "$build" --target vantrel -j"$jobs" >&2
qt="$(sed -n 's/^VANTREL_QT_MINGW:PATH=//p' "$build/CMakeCache.txt")"
[[ -n "$qt" && -f "$qt/bin/Qt6Core.dll" ]] || die "$build is no Windows build with the window"

staging="$(mktemp -d /tmp/vantrel-package.XXXXXX)"
trap 'rm -rf "$staging"' EXIT
name="vantrel-$version-win64"
dir="$staging/$name"
mkdir -p "$dir"

# The folders a DLL may come from: Qt's, then the compiler's runtime.
dll_dirs=("$qt/bin")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    path="$("$triple-g++-posix" -print-file-name="$dll")"
    [[ -f "$path" ]] || die "the mingw-w64 compiler knows no $dll"
    dll_dirs+=("$(dirname "$(readlink -f "$path")")")
done
find_dll() {
    local d
    for d in "${dll_dirs[@]}"; do
        [[ -f "$d/$1" ]] && { echo "$d/$1"; return 0; }
    done
    return 1  # a system DLL of Windows
}
# add_imports FILE: copies beside the program every DLL that FILE imports, and theirs in turn,
# that is not part of Windows.
add_imports() {
    local dll source
    for dll in $("$triple-objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p'); do
        [[ -f "$dir/$dll" ]] && continue
        source="$(find_dll "$dll")" || continue
        # The compiler's runtime DLLs come with their debugging symbols: 30 MB of them.
        "$triple-strip" --strip-unneeded -o "$dir/$dll" "$source"
        add_imports "$dir/$dll"
    done
}

"$triple-strip" -o "$dir/vantrel.exe" "$build/src/app/vantrel.exe"
add_imports "$dir/vantrel.exe"
# The plugins Qt loads by name at run time, which no import table shows.
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll; do
    mkdir -p "$dir/$(dirname "$plugin")"
    cp "$qt/plugins/$plugin" "$dir/$plugin"
    add_imports "$dir/$plugin"
done
cp "$root/docs/Vantrel.html" "$dir/Vantrel.html"
# Windows' own editor wants CRLF line ends.
sed 's/$/\r/' "$root/LICENSE" >"$dir/LICENSE.txt"

zip="$out/$name.zip"
rm -f "$zip"
(cd "$staging" && find "$name" -print | LC_ALL=C sort | zip -X -9 -q "$zip" -@)

# The installer takes the same files; its script lists them for install and uninstall alike.
files="$staging/files.nsh"
: >"$files"
(cd "$dir" && find . -type f | LC_ALL=C sort) | while read -r file; do
    file="${file#./}"
    printf '!insertmacro VANTREL_FILE "%s" "%s"\n' "${file//\//\\}" "$dir/$file" >>"$files"
done
setup="$out/vantrel-$version-setup.exe"
makensis -V2 -NOCD -DVERSION="$version" -DFILES="$files" -DOUT_FILE="$setup" \
    -DICON="$build/packaging/windows/vantrel.ico" "$root/packaging/windows/vantrel.nsi" >&2
echo "$zip"
echo "$setup"
