#!/usr/bin/env bash
# The web endpoint ("vantrel --serve") against "lp -o raw", on a private CUPS scheduler of its
# own with a capture printer:
#   1. BENCH_SERVE_LABELS (default 1,000) labels of 1 KB: POSTed one after the other on one
#      kept-alive connection (bench/serve_client.cpp) until the last byte of the last one reached
#      the printer, against as many "lp -o raw" calls: labels per second, and the ratio;
#   2. one label's latency from the start of its POST to its last byte at the printer (median of
#      10), against lp's;
#   3. the endpoint's resident set size while BENCH_SERVE_FLOW (default 10,000) labels pass
#      through it (aim: flat), and its peak after one upload of 1 GB (aim: about as before; the
#      body is kept in a scratch file, never in memory).
#
# Usage: bench/serve.sh [BUILD_DIR]     (run as root; run.sh runs it, on its build)
#   Without BUILD_DIR it measures the bench's own optimised build, as bench/run.sh does; a
#   sanitized or unoptimised one is refused. Needs about 3 GB free under /tmp.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
labels="${BENCH_SERVE_LABELS:-1000}"
flow="${BENCH_SERVE_FLOW:-10000}"
source "$root/bench/measured_build.sh"
measured_build "$root" "${1:-}" vantrel capture_printer vantrel_serve_client
echo "bench: the web endpoint measured on the build in $measured"
source "$root/scripts/cups/common.sh"
vantrel="$build/src/app/vantrel"
client="$build/bench/vantrel_serve_client"
export VANTREL_CAPTURE_BIN="$build/tests/integration/capture_printer"

work="$(mktemp -d /tmp/vantrel-bench-serve.XXXXXX)"
chmod 755 "$work"
server=""
finish() {
    [[ $? -eq 0 ]] || { echo "bench: the endpoint's journal:" >&2; tail -n 5 "$work/journal" >&2; }
    [[ -n "$server" ]] && kill -TERM "$server" 2>/dev/null && wait "$server" || true
    cups_stop "$work/cups"
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM
mkdir -p "$work/home" "$work/cups"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
unset LPDEST PRINTER

cups_start_scheduler "$work/cups" abort-job
cups_add_capture_queue "$work/cups" Serve_Printer
cups_add_capture_queue "$work/cups" Serve_Sink --discard
cups_write_env "$work/cups"
set -a
source "$work/cups/env"
set +a
log="$work/cups/capture/Serve_Printer/capture.log"
sink_log="$work/cups/capture/Serve_Sink/capture.log"
label="$work/label.prn"
head -c 1024 /dev/urandom >"$label"

now_ns() { date +%s%N; }
jobs_in() { if [[ -f "$1" ]]; then wc -l <"$1"; else echo 0; fi; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ms() { awk -v ns="$1" 'BEGIN { printf "%.1f", ns / 1e6 }'; }
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$server/status"; }
peak_kb() { awk '/^VmHWM/ { print $2 }' "/proc/$server/status"; }
# last_byte LOG N: waits until the capture log has N jobs; prints the last one's last-byte time.
last_byte() {
    local i
    for ((i = 0; i < 60000; ++i)); do
        if [[ $(jobs_in "$1") -ge $2 ]]; then
            tail -n 1 "$1" | awk '{print $4}'
            return
        fi
        sleep 0.01
    done
    echo "bench: the capture printer did not get job $2" >&2
    exit 1
}

"$vantrel" "$label" Serve_Printer  # the first start writes the settings
last_byte "$log" 1 >/dev/null
"$vantrel" --serve --port 0 --rate 1000000 --max-size 2048 2>"$work/journal" &
server=$!
for ((i = 0; i < 300; ++i)); do grep -q "serving on" "$work/journal" && break; sleep 0.1; done
port="$(sed -n 's|.*serving on http://127\.0\.0\.1:\([0-9]*\).*|\1|p' "$work/journal")"
token="$("$vantrel" --serve --show-token)"
query="?printer=Serve_Printer"

echo "== $labels labels of 1 KB, one after the other, to the last byte at the printer"
printf '  %-34s %10s %12s\n' "" "wall ms" "labels/s"
done_jobs=$(jobs_in "$log")
start=$(now_ns)
"$client" "$port" "$token" "$labels" "$label" "$query" >/dev/null
end=$(last_byte "$log" $((done_jobs + labels)))
serve_ns=$((end - start))
done_jobs=$(jobs_in "$log")
start=$(now_ns)
for ((i = 0; i < labels; ++i)); do lp -d Serve_Printer -o raw "$label" >/dev/null; done
end=$(last_byte "$log" $((done_jobs + labels)))
lp_ns=$((end - start))
for row in "vantrel --serve (POST /jobs):$serve_ns" "lp -o raw, a process per label:$lp_ns"; do
    printf '  %-34s %10s %12s\n' "${row%%:*}" "$(ms "${row##*:}")" \
        "$(awk -v n="$labels" -v ns="${row##*:}" 'BEGIN { printf "%.0f", n / (ns / 1e9) }')"
done
printf '  %-34s %10s\n' "ratio vantrel / lp (wall)" \
    "$(awk -v a="$serve_ns" -v b="$lp_ns" 'BEGIN { printf "%.2f", a / b }')"

echo "== One label, start of the request to its last byte at the printer (median of 10)"
for tool in "vantrel --serve" "lp -o raw"; do
    latencies=()
    for ((i = 0; i < 10; ++i)); do
        done_jobs=$(jobs_in "$log")
        start=$(now_ns)
        if [[ $tool == lp* ]]; then
            lp -d Serve_Printer -o raw "$label" >/dev/null
        else
            "$client" "$port" "$token" 1 "$label" "$query" >/dev/null
        fi
        latencies+=("$(ms $(($(last_byte "$log" $((done_jobs + 1))) - start)))")
    done
    printf '  %-34s %10s ms\n' "$tool" "$(median "${latencies[@]}")"
done

echo "== Resident set size of the endpoint while $flow labels of 1 KB pass through it"
printf '  %10s %10s\n' "labels" "VmRSS kB"
printf '  %10s %10s\n' 0 "$(rss_kb)"
step=$((flow / 10))
for ((sent = step; sent <= flow; sent += step)); do
    "$client" "$port" "$token" "$step" "$label" "?printer=Serve_Sink" >/dev/null
    printf '  %10s %10s\n' "$sent" "$(rss_kb)"
done

echo "== One upload of 1 GB"
head -c $((1 << 30)) /dev/zero >"$work/big.prn"
before=$(peak_kb)
done_sink=$(jobs_in "$sink_log")
start=$(now_ns)
"$client" "$port" "$token" 1 "$work/big.prn" "?printer=Serve_Sink" >/dev/null
end=$(last_byte "$sink_log" $((done_sink + 1)))
printf '  %-34s %10s ms\n' "POST to last byte at the printer" "$(ms $((end - start)))"
printf '  %-34s %10s kB\n' "peak RSS before" "$before" "peak RSS after" "$(peak_kb)"
