#!/usr/bin/env bash
# Builds vantrel and runs it with the given arguments: without any it shows the window, with a
# command line it prints in batch mode (see `scripts/run.sh --help`).
# When no CUPS scheduler answers, a private one with the raw printer Demo_Printer as the default
# is started first (scripts/cups/demo-printer.sh); its prints land in
# /tmp/vantrel-demo/capture/Demo_Printer/.
#
# Usage: scripts/run.sh [vantrel arguments]     (run as root on a fresh machine: it installs
#                                                 what is missing with apt-get)
#   VANTREL_BUILD_DIR   build directory (default: build/ in the repository)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VANTREL_BUILD_DIR:-$root/build}"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target vantrel vantrel_window vantrel_help capture_printer >/dev/null

export VANTREL_CAPTURE_BIN="$build/tests/integration/capture_printer"
env_file="$(mktemp)"
trap 'rm -f "$env_file"' EXIT
bash "$root/scripts/cups/demo-printer.sh" --env-file "$env_file"
source "$env_file"

if [[ $# -eq 0 && -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "run.sh: there is no display to show the window on; give a file to print instead," \
        "for example: scripts/run.sh README.md" >&2
    exit 2
fi
"$build/src/app/vantrel" "$@"
