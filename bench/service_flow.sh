#!/usr/bin/env bash
# The headless AutoPrint (vantrel --autoprint) against "lp -o raw", on a private CUPS scheduler
# of its own:
#   - 1,000 files of 1 KB written into its folder by another process until all are printed and
#     deleted, against a shell loop of 1,000 "lp -o raw" calls of the same files (aim: ratio
#     <= 0.25, with every copy's job number durable before its document);
#   - one file's latency from its writer closing it to its last byte at the printer (aim: < 1.5 s);
#   - its resident set size while BENCH_FLOW_FILES files (default 100,000) pass through its folder
#     (aim: flat).
#
# Usage: bench/service_flow.sh [BUILD_DIR]     (run as root; run.sh runs it on its build)
#   Without BUILD_DIR it measures the bench's own optimised build, as bench/run.sh does; a
#   sanitized or unoptimised one is refused.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/bench/measured_build.sh"
measured_build "$root" "${1:-}" vantrel capture_printer vantrel_drop_files
echo "bench: the headless AutoPrint measured on the build in $measured"
source "$root/scripts/cups/common.sh"
source "$root/bench/figures.sh"
vantrel="$build/src/app/vantrel"
export VANTREL_CAPTURE_BIN="$build/tests/integration/capture_printer"

bench_workspace flow
unset LPDEST PRINTER

cups_start_scheduler "$work/cups" abort-job
cups_add_capture_queue "$work/cups" Bench_Printer
cups_client "$work/cups" lpadmin -d Bench_Printer
cups_write_env "$work/cups"
set -a
source "$work/cups/env"
set +a
printer_log="$work/cups/capture/Bench_Printer/capture.log"


# One lp job first: it warms the scheduler and the caches for both.
echo warm-up >"$work/warm.prn"
print_lp "$work/warm.prn"
wait_jobs "$printer_log" 1 >/dev/null

echo "== Headless AutoPrint: vantrel --autoprint"
drop="$build/bench/vantrel_drop_files"
flow_files="${BENCH_FLOW_FILES:-100000}"
mkdir -p "$work/hot" "$work/flow"
# The files that pass through go to a queue that the scheduler writes to /dev/null itself: no
# backend process per job, so that the scheduler keeps pace.
cups_client "$work/cups" lpadmin -p Bench_Null -E -v file:///dev/null -m raw 2>/dev/null
"$vantrel" --autoprint "$work/hot=Bench_Printer" "$work/flow=Bench_Null" 2>"$work/autoprint.log" &
service=$!
trap 'kill "$service" 2>/dev/null || true; cups_stop "$work/cups"; rm -rf "$work"' EXIT
until grep -q "watching $work/flow" "$work/autoprint.log"; do sleep 0.01; done
files_in() { find "$1" -maxdepth 1 -type f ! -name '.*' | wc -l; }  # AutoPrint's lock and marks aside
rss_kb() { awk '$1 == "VmRSS:" { print $2 }' "/proc/$service/status"; }

done_jobs=$(jobs_in "$printer_log")
start=$(now_ns)
"$drop" "$work/hot" 1000 1024 >/dev/null
while (($(files_in "$work/hot") > 0)); do sleep 0.01; done
hot_deleted=$(($(now_ns) - start))
hot_last=$(($(wait_jobs "$printer_log" $((done_jobs + 1000))) - start))
mkdir -p "$work/lp-hot"
for ((i = 0; i < 1000; ++i)); do head -c 1024 /dev/zero >"$work/lp-hot/$i.prn"; done
done_jobs=$(jobs_in "$printer_log")
start=$(now_ns)
for ((i = 0; i < 1000; ++i)); do print_lp "$work/lp-hot/$i.prn"; done
lp_loop=$(($(now_ns) - start))
lp_last=$(($(wait_jobs "$printer_log" $((done_jobs + 1000))) - start))
printf '  %-34s %10s %10s %8s\n' "1,000 files of 1 KB" "autoprint" "lp loop" "ratio"
printf '  %-34s %8s ms %8s ms %8s\n' "all deleted / all lp calls done" "$(ms "$hot_deleted")" \
    "$(ms "$lp_loop")" "$(ratio "$hot_deleted" "$lp_loop")"
printf '  %-34s %8s ms %8s ms %8s\n' "until the last byte printed" "$(ms "$hot_last")" \
    "$(ms "$lp_last")" "$(ratio "$hot_last" "$lp_last")"

latencies=()
for ((i = 0; i < 5; ++i)); do
    done_jobs=$(jobs_in "$printer_log")
    closed=$("$drop" "$work/hot" 1 1024 | sed -n 's/^closed_ns=//p')
    last=$(wait_jobs "$printer_log" $((done_jobs + 1)))
    latencies+=("$(ms $((last - closed)))")
    sleep 0.2
done
printf '  %-34s %s ms (settle time 1 s)\n' "latency, closed to last byte" "${latencies[*]}"

echo "  resident set size while $flow_files files of 1 KB pass through (in batches of 1,000):"
printf '    %10s %10s\n' "files" "VmRSS kB"
printf '    %10s %10s\n' 0 "$(rss_kb)"
step=$((flow_files / 10))
while read -r line; do
    written=${line#written=}
    if [[ "$line" == written=* ]] && ((written % step == 0 || written == 1000)); then
        printf '    %10s %10s\n' "$written" "$(rss_kb)"
    fi
done < <("$drop" "$work/flow" "$flow_files" 1024 --batch 1000)
kill -TERM "$service"
wait "$service" || echo "bench: the headless AutoPrint did not stop cleanly" >&2
grep -vE '^(spooled|watching) ' "$work/autoprint.log" | grep -vx stopped >&2 || true

