#!/usr/bin/env bash
# The cost of "vantrel --wait" against "lp -o raw", on a private CUPS scheduler of its own whose
# access log lists every request: a 1 KB label printed BENCH_WAIT_RUNS times (default 10) by each,
# and for each the medians of the wall time and of the time from the job's last byte at the
# capture printer to the program's exit (the job completes between the two; aim: < 500 ms for
# vantrel --wait; lp ends before the job does, so its figure is negative), and the scheduler's
# job-state requests per job.
#
# Usage: bench/wait.sh [BUILD_DIR]     (run as root; run.sh runs it last, on its build)
#   Without BUILD_DIR it measures the bench's own optimised build, as bench/run.sh does; a
#   sanitized or unoptimised one is refused.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${BENCH_WAIT_RUNS:-10}"
source "$root/bench/measured_build.sh"
measured_build "$root" "${1:-}" vantrel capture_printer
echo "bench: --wait measured on the build in $measured"
source "$root/scripts/cups/common.sh"
source "$root/bench/figures.sh"
vantrel="$build/src/app/vantrel"
export VANTREL_CAPTURE_BIN="$build/tests/integration/capture_printer"

bench_workspace wait
unset LPDEST PRINTER

VANTREL_CUPS_ACCESS_LOG_LEVEL=all cups_start_scheduler "$work/cups" abort-job
cups_add_capture_queue "$work/cups" Wait_Printer
cups_write_env "$work/cups"
set -a
source "$work/cups/env"
set +a
log="$work/cups/capture/Wait_Printer/capture.log"
access="$work/cups/log/access_log"
label="$work/label.prn"
head -c 1024 /dev/urandom >"$label"

asks() { grep -cE 'Get-Job-Attributes|Get-Jobs' "$access" || true; }

# last_byte N: waits until the capture printer has N jobs; prints the last one's last-byte time.
last_byte() {
    local i
    for ((i = 0; i < 3000; ++i)); do
        if [[ $(jobs_in "$log") -ge $1 ]]; then
            tail -n 1 "$log" | awk '{print $4}'
            return
        fi
        sleep 0.01
    done
    echo "bench: the capture printer did not get job $1" >&2
    exit 1
}

"$vantrel" "$label" Wait_Printer  # the first start writes the settings
last_byte 1 >/dev/null

echo "== Waiting for the job's end: a 1 KB label, $runs runs each (medians)"
printf '  %-22s %10s %22s %14s\n' "" "wall ms" "last byte to exit ms" "requests/job"
for tool in "lp -o raw" "vantrel --wait"; do
    walls=() after=()
    asked_before=$(asks)
    for ((i = 0; i < runs; ++i)); do
        done_jobs=$(jobs_in "$log")
        start=$(now_ns)
        if [[ $tool == lp* ]]; then
            lp -d Wait_Printer -o raw "$label" >/dev/null
        else
            "$vantrel" --wait "$label" Wait_Printer
        fi
        end=$(now_ns)
        last=$(last_byte $((done_jobs + 1)))
        walls+=("$(ms $((end - start)))")
        after+=("$(ms $((end - last)))")
        sleep 0.2
    done
    requests=$(awk -v a="$(asks)" -v b="$asked_before" -v n="$runs" 'BEGIN { printf "%.1f", (a - b) / n }')
    printf '  %-22s %10s %22s %14s\n' "$tool" "$(median "${walls[@]}")" "$(median "${after[@]}")" \
        "$requests"
done
