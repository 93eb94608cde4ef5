#!/usr/bin/env bash
# The real window of the Windows build under Wine, on a virtual X display with a window manager,
# driven by the keyboard only. Runs the portable copy unpacked from the zip in a fresh Wine prefix
# with no other DLL on the path, so that a DLL missing from the zip fails here, and checks that
# the program loads every DLL shipped and no other from its folder.
#
# Usage: test-window-under-wine.sh PROGRAM_DIR ARTEFACT_DIR
#   PROGRAM_DIR   the unpacked zip (vantrel.exe and its DLLs); its RawSpool is the drop directory
#   ARTEFACT_DIR  where the window's screenshot, vantrel-window.png, is kept
# Needs the private CUPS server of scripts/cups/start-server.sh in the environment (CUPS_SERVER,
# VANTREL_TEST_CUPS_DIR), with its queues Office_Laser (the default) and Label_Printer.
# Prints one "window: CHECK: passed/FAILED" line per check and the time from the start to the
# window shown; exits with 1 when a check failed.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/common.sh"
program_dir="$(cd "$1" && pwd)"
mkdir -p "$2"
artefacts="$(cd "$2" && pwd)"
capture="$VANTREL_TEST_CUPS_DIR/capture"

run="$(mktemp -d /tmp/vantrel-window.XXXXXX)"
export WINEPREFIX="$run/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset WINEPATH QT_QPA_PLATFORM QT_PLUGIN_PATH
xvfb_pid="" wm_pid="" app_pid=""
finish() {
    local pid
    for pid in $app_pid $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
    "$VANTREL_WINESERVER" -k 2>/dev/null || true
    "$VANTREL_WINESERVER" -w 2>/dev/null || true
    rm -rf "$run"
}
trap finish EXIT

# A display of its own: Xvfb picks a free number and says which.
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x800x24 -nolisten tcp >"$run/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 30 -u "$display_fd" display_number || { echo "window: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display_number"
openbox --sm-disable >"$run/openbox.log" 2>&1 &
wm_pid=$!

"$VANTREL_WINE64" wineboot --init >/dev/null 2>&1
"$VANTREL_WINESERVER" -w

failures=0
check() {
    local what="$1"
    shift
    if "$@"; then
        echo "window: $what: passed"
    else
        echo "window: $what: FAILED" >&2
        failures=$((failures + 1))
    fi
}
has_jobs() { (($(job_count "$1") >= $2)); }
# received QUEUE FIRST COUNT FILE: jobs FIRST.. of QUEUE are FILE byte for byte
received() {
    local job
    for ((job = $2; job < $2 + $3; ++job)); do
        cmp -s "$4" "$capture/$1/$(printf 'job-%04d.bin' "$job")" || return 1
    done
}
window_of() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
shown() { [[ -n "$(window_of "$1")" ]]; }
gone() { [[ -z "$(window_of "$1")" ]]; }
keys() { xdotool key --delay 150 "$@"; sleep 0.5; }
registry_has() {  # KEY VALUE
    "$VANTREL_WINE64" reg query "HKCU\\Software\\Vantrel\\Vantrel\\$1" /v "$2" 2>/dev/null |
        tr -d '\r' | grep -q "$2"
}

# box_seen NAME: when a message box stands over the window, keeps its picture as NAME.png
# beside the screenshot and takes it with Return. Under Wine a new dialog shows its content
# only once it is moved (an expose Wine loses), so it is moved before the picture.
box_seen() {
    local box
    box="$(xdotool search --onlyvisible --name '^Vantrel$' 2>/dev/null | sed -n 2p)"
    [[ -n "$box" ]] || return 1
    xdotool windowmove "$box" 20 20 windowactivate --sync "$box" 2>/dev/null || true
    sleep 1
    xwd -silent -id "$box" -frame | xwdtopnm 2>/dev/null | pnmtopng >"$artefacts/$1.png" || true
    keys Return
}
# start_window: starts the program, waits for its window and activates it; the file list has the
# focus.
start_window() {
    local start
    start=$(date +%s%N)
    (cd "$program_dir" && WINEDEBUG=+loaddll exec "$VANTREL_WINE64" ./vantrel.exe) \
        >>"$run/vantrel.out" 2>>"$run/vantrel.err" &
    app_pid=$!
    if ! wait_until 60 shown Vantrel; then
        echo "window: the window \"Vantrel\" did not show within 60 s" >&2
        tail -20 "$run/vantrel.err" >&2
        exit 1
    fi
    echo "window: start to window shown: $((($(date +%s%N) - start) / 1000000)) ms"
    window="$(window_of Vantrel)"
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    sleep 2  # the lists are filled once the window shows
}
ended() { ! kill -0 "$app_pid" 2>/dev/null; }

# A file in the start directory (c:\ by default) for the window's file list, mask *.txt.
label="$WINEPREFIX/drive_c/label.txt"
head -c 30000 /dev/urandom >"$label"

# First start: the file (the file list has the focus) printed as it stands goes to the default
# printer, Office_Laser; Exit then ends the program and saves the placement.
start_window
xwd -silent -id "$window" -frame | xwdtopnm 2>/dev/null | pnmtopng >"$artefacts/vantrel-window.png"
office_before=$(job_count Office_Laser)
keys ctrl+a alt+p
check "the printer list holds Wine's printers, the default selected" eval \
    'wait_until 60 has_jobs Office_Laser $((office_before + 1)) &&
     received Office_Laser $((office_before + 1)) 1 "$label"'
sleep 3
# Wine forgets a job once it has gone to the printer; that is its end, told in the jobs line,
# not a "completion unknown" box.
check "no box after the print" eval '! box_seen box-after-print'
keys alt+x
check "Exit ends the program" wait_until 30 ended
check "Exit saves the placement" registry_has Placement Top

# Second start: Label_Printer found by typing in the printer list, two copies, Print.
start_window
label_before=$(job_count Label_Printer)
keys ctrl+a shift+Tab shift+Tab shift+Tab
xdotool type --delay 50 Label
keys Tab Tab Tab Tab Tab ctrl+a 2 alt+p
check "prints 2 copies on Label_Printer byte for byte by keyboard" eval \
    'wait_until 60 has_jobs Label_Printer $((label_before + 2)) &&
     received Label_Printer $((label_before + 1)) 2 "$label"'
sleep 3
check "no box after the copies" eval '! box_seen box-after-copies'

# The window's AutoPrint takes a file dropped beside the portable program, on the default printer.
office_before=$(job_count Office_Laser)
dropped="$run/dropped.prn"
head -c 20000 /dev/urandom >"$dropped"
cp "$dropped" "$program_dir/RawSpool/.dropping" &&
    mv "$program_dir/RawSpool/.dropping" "$program_dir/RawSpool/dropped.prn"
check "AutoPrint prints a file dropped beside the program" eval \
    'wait_until 60 has_jobs Office_Laser $((office_before + 1)) &&
     received Office_Laser $((office_before + 1)) 1 "$dropped" &&
     wait_until 20 test ! -e "$program_dir/RawSpool/dropped.prn"'

# Options, then Save Changes: the dialog's controls take the focus by place, top to bottom and
# left to right, from "Use AutoPrint" on; Save Changes is the tenth.
xdotool windowactivate --sync "$window" 2>/dev/null || true
keys alt+o
check "Options opens" wait_until 20 shown Options
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab space
check "Options -> Save Changes writes HKCU\\Software\\Vantrel\\Vantrel" eval \
    'wait_until 20 gone Options && registry_has Defaults StartDir'

keys alt+a
check "the About box opens" wait_until 20 shown "About Vantrel"
about="$(window_of "About Vantrel")"
xdotool windowmove "$about" 20 20 windowactivate --sync "$about" 2>/dev/null || true
sleep 1
xwd -silent -id "$about" -frame | xwdtopnm 2>/dev/null | pnmtopng >"$artefacts/about.png" || true
keys alt+o
check "the About box closes with its OK" wait_until 20 gone "About Vantrel"
keys alt+x
check "Exit ends the program again" wait_until 30 ended

# Exactly the DLLs shipped beside the program are loaded from its folder, no more, no fewer.
shipped="$(cd "$program_dir" && find . -iname '*.dll' | sed 's|^\./||' | LC_ALL=C sort)"
prefix="$(wine_path "$program_dir")"
loaded="$(tr -d '\r' <"$run/vantrel.err" | sed -n 's/.*Loaded L"\([^"]*\)".*: native$/\1/p' |
    sed 's/\\\\/\\/g' | grep -iF "$prefix\\" | cut -c$((${#prefix} + 2))- | tr '\\' / |
    grep -i '\.dll$' | LC_ALL=C sort -u)"
same_dlls() {
    [[ "${shipped,,}" == "${loaded,,}" ]] && return 0
    diff <(echo "${shipped,,}") <(echo "${loaded,,}") >&2 || true
    return 1
}
check "loads exactly the DLLs shipped beside it" same_dlls

((failures == 0))
