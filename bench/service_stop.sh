#!/usr/bin/env bash
# How long "vantrel --autoprint" takes to end after SIGTERM while its CUPS scheduler is frozen
# (SIGSTOP), in each state it can be in (aim: < 3 s; systemd kills it at 15 s):
#   idle       watching, nothing to print
#   lookup     a dropped file settled and its printer being asked for
#   sending    in the middle of a 300 MB document
#   following  --wait, its job pending on a paused queue
# Each figure is the time from the signal to the exit, with the exit status.
#
# Usage: bench/service_stop.sh [BUILD_DIR]     (default: build/ in the repository; run as root)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
source "$root/scripts/cups/common.sh"
cmake --build "$build" -j2 --target vantrel capture_printer >/dev/null
vantrel="$build/src/app/vantrel"
export VANTREL_CAPTURE_BIN="$build/tests/integration/capture_printer"

work="$(mktemp -d /tmp/vantrel-bench-stop.XXXXXX)"
chmod 755 "$work"
trap 'kill -CONT "$(cat "$work/cups/pids/cupsd" 2>/dev/null)" 2>/dev/null || true;
      cups_stop "$work/cups"; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
mkdir -p "$work/home" "$work/cups"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
unset LPDEST PRINTER

cups_start_scheduler "$work/cups" abort-job
cups_add_capture_queue "$work/cups" Stop_Printer
cups_add_capture_queue "$work/cups" Stop_Paused
cups_client "$work/cups" cupsdisable Stop_Paused
cups_write_env "$work/cups"
set -a
source "$work/cups/env"
set +a
cupsd="$(cat "$work/cups/pids/cupsd")"
now_ns() { date +%s%N; }

# stop_time STATE PRINTER FILE_BYTES [--wait]: starts the service on a fresh folder, brings it
# into the state, freezes the scheduler, and times SIGTERM to exit.
stop_time() {
    local state="$1" printer="$2" bytes="$3" wait="${4:-}" folder="$work/in-$1" i
    mkdir -p "$folder"
    "$vantrel" --autoprint $wait "$folder=$printer" 2>"$work/journal-$state" &
    local pid=$!
    for ((i = 0; i < 500; ++i)); do
        grep -q watching "$work/journal-$state" && break
        sleep 0.01
    done
    case "$state" in
        idle) kill -STOP "$cupsd" ;;
        lookup) kill -STOP "$cupsd"; head -c "$bytes" /dev/zero >"$folder/f.prn"; sleep 3 ;;
        sending | following)
            head -c "$bytes" /dev/zero >"$folder/f.prn"
            for ((i = 0; i < 3000; ++i)); do
                lpstat -o "$printer" 2>/dev/null | grep -q "$printer" && break
                sleep 0.01
            done
            [[ $state == following ]] && sleep 2
            kill -STOP "$cupsd"
            ;;
    esac
    local start end status=0
    start=$(now_ns)
    kill -TERM "$pid"
    wait "$pid" || status=$?
    end=$(now_ns)
    kill -CONT "$cupsd"
    cancel -a "$printer" 2>/dev/null || true
    printf '  %-10s %8.0f ms  exit %d\n' "$state" "$(awk -v ns=$((end - start)) 'BEGIN { print ns / 1e6 }')" "$status"
}

echo "== SIGTERM to exit with the scheduler frozen"
stop_time idle Stop_Printer 10
stop_time lookup Stop_Printer 10
stop_time sending Stop_Printer $((300 << 20))
stop_time following Stop_Paused 10 --wait
