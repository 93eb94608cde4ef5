#!/usr/bin/env bash
# Tests the Debian package the way a user and a Debian packager get it: builds it
# (scripts/package-deb.sh), checks it with lintian (no tag at all, pedantic, info and experimental
# ones included, nor an override that is no longer used), installs it with apt-get, checks what it installed (hardening-check, the desktop
# entry and AppStream validators, the manual page), runs the installed program as an ordinary
# user, and removes the package again with a plain `apt-get remove`, after which dpkg must not
# keep it in the "rc" state. The removal also happens when a check fails or the script is
# interrupted, together with any package apt-get brought in for it, so the machine is left as it
# was. Run as root (it installs the checking tools with scripts/install-deps.sh). The last line is
# "test-deb: N passed, M failed"; the exit status is 0 only when every check passed.
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

# The package's checkers: lintian, hardening-check, the AppStream validators, man.
bash "$root/scripts/install-deps.sh" --with-package-checks

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
    /usr/lib/vantrel/vantrel-settings.so
    /usr/share/vantrel/Vantrel.html
    /usr/share/applications/vantrel.desktop
    /usr/share/icons/hicolor/scalable/apps/vantrel.svg
    /usr/share/metainfo/vantrel.metainfo.xml
    /usr/share/man/man1/vantrel.1.gz
    /usr/share/doc/vantrel/copyright
    /usr/share/doc/vantrel/changelog.gz
    /usr/share/lintian/overrides/vantrel
    /usr/lib/systemd/user/vantrel-autoprint.service
    /usr/lib/systemd/user/vantrel-serve.service
)

check_name=test-deb
source "$root/scripts/check-count.sh"

# output_shown COMMAND...: runs the command, showing its output only when it fails.
output_shown() {
    "$@" >"$work/tool.log" 2>&1 && return 0
    sed 's/^/    /' "$work/tool.log" >&2
    return 1
}
# no_output COMMAND...: the command succeeds and has nothing to say (no warning, no hint).
no_output() {
    output_shown "$@" && [[ ! -s "$work/tool.log" ]] && return 0
    sed 's/^/    /' "$work/tool.log" >&2
    return 1
}
# tool NAME PACKAGE: true when the checking tool is installed; a failed check otherwise.
tool() {
    command -v "$1" >/dev/null && return 0
    check "$1 is installed (package $2: scripts/install-deps.sh --with-package-checks)" false
    return 1
}

work="$(mktemp -d /tmp/vantrel-test-deb.XXXXXX)"
chmod 755 "$work"
# An ordinary user, with a home of its own, runs the installed program and lintian.
user_home="$work/home"
mkdir -p "$user_home" "$work/runtime"
chown nobody:nogroup "$user_home" "$work/runtime"
chmod 700 "$work/runtime"
as_user() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i PATH=/usr/bin:/bin HOME="$user_home" XDG_RUNTIME_DIR="$work/runtime" \
        LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen "$@"
}
# Packages apt-get installed only because vantrel needs them: those new to the machine, and
# those of which only the configuration files were left from an earlier removal.
pulled=()
pulled_over_config=()

# status_of PACKAGE: dpkg's word for its state (installed, config-files, ...), empty if unknown.
status_of() { dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null || true; }
package_present() { [[ -n "$(status_of vantrel)" && "$(status_of vantrel)" != not-installed ]]; }

# Purged rather than only removed, so that no configuration file of what apt-get brought in
# stays behind and the machine is as it was. The configuration files found on the machine before
# the test stay.
remove_package() {
    local purged=("${pulled[@]}")
    if package_present; then purged+=(vantrel); fi
    : >"$work/remove.log"
    if ((${#purged[@]})); then
        apt-get remove --purge "${apt_options[@]}" "${purged[@]}" >>"$work/remove.log" 2>&1 ||
            return 1
    fi
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

# --- What a Debian packager checks before installing ---------------------------------------------

# Every object of the release build was compiled with Debian's hardening flags. This also covers
# the window module, whose fortification hardening-check cannot see (below).
hardened_compiles() {
    local flag missing=0
    [[ -s "$build/compile_commands.json" ]] || return 1
    for flag in -D_FORTIFY_SOURCE=2 -fstack-protector-strong; do
        if grep '"command"' "$build/compile_commands.json" | grep -v -q -- "$flag"; then
            echo "test-deb: compiled without $flag:" >&2
            grep '"command"' "$build/compile_commands.json" | grep -v -- "$flag" | head -n 3 >&2
            missing=1
        fi
    done
    ((missing == 0))
}
check "every object of the release build is compiled hardened" hardened_compiles

# lintian as an ordinary user (it warns when run as root), on a copy it can read.
cp "$deb" "$work/"
chmod 644 "$work/$(basename "$deb")"
lintian_clean() {
    as_user lintian --pedantic --display-info --display-experimental \
        --fail-on error,warning,info,pedantic,experimental \
        "$work/$(basename "$deb")" >"$work/lintian.log" 2>&1
    local status=$?
    sed 's/^/test-deb: lintian: /' "$work/lintian.log"
    # Any tag fails, whatever its level: an unused override is an "I:" line.
    ((status == 0)) && ! grep -qE '^[EWIPXO]: ' "$work/lintian.log"
}
if tool lintian lintian; then
    check "lintian finds no tag at all in the package (--pedantic)" lintian_clean
fi

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


if tool desktop-file-validate desktop-file-utils; then
    check "desktop-file-validate accepts the desktop entry without a hint" \
        no_output desktop-file-validate "$desktop"
fi
metainfo=/usr/share/metainfo/vantrel.metainfo.xml
# Offline: the homepage cannot be fetched here. The component ID's domain is a reserved example
# domain, which the validator does not know as a top-level domain; that finding stays pedantic.
if tool appstreamcli appstream; then
    check "appstreamcli validate --pedantic --strict accepts the AppStream data" \
        output_shown appstreamcli validate --pedantic --strict --no-net \
        --override=cid-maybe-not-rdns=pedantic "$metainfo"
fi
if tool appstream-util appstream-util; then
    check "appstream-util validate accepts the AppStream data" \
        output_shown appstream-util validate "$metainfo"
fi

# Hardening as Debian's defaults give it. Control-flow protection is not one of them on Debian 12
# (cmake/hardening.cmake); the window module's fortification is checked on its compile commands
# above, since none of its libc calls has a buffer of a size known when compiling.
if tool hardening-check devscripts; then
    check "hardening-check passes /usr/bin/vantrel" \
        output_shown hardening-check --nocfprotection /usr/bin/vantrel
    for module in vantrel-window.so vantrel-settings.so; do
        check "hardening-check passes $module" \
            output_shown hardening-check --nocfprotection --nofortify "/usr/lib/vantrel/$module"
    done
fi

# The manual page shows, without a formatter warning.
man_page=/usr/share/man/man1/vantrel.1.gz
man_shows() {
    MANWIDTH=80 man --warnings -l "$man_page" >"$work/man.txt" 2>"$work/man.err" &&
        [[ ! -s "$work/man.err" ]] || { cat "$work/man.err" >&2; return 1; }
    grep -q "vantrel - send files to a printer" "$work/man.txt" || return 1
    local section
    for section in SYNOPSIS "COMMAND LINE" "EXIT STATUS" ENVIRONMENT FILES; do
        grep -qx "$section" "$work/man.txt" || { echo "no $section section" >&2; return 1; }
    done
}
if tool man man-db; then
    check "man -l $man_page shows the manual page" man_shows
fi

# The headless AutoPrint's user unit starts the installed program.
if command -v systemd-analyze >/dev/null; then
    check "systemd-analyze verify accepts the AutoPrint user unit" \
        output_shown systemd-analyze verify /usr/lib/systemd/user/vantrel-autoprint.service
    check "systemd-analyze verify accepts the web endpoint's user unit" \
        output_shown systemd-analyze verify /usr/lib/systemd/user/vantrel-serve.service
    # unit_hardened: systemd itself, reading the unit as a user's manager does, finds every
    # sandboxing setting the unit gives in force, and rates its exposure 4.0 ("OK") or below.
    unit_hardened() {
        mkdir -p "$work/analyze" && chmod 700 "$work/analyze"
        XDG_RUNTIME_DIR="$work/analyze" systemd-analyze security --user --offline=yes \
            --threshold=40 /usr/lib/systemd/user/vantrel-autoprint.service \
            >"$work/security.txt" 2>&1
        local status=$? setting
        grep "Overall exposure" "$work/security.txt" | sed 's/^/test-deb: /'
        for setting in NoNewPrivileges= UMask= LockPersonality= RestrictRealtime= \
            SystemCallArchitectures= 'RestrictAddressFamilies=~AF_NETLINK' \
            'SystemCallFilter=~@mount' MemoryDenyWriteExecute= 'RestrictNamespaces=~user' \
            RestrictSUIDSGID= ProtectClock= ProtectHostname= ProtectKernelModules= \
            PrivateDevices= PrivateUsers= PrivateTmp= ProtectSystem= \
            'CapabilityBoundingSet=~CAP_SYS_ADMIN'; do
            grep -q "^✓ $setting " "$work/security.txt" || { echo "not in force: $setting" >&2; return 1; }
        done
        return "$status"
    }
    check "the AutoPrint user unit keeps its sandboxing settings (exposure 4.0 or below)" \
        unit_hardened
    # The installed unit under a real user service manager, sandbox and all, prints and deletes
    # the files dropped into the user's drop directory.
    check "the sandboxed AutoPrint user unit prints and deletes dropped files" \
        output_shown bash "$root/scripts/test-user-unit.sh" vantrel-autoprint.service
fi

# Every place that names the release names this one.
check "the manual page is the one of $version" \
    test "$(zcat "$man_page" | sed -n 's/^\.TH .*"Vantrel \([^"]*\)".*/\1/p')" = "$version"
check "the changelog's newest entry is $version" \
    test "$(zcat /usr/share/doc/vantrel/changelog.gz | head -n 1 | cut -d' ' -f2)" = "($version)"
check "the AppStream data's newest release is $version" \
    test "$(grep -o -m 1 '<release version="[^"]*"' "$metainfo")" = "<release version=\"$version\""
check "the copyright file is machine-readable, Apache-2.0" \
    grep -qx "License: Apache-2.0" /usr/share/doc/vantrel/copyright

# The installed files carry no RPATH: nothing points back at the build machine.
no_rpath() { ! readelf -d "$1" | grep -qE '\((RPATH|RUNPATH)\)'; }
if command -v readelf >/dev/null; then
    check "/usr/bin/vantrel has no RPATH" no_rpath /usr/bin/vantrel
    check "vantrel-window.so has no RPATH" no_rpath /usr/lib/vantrel/vantrel-window.so
    check "vantrel-settings.so has no RPATH" no_rpath /usr/lib/vantrel/vantrel-settings.so
fi
# Batch runs load no Qt; the window and the settings module bring it when needed.
no_qt() { ! ldd /usr/bin/vantrel | grep -qi qt; }
check "/usr/bin/vantrel needs no Qt library" no_qt

# --- Running the installed program as an ordinary user ------------------------------------------


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

# The user's removal, without purging. The package has no configuration files and no
# maintainer scripts, so dpkg keeps nothing of it: no "rc" state waiting for a purge.
remove_plainly() { apt-get remove "${apt_options[@]}" vantrel >"$work/remove.log" 2>&1; }
check "apt-get remove vantrel removes the package" remove_plainly
no_file_left() {
    local f
    for f in "${expected_files[@]}"; do [[ ! -e "$f" ]] || return 1; done
    [[ ! -e /usr/lib/vantrel && ! -e /usr/share/vantrel && ! -e /usr/share/doc/vantrel ]]
}
check "no file of the package is left" no_file_left
forgotten() { ! dpkg -s vantrel >/dev/null 2>&1; }
check "dpkg -s vantrel knows nothing of it after apt-get remove (no rc state)" forgotten
if ((${#pulled[@]} + ${#pulled_over_config[@]})); then
    check "apt-get removes what it brought in" remove_package
fi

check_summary
