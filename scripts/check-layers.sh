#!/usr/bin/env bash
# The layer gate: a folder of src/ includes only from itself and the folders below it, as the
# table says; a test folder as the folder it tests, plus the test rigs. Any other
# #include "folder/..." fails the gate, with the file and the line.
#
# Usage: scripts/check-layers.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# What each folder may include besides itself, from the bottom up.
declare -A allowed=(
    [text]=""
    [platform]="text"
    [printing]="platform text"
    [settings]="printing platform text"
    [batch]="printing platform text"
    [autoprint]="printing platform text"
    [serve]="autoprint printing platform text"
    [formkit]="platform text"
    [mainwindow]="formkit autoprint printing settings platform text"
    [options]="formkit settings printing platform text"
    [dirpick]="formkit platform text"
    [about]="formkit platform text"
    [app]="mainwindow options dirpick about formkit serve autoprint batch printing settings platform text"
)
# The backends of platform/ are reached through its seams; only the program's wiring, the test
# rig that wires the system's own in its place, and the backends' own tests, name them.
backends='cups|posix|win'
backend_users=" platform app support platform_win integration "
# Test folders that test no single folder: the fakes and rigs every test uses, and the
# spooler's own tests.
declare -A tests_only=(
    [fakes]="platform text"
    [support]="fakes app mainwindow options dirpick about formkit printing settings platform text"
    [integration]="support platform text"
    [platform_win]="fakes support printing platform text"
)
# What a test folder may include besides what its folder may: the forms are tested in the
# window as the program wires it, and a settings store with the settings routines over it.
declare -A tests_extra=(
    [platform]="settings"
    [mainwindow]="app options dirpick about"
    [options]="app mainwindow dirpick about"
    [dirpick]="app mainwindow options about"
    [about]="app mainwindow options dirpick"
)

failed=0
# check DIR FOLDER ALLOWED...: every project include of the files under DIR names an allowed
# folder.
check() {
    local dir="$1" folder="$2" allow=" $3 $2 " file line target
    while IFS=: read -r file line target; do
        target="${target#*\"}"
        target="${target%%/*}"
        if [[ "$allow" != *" $target "* ]]; then
            echo "check-layers: ${file#"$root"/}:$line: $folder may not include from $target/" >&2
            failed=1
        fi
    done < <(grep -rnoE '^#include "[a-z_]+/' "$dir" --include='*.cpp' --include='*.h' || true)
}

# check_backends DIR FOLDER: no include of a backend folder of platform/, unless FOLDER may.
check_backends() {
    local dir="$1" folder="$2" file line target
    [[ "$backend_users" == *" $folder "* ]] && return 0
    while IFS=: read -r file line target; do
        echo "check-layers: ${file#"$root"/}:$line: $folder may not include a backend:" \
            "${target#*\"}" >&2
        failed=1
    done < <(grep -rnoE "^#include \"platform/($backends)/[^\"]*" "$dir" --include='*.cpp' \
        --include='*.h' || true)
}

for dir in "$root"/src/*/ "$root"/tests/*/; do
    check_backends "$dir" "$(basename "$dir")"
done
for dir in "$root"/src/*/; do
    folder="$(basename "$dir")"
    if [[ -z "${allowed[$folder]+set}" ]]; then
        echo "check-layers: src/$folder/ is not in the layer table" >&2
        failed=1
        continue
    fi
    check "$dir" "$folder" "${allowed[$folder]}"
done
for dir in "$root"/tests/*/; do
    folder="$(basename "$dir")"
    if [[ -n "${tests_only[$folder]+set}" ]]; then
        check "$dir" "$folder" "${tests_only[$folder]}"
    elif [[ -n "${allowed[$folder]+set}" ]]; then
        check "$dir" "$folder" "${allowed[$folder]} ${tests_extra[$folder]:-} fakes support"
    else
        echo "check-layers: tests/$folder/ mirrors no folder of src/" >&2
        failed=1
    fi
done
if ((failed)); then
    echo "check-layers: see the table in scripts/check-layers.sh and DEVELOPERS.md" >&2
fi
exit "$failed"
