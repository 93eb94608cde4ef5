#!/usr/bin/env bash
# Builds vantrel and runs it with the given arguments: without any it shows the window, with a
# command line it prints in batch mode (see `scripts/run.sh --help`).
# When no CUPS scheduler answers, or the one that answers has no printer, a private one with the
# raw printer Demo_Printer as the default is started first (scripts/cups/demo-printer.sh; the
# system's CUPS configuration is not touched). What Demo_Printer prints lands in files under
# /tmp/vantrel-demo/capture/Demo_Printer/, and this script says which files a run made.
#
# Usage: scripts/run.sh [vantrel arguments]     (run as root on a fresh machine: it installs
#                                                 what is missing with apt-get)
#   VANTREL_BUILD_DIR   build directory (default: build/ in the repository)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VANTREL_BUILD_DIR:-$root/build}"

say() { echo "run.sh: $*" >&2; }

# The window needs a display; refused before anything is installed, built or started.
if [[ $# -eq 0 && -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    say "there is no display to show the window on; give a file to print instead," \
        "for example: scripts/run.sh README.md"
    exit 2
fi

bash "$root/scripts/install-deps.sh"

targets=(vantrel vantrel_window vantrel_help capture_printer)
if [[ -x "$build/src/app/vantrel" ]]; then
    say "building vantrel in $build (only what changed)"
else
    say "building vantrel in $build: the first build takes two to three minutes on two cores"
fi
started=$SECONDS
configure_log="$(mktemp)"
if ! cmake -S "$root" -B "$build" >"$configure_log" 2>&1; then
    cat "$configure_log" >&2
    rm -f "$configure_log"
    say "configuring the build failed"
    exit 1
fi
rm -f "$configure_log"
# cmake's progress ("[ 42%] Building ..."), without the lines for targets that were up to date.
set +e
cmake --build "$build" -j2 --target "${targets[@]}" 2>&1 |
    grep --line-buffered -v -E '^\[ *[0-9]+%\] Built target |^Consolidate compiler generated' >&2
build_status=${PIPESTATUS[0]}
set -e
if ((build_status != 0)); then
    say "the build failed"
    exit "$build_status"
fi
say "built in $((SECONDS - started)) s: $build/src/app/vantrel"

export VANTREL_CAPTURE_BIN="$build/tests/integration/capture_printer"
env_file="$(mktemp)"
trap 'rm -f "$env_file"' EXIT
bash "$root/scripts/cups/demo-printer.sh" --env-file "$env_file"
source "$env_file"

# The demo printer's capture directory, when the run goes through the private scheduler.
demo_jobs=""
if [[ -n "${VANTREL_DEMO_DIR:-}" && "${CUPS_SERVER:-}" == "$VANTREL_DEMO_DIR/cups.sock" ]]; then
    demo_jobs="$VANTREL_DEMO_DIR/capture/Demo_Printer"
fi
job_files() {
    [[ -d "$demo_jobs" ]] || return 0
    find "$demo_jobs" -maxdepth 1 -name 'job-*.bin' -printf '%f\n' | sort
}
jobs_before="$(job_files)"

status=0
"$build/src/app/vantrel" "$@" || status=$?

if [[ -n "$demo_jobs" ]]; then
    # The scheduler hands the jobs on after vantrel has ended; a capture file is complete once
    # it has its job-NNNN.bin name.
    for ((i = 0; i < 100; ++i)); do
        if [[ -z "$(LC_ALL=C lpstat -o 2>/dev/null)" ]] &&
            ! compgen -G "$demo_jobs/.job-*.part" >/dev/null; then
            break
        fi
        sleep 0.1
    done
    arrived=0
    while read -r job; do
        [[ -n "$job" ]] || continue
        say "Demo_Printer received $demo_jobs/$job, $(stat -c %s "$demo_jobs/$job") bytes"
        arrived=$((arrived + 1))
    done < <(comm -13 <(echo "$jobs_before") <(job_files))
    if ((arrived == 0 && $# > 0 && status == 0)) && [[ "$1" != --* ]]; then
        say "no job has arrived at Demo_Printer yet; see $VANTREL_DEMO_DIR/log/error_log"
    fi
fi
exit "$status"
