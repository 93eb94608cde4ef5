#!/usr/bin/env bash
# Adds a raw queue to the private CUPS scheduler in DIR (started by start-server.sh or
# demo-printer.sh) whose device is a new capture printer: what it prints lands in
# DIR/capture/QUEUE/job-0001.bin, job-0002.bin, ... With --discard only the sizes and times are
# logged (DIR/capture/QUEUE/capture.log), for very large jobs. With --default it becomes the
# scheduler's default printer.
#
# Usage: add-capture-queue.sh DIR QUEUE [--discard] [--default]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

dir="${1:?usage: add-capture-queue.sh DIR QUEUE [--discard] [--default]}"
queue="${2:?usage: add-capture-queue.sh DIR QUEUE [--discard] [--default]}"
shift 2
capture_args=()
make_default=0
for arg in "$@"; do
    case "$arg" in
    --discard) capture_args+=(--discard) ;;
    --default) make_default=1 ;;
    *) cups_die "unknown option $arg" ;;
    esac
done
cups_running "$dir" || cups_die "no private scheduler runs in $dir"
cups_add_capture_queue "$dir" "$queue" "${capture_args[@]}"
if ((make_default)); then cups_client "$dir" lpadmin -d "$queue"; fi
