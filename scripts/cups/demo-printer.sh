#!/usr/bin/env bash
# Makes sure there is a printer for a demonstration run of vantrel.
#
# When a CUPS scheduler answers (the system's, or the one CUPS_SERVER names) and has a queue,
# this changes nothing and prints nothing. Otherwise (no scheduler answers, or the one that does
# has no queue, as a freshly installed cups-daemon) it starts a private scheduler in
# /tmp/vantrel-demo (or $VANTREL_DEMO_DIR), or reuses the one a previous call started there, with
# one raw queue, Demo_Printer, as the default. Whatever it prints lands in files:
#     /tmp/vantrel-demo/capture/Demo_Printer/job-0001.bin, job-0002.bin, ...
# and prints the client environment as "export NAME=value" lines for eval, VANTREL_DEMO_DIR
# among them. The system's CUPS configuration is never changed.
#
# Usage: eval "$(scripts/cups/demo-printer.sh)"
#        scripts/cups/demo-printer.sh --env-file FILE   (writes the lines to FILE instead;
#                                                        an empty FILE when nothing was needed)
#        scripts/cups/demo-printer.sh --stop            (stops the private scheduler)
# Starting the scheduler needs root.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

dir="${VANTREL_DEMO_DIR:-/tmp/vantrel-demo}"
queue=Demo_Printer
env_file=""
case "${1:-}" in
--stop)
    cups_stop "$dir"
    exit 0
    ;;
--env-file)
    env_file="${2:?--env-file needs a file name}"
    ;;
"") ;;
*)
    echo "usage: demo-printer.sh [--env-file FILE | --stop]" >&2
    exit 2
    ;;
esac

# One directory however it is named, so that the environment names it in full.
if [[ -d "$dir" ]]; then dir="$(cd "$dir" && pwd)"; fi

# emit [DIR]: the client environment of the private scheduler in DIR, or nothing.
emit() {
    local lines=""
    if [[ -n "${1:-}" ]]; then
        lines="$(sed 's/^/export /' "$1/env"; echo "export VANTREL_DEMO_DIR=$1")"
    fi
    if [[ -n "$env_file" ]]; then
        if [[ -n "$lines" ]]; then echo "$lines" >"$env_file"; else : >"$env_file"; fi
    elif [[ -n "$lines" ]]; then
        echo "$lines"
    fi
}

# The scheduler the clients reach as things are. Its queues are what the scheduler itself keeps
# (lpstat -v), not printers merely seen on the network, which vantrel does not list either.
if LC_ALL=C lpstat -r 2>/dev/null | grep -q "scheduler is running"; then
    if LC_ALL=C lpstat -v 2>/dev/null | grep -q "^device for "; then
        emit
        exit 0
    fi
    why="the CUPS scheduler that answers has no printer"
else
    why="no CUPS scheduler answered"
fi

if cups_running "$dir"; then
    echo "demo-printer: $why; using the private scheduler in $dir, whose default printer" \
        "$queue prints into $dir/capture/$queue/" >&2
else
    cups_stop "$dir"  # what a crashed or rebooted run may have left
    mkdir -p "$dir"
    dir="$(cd "$dir" && pwd)"
    cups_start_scheduler "$dir" retry-job
    cups_add_capture_queue "$dir" "$queue"
    cups_client "$dir" lpadmin -d "$queue"
    cups_client "$dir" lpadmin -p "$queue" -D "Demo raw printer: jobs land in $dir/capture/$queue/"
    cups_write_env "$dir"
    stop="$0 --stop"
    [[ "$dir" == /tmp/vantrel-demo ]] || stop="VANTREL_DEMO_DIR=$dir $stop"
    echo "demo-printer: $why; started a private one in $dir with the default printer" \
        "$queue, printing into $dir/capture/$queue/ (stop it with: $stop)" >&2
fi
emit "$dir"
