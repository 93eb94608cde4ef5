# Sourced by the benchmarks: the clock, the capture printer's log and the arithmetic of figures.

now_ns() { date +%s%N; }
# jobs_in LOG: how many jobs the capture log holds.
jobs_in() { if [[ -f "$1" ]]; then wc -l <"$1"; else echo 0; fi; }
ms() { awk -v ns="$1" 'BEGIN { printf "%.1f", ns / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
print_lp() { lp -d Bench_Printer -o raw "$1" >/dev/null; }

# wait_jobs LOG N: waits until the capture log holds N lines; prints the last one's last-byte time.
wait_jobs() {
    local log="$1" want="$2" i
    for ((i = 0; i < 12000; ++i)); do
        if [[ -f "$log" && $(wc -l <"$log") -ge $want ]]; then
            tail -n 1 "$log" | awk '{print $4}'
            return
        fi
        sleep 0.01
    done
    echo "bench: the capture printer did not get job $want" >&2
    exit 1
}

# bench_workspace NAME: $work, a scratch folder of this bench's own with its scheduler below it,
# removed at exit, and a home of its own.
bench_workspace() {
    work="$(mktemp -d "/tmp/vantrel-bench-$1.XXXXXX")"
    chmod 755 "$work" # the scheduler's backends run as lp and read the spool inside
    trap 'cups_stop "$work/cups"; rm -rf "$work"' EXIT
    trap 'exit 130' INT TERM
    mkdir -p "$work/home" "$work/cups"
    export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
}
