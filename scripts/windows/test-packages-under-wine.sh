#!/usr/bin/env bash
# The Windows release under Wine: the portable zip, unpacked into a folder of its own, shows its
# window and prints by keyboard (test-window-under-wine.sh, in a fresh prefix); the installer
# installs silently, the installed program lists the printers, prints a file byte for byte and
# takes dropped files from the per-user drop directory, and the silent uninstall leaves none of
# the program's files, shortcuts or entries, but the user's settings and drop directory.
#
# Usage: test-packages-under-wine.sh PACKAGE_DIR ARTEFACT_DIR
#   PACKAGE_DIR   holds vantrel-VERSION-win64.zip and vantrel-VERSION-setup.exe
#                 (scripts/windows/build-package.sh)
# Needs the private CUPS server of scripts/cups/start-server.sh in the environment and a
# WINEPREFIX of its own; prints one line per check and exits with 1 when one failed.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/common.sh"
packages="$(cd "$1" && pwd)"
artefacts="$2"
capture="$VANTREL_TEST_CUPS_DIR/capture"
zip="$(find "$packages" -maxdepth 1 -name 'vantrel-*-win64.zip' | head -1)"
setup="$(find "$packages" -maxdepth 1 -name 'vantrel-*-setup.exe' | head -1)"
[[ -f "$zip" && -f "$setup" ]] || { echo "packages: no zip or installer in $packages" >&2; exit 1; }

run="$(mktemp -d /tmp/vantrel-packages.XXXXXX)"
trap 'rm -rf "$run"' EXIT
failures=0
check() {
    local what="$1"
    shift
    if "$@"; then
        echo "packages: $what: passed"
    else
        echo "packages: $what: FAILED" >&2
        failures=$((failures + 1))
    fi
}

# The portable zip, with its window.
unzip -q "$zip" -d "$run/portable"
portable="$(find "$run/portable" -mindepth 1 -maxdepth 1 -type d | head -1)"
check "the zip's window under Wine" bash "$here/test-window-under-wine.sh" "$portable" "$artefacts"

# The installer, in the caller's prefix.
wine_init_prefix
wine_keep_server || true  # the caller may keep one already
wine() { "$here/wine-run.sh" "$@"; }
drive_c="$WINEPREFIX/drive_c"
installed="$drive_c/Program Files/Vantrel"
program='C:\Program Files\Vantrel\vantrel.exe'
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantrel.lnk"
user_dir="$drive_c/users/$(id -un)"
programs="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
# The user's Startup folder: "StartUp" under Wine, "Startup" on Windows, one to either.
logon_shortcut() {
    find "$programs" -maxdepth 2 -ipath '*/startup/Vantrel AutoPrint.lnk' 2>/dev/null | grep -q .
}
drop="$user_dir/AppData/Local/Vantrel/RawSpool"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel'

installs() {
    wine "$(wine_path "$setup")" /S /AUTOPRINT &&
        [[ -f "$installed/vantrel.exe" && -f "$installed/platforms/qwindows.dll" &&
            -f "$installed/uninstall.exe" && -f "$shortcut" ]] && logon_shortcut
}
entry_complete() {
    local entry name
    entry="$(wine reg query "$uninstall_key" /reg:64)" || return 1
    for name in DisplayName DisplayVersion Publisher UninstallString EstimatedSize; do
        grep -q "^ *$name " <<<"$entry" || { echo "no $name in the entry" >&2; return 1; }
    done
    grep -q "DisplayName *REG_SZ *Vantrel$" <<<"$entry"
}
lists_printers() {
    wine "$program" --list-printers | grep -qx 'Label_Printer - CUPS:Label_Printer'
}
prints() {
    local file="$run/installed.prn" before
    head -c 25000 /dev/urandom >"$file"
    before=$(job_count Label_Printer)
    wine "$program" "$(wine_path "$file")" Label_Printer || return 1
    wait_until 60 eval '(($(job_count Label_Printer) > before))' &&
        cmp -s "$file" "$capture/Label_Printer/$(printf 'job-%04d.bin' $((before + 1)))"
}
# The headless AutoPrint of the installed program watches the per-user drop directory, never
# one in Program Files.
drops_per_user() {
    local file="$run/dropped.prn" before pid status=0
    head -c 15000 /dev/urandom >"$file"
    before=$(job_count Office_Laser)
    "$VANTREL_WINE64" "$program" --autoprint >/dev/null 2>&1 &
    pid=$!
    wait_until 30 test -d "$drop" || status=1
    if ((status == 0)); then
        cp "$file" "$drop/.dropping" && mv "$drop/.dropping" "$drop/dropped.prn"
        wait_until 60 eval '(($(job_count Office_Laser) > before))' &&
            cmp -s "$file" "$capture/Office_Laser/$(printf 'job-%04d.bin' $((before + 1)))" &&
            wait_until 20 test ! -e "$drop/dropped.prn" || status=1
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [[ ! -e "$installed/RawSpool" ]] || status=1
    return "$status"
}
uninstalls() {
    wine "$installed/uninstall.exe" /S || return 1
    # The uninstaller runs on from a copy of itself in the temp folder.
    wait_until 60 test ! -e "$installed" || return 1
    [[ ! -e "$shortcut" ]] && ! logon_shortcut && ! wine reg query "$uninstall_key" /reg:64 >/dev/null 2>&1
}
keeps_user_data() {
    [[ -d "$drop" ]] && wine reg query 'HKCU\Software\Vantrel\Vantrel' /s >/dev/null
}

check "installs silently: Program Files, Start menu, logon shortcut" installs
check "the installed programs list has its entry" entry_complete
check "the installed program lists the printers" lists_printers
check "the installed program prints a file byte for byte" prints
check "the installed program's drop directory is the per-user one" drops_per_user
check "uninstalls silently, leaving no file, shortcut or entry" uninstalls
check "uninstalling keeps the user's settings and drop directory" keeps_user_data
((failures == 0))
