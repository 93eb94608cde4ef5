#!/usr/bin/env bash
# Stops the private CUPS scheduler and the capture printers that start-server.sh or
# demo-printer.sh started in DIR. With --remove, deletes DIR as well.
#
# Usage: stop-server.sh DIR [--remove]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

dir="${1:?usage: stop-server.sh DIR [--remove]}"
[[ -d "$dir" ]] || exit 0
cups_stop "$dir"
if [[ "${2:-}" == "--remove" ]]; then
    [[ -f "$dir/etc/cupsd.conf" ]] || cups_die "$dir is not a private CUPS directory"
    rm -rf "$dir"
fi
