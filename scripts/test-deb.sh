#!/usr/bin/env bash
# Tests the Debian package the way a user gets it: builds it (scripts/package-deb.sh), installs it
# with apt-get, checks what it installed, runs the installed program as an ordinary user, and
# removes the package again. The removal also happens when a check fails or the script is
# interrupted, together with any package apt-get brought in for it, so the machine is left as it
# was. Run as root. The last line is "test-deb: N passed, M failed"; the exit status is 0 only
# when every check passed.
#
# Usage: scripts/test-deb.sh [BUILD_DIR]   (default: build-deb/ in the repository)
#   VANTREL_JOBS   parallel build jobs (default 2)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-deb}"

if [[ $(id -u) -ne 0 ]]; then
    echo "test-deb: run as root (it installs and removes the vantrel package)" >&2
    exit 1
fi

version="$(sed -n 's/^project(Vantrel VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
if [[ -z "$version" ]]; then
    echo "test-deb: no version in the project() line of CMakeLists.txt" >&2
    exit 1
fi

apt_options=(-y -o DPkg::Lock::Timeout=300)
# What the package installs, as the paths dpkg lists.
expected_files=(
    /usr/bin/vantrel
    /usr/lib/vantrel/vantrel-window.so
    /usr/share/vantrel/Vantrel.html
    /usr/share/applications/vantrel.desktop
    /usr/share/icons/hicolor/scalable/apps/vantrel.svg
    /usr/share/metainfo/vantrel.metainfo.xml
)

passed=0
failed=0
# check DESCRIPTION COMMAND...: runs the command and counts it as a passed or a failed check.
check() {
    local what="$1"
    shift
    if "$@"; then
        echo "test-deb: ok   $what"
        passed=$((passed + 1))
    else
        echo "test-deb: FAIL $what" >&2
        failed=$((failed + 1))
    fi
}

work="$(mktemp -d /tmp/vantrel-test-deb.XXXXXX)"
# Packages apt-get installed only because vantrel needs them: those new to the machine, and
# those of which only the configuration files were left from an earlier removal.
pulled=()
pulled_over_config=()

# status_of PACKAGE: dpkg's word for its state (installed, config-files, ...), empty if unknown.
status_of() { dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null || true; }
package_present() { [[ -n "$(status_of vantrel)" && "$(status_of vantrel)" != not-installed ]]; }

# Purged rather than only removed: dpkg would otherwise keep a record of the package (it has
# maintainer scripts), and the machine would not be as it was. The configuration files found on
# the machine before the test stay.
remove_package() {
    apt-get remove --purge "${apt_options[@]}" vantrel "${pulled[@]}" >"$work/remove.log" 2>&1 &&
        if ((${#pulled_over_config[@]})); then
            apt-get remove "${apt_options[@]}" "${pulled_over_config[@]}" >>"$work/remove.log" 2>&1
        fi
}

cleanup() {
    local status=$?
    if package_present && ! remove_package; then
        echo "test-deb: removing the package failed:" >&2
        cat "$work/remove.log" >&2
        status=1
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# An installed vantrel of the same version would make apt-get keep it instead of the new build.
if package_present; then
    echo "test-deb: removing the vantrel package that is already installed" >&2
    remove_package || { cat "$work/remove.log" >&2; exit 1; }
fi

deb="$(bash "$root/scripts/package-deb.sh" "$build")"
echo "test-deb: built $deb"

# --- The package's control data -----------------------------------------------------------------

depends="$(dpkg-deb -f "$deb" Depends)"
echo "test-deb: Depends: $depends"
# depends_on NAME: NAME is one of the Depends line's packages (alternatives included).
depends_on() {
    local name
    while read -r name; do
        [[ "$name" == "$1" ]] && return 0
    done < <(sed 's/(.*//; s/^ *//; s/ *$//' <<<"${depends//[,|]/$'\n'}")
    return 1
}
for lib in libqt6widgets6 libqt6core6 libcups2 libstdc++6 libc6; do
    check "the package depends on $lib" depends_on "$lib"
done
check "the package's version is $version" test "$(dpkg-deb -f "$deb" Version)" = "$version"

# --- Installing it with apt-get -----------------------------------------------------------------

deb_dir="$(dirname "$deb")"
deb_name="$(basename "$deb")"
# The user's command; recommends are left out so the test brings in no print server of its own.
apt_install() {
    (cd "$deb_dir" && apt-get install "${apt_options[@]}" --no-install-recommends "$@" ./"$deb_name")
}

# What apt-get would newly install besides vantrel, so that it goes again afterwards. Stale
# package lists are refreshed when a dependency cannot be found.
updated=0
if ! apt_install -s >"$work/plan.log" 2>&1; then
    apt-get update -o DPkg::Lock::Timeout=300 >"$work/update.log" 2>&1 || cat "$work/update.log" >&2
    updated=1
    apt_install -s >"$work/plan.log" 2>&1 || true
fi
mapfile -t planned < <(awk '$1 == "Inst" && $2 != "vantrel" && $3 !~ /^\[/ { print $2 }' \
    "$work/plan.log")
declare -A status_before=()
for p in "${planned[@]}"; do
    status_before[$p]="$(status_of "$p")"
done

install_package() {
    apt_install >"$work/install.log" 2>&1
}
if ! install_package && ((updated == 0)); then
    apt-get update -o DPkg::Lock::Timeout=300 >"$work/update.log" 2>&1 || cat "$work/update.log" >&2
    install_package || true
fi
for p in "${planned[@]}"; do
    if [[ "$(status_of "$p")" == installed ]]; then
        if [[ "${status_before[$p]}" == config-files ]]; then
            pulled_over_config+=("$p")
        else
            pulled+=("$p")
        fi
    fi
done
if ((${#pulled[@]} + ${#pulled_over_config[@]})); then
    echo "test-deb: apt-get brought in" "${pulled[@]}" "${pulled_over_config[@]}"
fi

package_installed() { [[ "$(status_of vantrel)" == installed ]]; }
check "apt-get install ./$deb_name installs the package" package_installed
if ! package_installed; then
    cat "$work/install.log" >&2
    echo "test-deb: $passed passed, $((failed + 1)) failed"
    exit 1
fi

# --- What it installed --------------------------------------------------------------------------

dpkg -L vantrel >"$work/files.txt"
for f in "${expected_files[@]}"; do
    check "the package installs $f" grep -qxF "$f" "$work/files.txt"
    check "$f is there" test -s "$f"
done

desktop=/usr/share/applications/vantrel.desktop
desktop_key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
check "the desktop entry starts the installed program" test -x "/usr/bin/$(desktop_key Exec)"
check "the desktop entry's icon is installed" \
    test -s "/usr/share/icons/hicolor/scalable/apps/$(desktop_key Icon).svg"
if command -v desktop-file-validate >/dev/null; then
    check "desktop-file-validate accepts the desktop entry" desktop-file-validate "$desktop"
else
    echo "test-deb: desktop-file-validate is not installed (desktop-file-utils): not validated"
fi
if command -v appstreamcli >/dev/null; then
    check "appstreamcli accepts the AppStream data" \
        appstreamcli validate --no-net /usr/share/metainfo/vantrel.metainfo.xml
fi

# The installed files carry no RPATH: nothing points back at the build machine.
no_rpath() { ! readelf -d "$1" | grep -qE '\((RPATH|RUNPATH)\)'; }
if command -v readelf >/dev/null; then
    check "/usr/bin/vantrel has no RPATH" no_rpath /usr/bin/vantrel
    check "vantrel-window.so has no RPATH" no_rpath /usr/lib/vantrel/vantrel-window.so
fi

# --- Running the installed program as an ordinary user ------------------------------------------

user_home="$work/home"
mkdir -p "$user_home" "$work/runtime"
chown nobody:nogroup "$user_home" "$work/runtime"
chmod 700 "$work/runtime"
chmod 755 "$work"
as_user() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i PATH=/usr/bin:/bin HOME="$user_home" XDG_RUNTIME_DIR="$work/runtime" \
        LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen "$@"
}

as_user /usr/bin/vantrel --version >"$work/version.txt" 2>&1 || true
echo "test-deb: vantrel --version: $(head -n 1 "$work/version.txt")"
check "the installed vantrel --version says $version" grep -qw "$version" "$work/version.txt"

# Without arguments the program loads the window module from ../lib/vantrel and shows its window
# (offscreen here); after 5 s it is still running and is stopped.
window_status=0
as_user timeout -k 2 5 env LD_DEBUG=files /usr/bin/vantrel >"$work/window.log" 2>&1 ||
    window_status=$?
module_loaded() {
    grep -qE 'file=/usr/(bin/\.\./)?lib/vantrel/vantrel-window\.so .*dynamically loaded' \
        "$work/window.log" && ! grep -q "window module cannot be loaded" "$work/window.log"
}
check "the installed program loads /usr/lib/vantrel/vantrel-window.so" module_loaded
check "the installed window keeps running (status $window_status, 124 expected)" \
    test "$window_status" -eq 124
if ! module_loaded || [[ $window_status -ne 124 ]]; then
    grep -v '^ *[0-9]*:' "$work/window.log" >&2 || true
fi

# --- Removing it --------------------------------------------------------------------------------

check "apt-get removes the package" remove_package
no_file_left() {
    local f
    for f in "${expected_files[@]}"; do [[ ! -e "$f" ]] || return 1; done
    [[ ! -e /usr/lib/vantrel && ! -e /usr/share/vantrel ]]
}
check "no file of the package is left" no_file_left
package_gone() { ! package_present; }
check "dpkg no longer knows the package" package_gone

echo "test-deb: $passed passed, $failed failed"
((failed == 0))
