#!/usr/bin/env bash
# The Windows build's tests, run under Wine. Installs the cross compiler and Wine when missing
# (scripts/install-deps.sh --with-windows), cross-builds with cmake/toolchain-mingw64.cmake and
# warnings as errors, the window linked in with Qt for mingw-w64 (scripts/windows/find-qt-mingw.sh:
# unpacked once, never built here), starts a private CUPS server with raw capture printers for
# Wine's spooler to print to, and runs every test of the cross build through ctest (the form
# tests offscreen), then a few command lines of the real vantrel.exe. Then the release: the zip
# and the installer (scripts/windows/build-package.sh) tested under Wine, the zip's window on a
# virtual display driven by keyboard (scripts/windows/test-packages-under-wine.sh); the window's
# screenshot is kept in BUILD_DIR/test-artefacts/. Wine runs in prefixes of its own, removed
# afterwards with the server.
#
# Usage: scripts/windows/test-under-wine.sh [BUILD_DIR]    (default: build-win/; run as root)
#   VANTREL_JOBS          parallel build and test jobs (default 2)
#   VANTREL_REQUIRE_WINE  1: fail, rather than skip, when Wine cannot be installed
# Exits with 0 when everything passed (or was skipped for want of Wine), 1 otherwise.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/common.sh"
root="$VANTREL_ROOT"
build="${1:-$root/build-win}"
jobs="${VANTREL_JOBS:-2}"

say() { echo "test-under-wine: $*" >&2; }

if ! bash "$root/scripts/install-deps.sh" --with-windows ||
    ! wine_available || ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
    if [[ "${VANTREL_REQUIRE_WINE:-0}" == 1 ]]; then
        say "FAILED: the mingw-w64 cross compiler or Wine could not be installed"
        exit 1
    fi
    say "SKIPPED: the mingw-w64 cross compiler or Wine could not be installed, so the Windows"
    say "build was neither built nor tested (scripts/install-deps.sh --with-windows installs them)"
    exit 0
fi

step_start=$SECONDS
# found SCRIPT LIBRARY PARTS: the folder SCRIPT finds LIBRARY in, or nothing, saying that PARTS
# are left out (a failure when Wine is required).
found() {
    local folder
    if folder="$(bash "$here/$1")"; then
        echo "$folder"
    elif [[ "${VANTREL_REQUIRE_WINE:-0}" == 1 ]]; then
        say "FAILED: no $2 for mingw-w64, so $3 cannot be built"
        exit 1
    else
        say "SKIPPED: $3 (no $2 for mingw-w64, see above)"
    fi
}
# Without Qt for mingw-w64 at hand the core and the backends are still built and tested.
qt="$(found find-qt-mingw.sh Qt "the window, its form tests and the packages")"
# libmicrohttpd for mingw-w64, built once from Debian's source, serves "vantrel --serve".
mhd="$(found find-mhd-mingw.sh libmicrohttpd "--serve")"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
    -DVANTREL_WERROR=ON -DVANTREL_QT_MINGW="$qt" -DVANTREL_MHD_MINGW="$mhd" \
    -DVANTREL_BUILD_GUI="$([[ -n "$qt" ]] && echo ON || echo OFF)" >/dev/null
cmake --build "$build" -j"$jobs"

run_dir="$(mktemp -d /tmp/vantrel-wine-test.XXXXXX)"
# The scheduler's filters and backends run as lp and must reach its directory below this one.
chmod 755 "$run_dir"
export WINEPREFIX="$run_dir/prefix"
status=1
finish() {
    wine_stop_server
    bash "$root/scripts/cups/stop-server.sh" "$run_dir/cups" || true
    if [[ $status -eq 0 ]]; then
        rm -rf "$run_dir"
    else
        say "the private CUPS server's logs are kept in $run_dir/cups/log"
    fi
}
trap finish EXIT
trap 'exit 130' INT TERM

# Wine reads the CUPS server's printers each time a program starts, so the server comes first.
unset LPDEST PRINTER
cups_env="$(bash "$root/scripts/cups/start-server.sh" "$run_dir/cups")"
eval "$cups_env"
# With the server up, the spooler tests must run: they fail instead of skipping.
export VANTREL_REQUIRE_CUPS=1

say "setting up a Wine prefix in $WINEPREFIX"
wine_init_prefix
wine_keep_server

set +e
ctest --test-dir "$build" --output-on-failure -j"$jobs"
tests_status=$?
set -e

# The real program, as a user would run it from a Windows command line.
failures=0
check() {
    local what="$1"
    shift
    if "$@"; then
        echo "vantrel.exe: $what: passed"
    else
        echo "vantrel.exe: $what: FAILED" >&2
        failures=$((failures + 1))
    fi
}
program="$build/src/app/vantrel.exe"
# With the window, the build's own wrapper puts Qt's and the runtime's DLLs on Wine's path.
wine_run="$here/wine-run.sh"
[[ -x "$build/wine-run.sh" && -n "$qt" ]] && wine_run="$build/wine-run.sh"
capture="$VANTREL_TEST_CUPS_DIR/capture"
wait_for_jobs() {  # QUEUE COUNT: waits up to 60 s until QUEUE's printer has received COUNT jobs
    local i
    for ((i = 0; i < 600; ++i)); do
        (($(job_count "$1") >= $2)) && return 0
        sleep 0.1
    done
    return 1
}

list_printers() {
    local out
    out="$("$wine_run" "$program" --list-printers)" || return 1
    grep -qx 'Office_Laser - CUPS:Office_Laser  (default)' <<<"$out" &&
        grep -qx 'Label_Printer - CUPS:Label_Printer' <<<"$out"
}
batch_copies() {
    local file="$run_dir/label.prn" before
    head -c 40000 /dev/urandom >"$file"
    printf '\x0c' >>"$file"
    before="$(job_count Label_Printer)"
    # Waiting for the jobs' end: they leave Wine's queue, which keeps no printed jobs.
    "$wine_run" "$program" --wait=60 -C 2 "$(wine_path "$file")" label || return 1
    wait_for_jobs Label_Printer $((before + 2)) || return 1
    local job
    for job in $(seq $((before + 1)) $((before + 2))); do
        cmp -s "$file" "$capture/Label_Printer/$(printf 'job-%04d.bin' "$job")" || return 1
    done
}
unknown_printer() {
    local err
    if err="$("$wine_run" "$program" "$(wine_path "$run_dir/label.prn")" plotter 2>&1)"; then
        return 1
    fi
    grep -q 'There is an error in the printer name.' <<<"$err"
}
settings_in_registry() {
    "$wine_run" reg query 'HKCU\Software\Vantrel\Vantrel\Migration' /v Done |
        grep -q 'REG_SZ *1'
}
# A queue that keeps printed jobs shows a printed job as printed: one gone from it was deleted,
# so --wait cannot call it printed.
kept_queue_tells_no_end() {
    local key='HKLM\System\CurrentControlSet\Control\Print\Printers\Label_Printer' out
    "$wine_run" reg add "$key" /v Attributes /t REG_DWORD /d 0x100 /f >/dev/null || return 1
    out="$("$wine_run" "$program" --wait=60 "$(wine_path "$run_dir/label.prn")" label 2>&1)"
    local status=$?
    "$wine_run" reg add "$key" /v Attributes /t REG_DWORD /d 0 /f >/dev/null || return 1
    ((status == 1)) && grep -q 'job [0-9]* on Label_Printer: completion unknown' <<<"$out"
}
# --serve: a script on this machine prints through the endpoint, as on Linux; without the token
# it is refused.
serve_prints() {
    local token port url file="$run_dir/label.prn" before status=1
    token="$("$wine_run" "$program" --serve --show-token)" || return 1
    port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
    url="http://127.0.0.1:$port"
    "$wine_run" "$program" --serve --port "$port" >"$run_dir/serve.log" 2>&1 &
    local server=$!
    local -a auth=(-H "Authorization: Bearer $token")
    before="$(job_count Label_Printer)"
    if wait_until 60 curl -sf -o /dev/null "${auth[@]}" "$url/printers" &&
        [[ "$(curl -s -o /dev/null -w '%{http_code}' "$url/printers")" == 401 ]] &&
        curl -sf "${auth[@]}" --data-binary @"$file" "$url/jobs?printer=Label_Printer&copies=2" |
        grep -q '"printer":"Label_Printer","jobs":\[[0-9]*,[0-9]*\]' &&
        wait_for_jobs Label_Printer $((before + 2)); then
        status=0
        local job
        for job in $(seq $((before + 1)) $((before + 2))); do
            cmp -s "$file" "$capture/Label_Printer/$(printf 'job-%04d.bin' "$job")" || status=1
        done
    fi
    "$wine_run" taskkill /f /im vantrel.exe >/dev/null 2>&1 || true
    wait "$server" 2>/dev/null || true
    ((status == 0)) || cat "$run_dir/serve.log" >&2
    return "$status"
}
gui_subsystem() {  # started from Explorer it must open no console window
    local headers
    headers="$(x86_64-w64-mingw32-objdump -p "$program")" || return 1
    grep -q 'Subsystem.*(Windows GUI)' <<<"$headers"
}
resources() {  # the icon in 5 sizes, the version resource and the manifest, UTF-8 its code page
    local rc
    rc="$(x86_64-w64-mingw32-windres --input "$program" --output-format=rc)" || return 1
    (($(grep -c '/\* RT_ICON \*/' <<<"$rc") == 5)) &&
        grep -q 'VALUE "ProductName", "Vantrel"' <<<"$rc" &&
        grep -q 'VALUE "FileVersion", "[0-9]' <<<"$rc" &&
        grep -q '/\* RT_MANIFEST \*/' <<<"$rc" && grep -q 'PerMonitorV2' <<<"$rc" &&
        grep -q 'level=""asInvoker""' <<<"$rc" &&
        grep -q 'Microsoft.Windows.Common-Controls"" version=""6' <<<"$rc" &&
        grep -q 'activeCodePage.*UTF-8' <<<"$rc"
}
check "is a GUI-subsystem program" gui_subsystem
[[ -z "$qt" ]] || check "carries its icon, version resource and manifest" resources
check "lists the printers, the default marked" list_printers
check "prints 2 copies byte for byte, waiting for their end" batch_copies
check "names an unknown printer" unknown_printer
check "keeps its settings in the registry" settings_in_registry
check "tells a job gone from a queue that keeps printed jobs as unknown" kept_queue_tells_no_end
[[ -z "$mhd" ]] || check "prints 2 copies sent by a script to --serve, byte for byte" serve_prints

# The release: the zip and the installer, from this build.
if [[ -n "$qt" ]]; then
    packages="$build/packages"
    rm -rf "$packages"
    if VANTREL_WIN_BUILD="$build" bash "$here/build-package.sh" "$packages" >/dev/null; then
        for file in "$packages"/*; do
            echo "package: $(basename "$file"): $(stat -c %s "$file") bytes"
        done
        bash "$here/test-packages-under-wine.sh" "$packages" "$build/test-artefacts" ||
            failures=$((failures + 1))
    else
        echo "package: build-package.sh FAILED" >&2
        failures=$((failures + 1))
    fi
fi
echo "test-under-wine: the Windows step took $((SECONDS - step_start)) s"

if [[ $tests_status -eq 0 && $failures -eq 0 ]]; then
    status=0
fi
exit "$status"
