#!/usr/bin/env bash
# Tests the first run as the README tells it, on a machine whose CUPS answers but has no printer
# (a freshly installed cups-daemon): an empty private scheduler plays the system's, and
# `scripts/run.sh README.md` must print README.md byte for byte on Demo_Printer of a private
# scheduler of its own, say which file it went into, and leave the "system" scheduler as it was.
# A second run reuses the private scheduler. Without a display and without a file, run.sh must
# refuse before it builds or starts anything.
#
# Usage: scripts/test-first-run.sh [BUILD_DIR]   (default: build/ in the repository; run as root)
# The last line is "test-first-run: N passed, M failed"; the exit status is 0 only when every
# check passed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
source "$root/scripts/cups/common.sh"

work="$(mktemp -d /tmp/vantrel-first-run.XXXXXX)"
chmod 755 "$work"  # the schedulers' backends run as lp and read their spools inside
system="$work/system"
demo="$work/demo"
finish() {
    local status=$?
    VANTREL_DEMO_DIR="$demo" bash "$root/scripts/cups/demo-printer.sh" --stop || true
    bash "$root/scripts/cups/stop-server.sh" "$system" || true
    rm -rf "$work"
    exit "$status"
}
trap finish EXIT
trap 'exit 130' INT TERM

check_name=test-first-run
source "$root/scripts/check-count.sh"

# A user of their own, so that no settings of whoever runs the test (an eject byte after each
# job, say) reach the printer.
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
mkdir -p "$HOME"
unset LPDEST PRINTER

# run_script NAME ARGS...: scripts/run.sh from the repository's top directory, as the README has
# it, against the "system" scheduler; its output in $work/NAME.out and .err, its status in .status.
run_script() {
    local name="$1"
    shift
    local status=0
    (cd "$root" && CUPS_SERVER="$system/cups.sock" CUPS_SERVERROOT="$system/etc" \
        VANTREL_DEMO_DIR="$demo" VANTREL_BUILD_DIR="$build" bash scripts/run.sh "$@") >"$work/$name.out" 2>"$work/$name.err" || status=$?
    echo "$status" >"$work/$name.status"
    sed "s/^/test-first-run: $name: /" "$work/$name.err"
}

# --- No display, no file ---------------------------------------------------------------------------

refused=0
(cd "$root" && env -u DISPLAY -u WAYLAND_DISPLAY VANTREL_DEMO_DIR="$demo" \
    VANTREL_BUILD_DIR="$work/never-built" bash scripts/run.sh) >"$work/refused.out" \
    2>"$work/refused.err" || refused=$?
check "without a display or a file run.sh ends with status 2 (got $refused)" test "$refused" -eq 2
check "and says there is no display" grep -q "no display" "$work/refused.err"
check "and builds nothing" test ! -e "$work/never-built"
check "and starts no scheduler" test ! -e "$demo"

# --- A system scheduler without a printer ------------------------------------------------------------

cups_start_scheduler "$system" abort-job
system_has_no_queue() { ! CUPS_SERVER="$system/cups.sock" lpstat -v 2>/dev/null | grep -q .; }
check "the stand-in system scheduler answers and has no printer" system_has_no_queue

capture="$demo/capture/Demo_Printer"
readme_size="$(stat -c %s "$root/README.md")"
for job in job-0001.bin job-0002.bin; do
    run_script "$job" README.md
    check "scripts/run.sh README.md ends with status 0 ($job)" \
        test "$(cat "$work/$job.status")" -eq 0
    check "README.md arrives byte for byte at Demo_Printer as $job" \
        cmp "$root/README.md" "$capture/$job"
    check "run.sh says where it went: $capture/$job, $readme_size bytes" \
        grep -qF "Demo_Printer received $capture/$job, $readme_size bytes" "$work/$job.err"
done
check "the second run reused the private scheduler" \
    grep -q "using the private scheduler in $demo" "$work/job-0002.bin.err"
check "the system scheduler still has no printer" system_has_no_queue
no_job_on_system() { [[ -z "$(CUPS_SERVER="$system/cups.sock" lpstat -W all -o 2>/dev/null)" ]]; }
check "no job went to the system scheduler" no_job_on_system

check_summary
