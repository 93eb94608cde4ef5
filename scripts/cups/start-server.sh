#!/usr/bin/env bash
# Starts a private CUPS scheduler for the tests, with its own configuration, spool, state and
# logs in one directory, listening only on a unix socket in that directory. The system's CUPS is
# not touched. Run as root.
#
# Usage: start-server.sh [DIR]       (DIR defaults to a new directory under /tmp)
#
# Queues, all raw, each device a capture printer storing into DIR/capture/QUEUE/:
#   Office_Laser   the server's default printer
#   Label_Printer
#   Closed_Desk    rejects jobs (cupsreject)
#   Paused_Desk    accepts jobs but is disabled, so they are held
# and two whose device refuses the connection (no capture printer):
#   Refused_Abort  its jobs are aborted (printer-error-policy abort-job)
#   Refused_Stop   the queue stops and its jobs wait in it (stop-printer)
#
# Prints the client environment as "export NAME=value" lines for eval, and writes it to DIR/env.
# Stop everything with stop-server.sh DIR.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

dir="${1:-}"
if [[ -z "$dir" ]]; then
    dir="$(mktemp -d /tmp/vantrel-cups.XXXXXX)"
else
    mkdir -p "$dir"
    dir="$(cd "$dir" && pwd)"
fi
cups_running "$dir" && cups_die "a scheduler already runs in $dir"

cups_start_scheduler "$dir" abort-job
cups_add_capture_queue "$dir" Office_Laser
cups_add_capture_queue "$dir" Label_Printer
cups_add_capture_queue "$dir" Closed_Desk
cups_add_capture_queue "$dir" Paused_Desk
cups_add_refusing_queue "$dir" Refused_Abort abort-job
cups_add_refusing_queue "$dir" Refused_Stop stop-printer
cups_client "$dir" lpadmin -d Office_Laser
cups_client "$dir" cupsreject -r "closed for the tests" Closed_Desk
cups_client "$dir" cupsdisable -r "paused for the tests" Paused_Desk
cups_write_env "$dir" --tests
sed 's/^/export /' "$dir/env"
