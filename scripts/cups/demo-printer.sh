#!/usr/bin/env bash
# Makes sure there is a printer for a demonstration run of vantrel.
#
# When a CUPS scheduler answers (the system's, or the one CUPS_SERVER names), this changes
# nothing and prints nothing. Otherwise it starts a private scheduler in /tmp/vantrel-demo (or
# $VANTREL_DEMO_DIR), or reuses the one a previous call started there, with one raw queue,
# Demo_Printer, as the default. Whatever it prints lands in files:
#     /tmp/vantrel-demo/capture/Demo_Printer/job-0001.bin, job-0002.bin, ...
# and prints the client environment as "export NAME=value" lines for eval.
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

emit() {
    if [[ -n "$env_file" ]]; then
        if [[ -n "$1" ]]; then sed 's/^/export /' "$1" >"$env_file"; else : >"$env_file"; fi
    elif [[ -n "$1" ]]; then
        sed 's/^/export /' "$1"
    fi
}

if lpstat -r 2>/dev/null | grep -q "scheduler is running"; then
    emit ""
    exit 0
fi

if ! cups_running "$dir"; then
    cups_stop "$dir"  # what a crashed or rebooted run may have left
    mkdir -p "$dir"
    dir="$(cd "$dir" && pwd)"
    cups_start_scheduler "$dir" retry-job
    cups_add_capture_queue "$dir" "$queue"
    cups_client "$dir" lpadmin -d "$queue"
    cups_client "$dir" lpadmin -p "$queue" -D "Demo raw printer: jobs land in $dir/capture/$queue/"
    cups_write_env "$dir"
    echo "demo-printer: no CUPS scheduler answered; started one in $dir with the default" \
        "printer $queue, printing into $dir/capture/$queue/" >&2
fi
emit "$dir/env"
