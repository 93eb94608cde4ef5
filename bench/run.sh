#!/usr/bin/env bash
# Benchmarks vantrel's batch mode against "lp -o raw", both through the same private CUPS
# scheduler and the same capture printer (scripts/cups/), and prints the figures:
#   1. one 100 MB file: wall time of the program, and time until the last byte reached the
#      printer; best of a few runs each, and the ratio vantrel / lp (aim: <= 1.10);
#   2. 100 files of 100 bytes, one process each: total wall time, the median of 3 rounds that
#      alternate the programs, and the ratio (aim: <= 1.0); one job's CPU time and page faults,
#      and those of "vantrel --version" against "lpstat -r" (medians of 30 runs);
#   3. peak resident set size of vantrel printing a 1 MB and a 1 GB file (aim: < 2 MB apart);
#   4. 1,000 files of 1 KB dropped at once: the AutoPrint tick that prints and removes them all,
#      against 1,000 "lp -o raw" calls of the same files (aim: ratio <= 0.5); and the same in the
#      window (offscreen): the longest time its event loop is held up meanwhile (aim: < 200 ms);
#   5. the headless AutoPrint (bench/service_flow.sh): 1,000 files of 1 KB against a loop of
#      1,000 "lp -o raw" calls (aim: ratio <= 0.25), one file's latency, its resident set size
#      while many files pass through;
#   6. the main window on a start directory of 100,000 files: shown with its full list (aim:
#      < 500 ms), Refresh and the directory picker opening (aim: < 300 ms each), best/worst of 3;
#   7. the cost of --wait (bench/wait.sh): requests per job while waiting, and the time from the
#      job's last byte at the printer to the program's exit (aim: < 500 ms), against lp -o raw.
#   8. the headless AutoPrint's stop time with its scheduler frozen, in each state it can be in
#      (bench/service_stop.sh; aim: < 3 s, systemd kills it at 15 s).
#   9. the web endpoint (bench/serve.sh): 1 KB labels per second against lp -o raw, one label's
#      latency, and its resident set size over 10,000 requests and one 1 GB upload (aim: flat).
#
# Usage: bench/run.sh [BUILD_DIR]     (run as root)
#   Without BUILD_DIR it makes and measures an optimised, unsanitized build of its own,
#   build-bench/ in the repository; a BUILD_DIR that is sanitized or unoptimised (the test
#   command's build/) is refused (bench/measured_build.sh). The output names the build measured.
#   BENCH_RUNS   runs of the 100 MB case per program (default 3)
# Needs about 3.5 GB free under /tmp for the 1 GB case.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${BENCH_RUNS:-3}"
source "$root/bench/measured_build.sh"
measured_build "$root" "${1:-}" vantrel capture_printer vantrel_runstat vantrel_autoprint_tick \
    vantrel_drop_files vantrel_window_lists vantrel_autoprint_window
echo "bench: measuring the build in $measured"
source "$root/scripts/cups/common.sh"
source "$root/bench/figures.sh"
vantrel="$build/src/app/vantrel"
runstat="$build/bench/vantrel_runstat"
export VANTREL_CAPTURE_BIN="$build/tests/integration/capture_printer"

bench_workspace run
mkdir -p "$work/files"
export QT_QPA_PLATFORM=offscreen
unset LPDEST PRINTER

cups_start_scheduler "$work/cups" abort-job
cups_add_capture_queue "$work/cups" Bench_Printer
cups_add_capture_queue "$work/cups" Bench_Sink --discard
cups_client "$work/cups" lpadmin -d Bench_Printer
cups_write_env "$work/cups"
set -a
source "$work/cups/env"
set +a
printer_log="$work/cups/capture/Bench_Printer/capture.log"
sink_log="$work/cups/capture/Bench_Sink/capture.log"

# run_stat VAR COMMAND...: runs the command under vantrel_runstat; VAR_wall_ns, VAR_rss_kb.
run_stat() {
    local var="$1" stats
    shift
    stats="$("$runstat" "$@" 2>&1 >/dev/null | tail -n 1)"
    [[ "$stats" == *" exit=0" ]] || {
        echo "bench: failed: $* ($stats)" >&2
        exit 1
    }
    printf -v "${var}_wall_ns" '%s' "$(sed 's/.*wall_ns=\([0-9]*\).*/\1/' <<<"$stats")"
    printf -v "${var}_rss_kb" '%s' "$(sed 's/.*maxrss_kb=\([0-9]*\).*/\1/' <<<"$stats")"
    printf -v "${var}_cpu_us" '%s' "$(sed 's/.*cpu_us=\([0-9]*\).*/\1/' <<<"$stats")"
    printf -v "${var}_faults" '%s' "$(sed 's/.*faults=\([0-9]*\).*/\1/' <<<"$stats")"
}

# median_stat VAR RUNS COMMAND...: the medians of the command's CPU time and page faults over
# RUNS runs; VAR_cpu_us, VAR_faults.
median_stat() {
    local var="$1" runs="$2" cpus=() faults=() i
    shift 2
    for ((i = 0; i < runs; ++i)); do
        run_stat one "$@"
        cpus+=("$one_cpu_us")
        faults+=("$one_faults")
    done
    printf -v "${var}_cpu_us" '%s' "$(median "${cpus[@]}")"
    printf -v "${var}_faults" '%s' "$(median "${faults[@]}")"
}

min() { if [[ -z "$1" || "$2" -lt "$1" ]]; then echo "$2"; else echo "$1"; fi; }

print_vantrel() { "$vantrel" "$1" Bench_Printer; }

# One of each first: vantrel's first start writes its settings, and both warm the caches.
echo warm-up >"$work/files/warm.prn"
print_vantrel "$work/files/warm.prn"
print_lp "$work/files/warm.prn"
wait_jobs "$printer_log" 2 >/dev/null

echo "== 100 MB file, best of $runs runs each"
big="$work/files/big.prn"
head -c $((100 << 20)) /dev/urandom >"$big"
best_v_wall="" best_v_last="" best_l_wall="" best_l_last=""
for ((run = 0; run < runs; ++run)); do
    for tool in vantrel lp; do
        done_jobs=$(jobs_in "$printer_log")
        start=$(now_ns)
        if [[ $tool == vantrel ]]; then
            command=("$vantrel" "$big" Bench_Printer)
        else
            command=(lp -d Bench_Printer -o raw "$big")
        fi
        run_stat one "${command[@]}"
        last=$(wait_jobs "$printer_log" $((done_jobs + 1)))
        job_file="$(tail -n 1 "$printer_log" | awk '{print $1}')"
        cmp -s "$big" "$work/cups/capture/Bench_Printer/$job_file" ||
            echo "bench: $tool's copy of the 100 MB file differs at the printer" >&2
        rm -f "$work/cups/capture/Bench_Printer/$job_file"
        if [[ $tool == vantrel ]]; then
            best_v_wall=$(min "$best_v_wall" "$one_wall_ns")
            best_v_last=$(min "$best_v_last" $((last - start)))
        else
            best_l_wall=$(min "$best_l_wall" "$one_wall_ns")
            best_l_last=$(min "$best_l_last" $((last - start)))
        fi
    done
done
rm -f "$big"
printf '  %-28s %10s %10s %8s\n' "" "vantrel" "lp -o raw" "ratio"
printf '  %-28s %8s ms %8s ms %8s\n' "program wall time" "$(ms "$best_v_wall")" \
    "$(ms "$best_l_wall")" "$(ratio "$best_v_wall" "$best_l_wall")"
printf '  %-28s %8s ms %8s ms %8s\n' "until the last byte printed" "$(ms "$best_v_last")" \
    "$(ms "$best_l_last")" "$(ratio "$best_v_last" "$best_l_last")"

echo "== 100 files of 100 bytes, one process each; median of 3 rounds, the programs alternating"
for ((i = 0; i < 100; ++i)); do head -c 100 /dev/urandom >"$work/files/small-$i.prn"; done
declare -A totals last_bytes
for ((round = 0; round < 3; ++round)); do
    for tool in vantrel lp; do
        done_jobs=$(jobs_in "$printer_log")
        start=$(now_ns)
        for ((i = 0; i < 100; ++i)); do "print_$tool" "$work/files/small-$i.prn"; done
        totals[$tool]+=" $(($(now_ns) - start))"
        last=$(wait_jobs "$printer_log" $((done_jobs + 100)))
        last_bytes[$tool]+=" $((last - start))"
    done
done
declare -A total last_byte
for tool in vantrel lp; do
    total[$tool]=$(median ${totals[$tool]})
    last_byte[$tool]=$(median ${last_bytes[$tool]})
done
printf '  %-28s %10s %10s %8s\n' "" "vantrel" "lp -o raw" "ratio"
printf '  %-28s %8s ms %8s ms %8s\n' "all 100 processes" "$(ms "${total[vantrel]}")" \
    "$(ms "${total[lp]}")" "$(ratio "${total[vantrel]}" "${total[lp]}")"
printf '  %-28s %8s ms %8s ms\n' "per file" "$(ms $((total[vantrel] / 100)))" \
    "$(ms $((total[lp] / 100)))"
printf '  %-28s %8s ms %8s ms %8s\n' "until the last byte printed" "$(ms "${last_byte[vantrel]}")" \
    "$(ms "${last_byte[lp]}")" "$(ratio "${last_byte[vantrel]}" "${last_byte[lp]}")"
median_stat vjob 30 "$vantrel" "$work/files/small-0.prn" Bench_Sink
median_stat ljob 30 lp -d Bench_Sink -o raw "$work/files/small-0.prn"
wait_jobs "$sink_log" 60 >/dev/null
median_stat vver 30 "$vantrel" --version
median_stat lver 30 lpstat -r
cpu_ms() { awk -v us="$1" 'BEGIN { printf "%.2f", us / 1e3 }'; }
printf '  %-28s %8s ms %8s ms %8s\n' "one job, CPU time" "$(cpu_ms "$vjob_cpu_us")" \
    "$(cpu_ms "$ljob_cpu_us")" "$(ratio "$vjob_cpu_us" "$ljob_cpu_us")"
printf '  %-28s %11s %11s\n' "one job, page faults" "$vjob_faults" "$ljob_faults"
printf '  %-28s %8s ms %8s ms   (lpstat -r)\n' "--version, CPU time" "$(cpu_ms "$vver_cpu_us")" \
    "$(cpu_ms "$lver_cpu_us")"
printf '  %-28s %11s %11s\n' "--version, page faults" "$vver_faults" "$lver_faults"
printf '  %-28s %11s %11s\n' "shared libraries (ldd)" "$(ldd "$vantrel" | wc -l)" \
    "$(ldd "$(command -v lp)" | wc -l)"

echo "== peak resident set size of vantrel"
head -c $((1 << 20)) /dev/urandom >"$work/files/one-mb.prn"
truncate -s $((1 << 30)) "$work/files/one-gb.prn"
sink_jobs=$(jobs_in "$sink_log")
run_stat mb "$vantrel" "$work/files/one-mb.prn" Bench_Sink
run_stat gb "$vantrel" "$work/files/one-gb.prn" Bench_Sink
wait_jobs "$sink_log" $((sink_jobs + 2)) >/dev/null
gb_bytes="$(tail -n 1 "$sink_log" | awk '{print $2}')"
[[ "$gb_bytes" == $((1 << 30)) ]] || echo "bench: the printer got $gb_bytes bytes of 1 GB" >&2
printf '  %-28s %8s kB\n' "1 MB file" "$mb_rss_kb" "1 GB file" "$gb_rss_kb"
printf '  %-28s %8s kB\n' "difference" "$((gb_rss_kb - mb_rss_kb))"

echo "== AutoPrint: 1,000 files of 1 KB dropped at once"
done_jobs=$(jobs_in "$printer_log")
tick="$("$build/bench/vantrel_autoprint_tick" "$work/drop" 1000 1024)"
tick_ms="$(sed 's/.*tick_ms=\([0-9.]*\).*/\1/' <<<"$tick")"
wait_jobs "$printer_log" $((done_jobs + 1000)) >/dev/null
mkdir -p "$work/lp-drop"
for ((i = 0; i < 1000; ++i)); do head -c 1024 /dev/zero | tr '\0' x >"$work/lp-drop/$i.prn"; done
start=$(now_ns)
for ((i = 0; i < 1000; ++i)); do print_lp "$work/lp-drop/$i.prn"; done
lp_ms="$(ms $(($(now_ns) - start)))"
printf '  %-28s %8s ms %8s ms %8s\n' "tick vs 1,000 lp calls" "$tick_ms" "$lp_ms" \
    "$(awk -v a="$tick_ms" -v b="$lp_ms" 'BEGIN { printf "%.3f", a / b }')"
done_jobs=$(jobs_in "$printer_log")
window="$("$build/bench/vantrel_autoprint_window" "$work/window-app" 1000 1024 2>/dev/null)"
wait_jobs "$printer_log" $((done_jobs + 1000)) >/dev/null
printf '  %-28s %8s ms (gaps over 200 ms: %s; %s)\n' "window held up at most" \
    "$(sed 's/.*max_blocked_ms=\([0-9]*\).*/\1/' <<<"$window")" \
    "$(sed 's/.*over_200ms=\([0-9]*\).*/\1/' <<<"$window")" "$(sed 's/.*\(caption=.*\)/\1/' <<<"$window")"

echo "== The main window on 100,000 files"
lists="$("$build/bench/vantrel_window_lists" "$work/many" 100000 3 2>/dev/null)"
for figure in "start:window shown with its list" "refresh:Refresh" "picker:directory picker open"; do
    printf '  %-34s %8s ms (best/worst)\n' "${figure#*:}" \
        "$(sed "s/.*${figure%%:*}_ms=\([0-9/]*\).*/\1/" <<<"$lists")"
done

bash "$root/bench/service_flow.sh" "$build"
bash "$root/bench/wait.sh" "$build"
bash "$root/bench/service_stop.sh" "$build"
bash "$root/bench/serve.sh" "$build"
