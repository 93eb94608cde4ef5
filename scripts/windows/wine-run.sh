#!/usr/bin/env bash
# Runs one Windows program of the cross build under Wine, in the test prefix, passing its
# arguments and exit status through. CMake's cross build uses it as the emulator that ctest runs
# the test executables with.
#
# Usage: wine-run.sh PROGRAM.exe [ARGS...]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

wine_available || wine_die "Wine is not installed (scripts/install-deps.sh --with-windows)"
wine_init_prefix

# The program's output goes through files, not pipes: the helper processes Wine starts on
# first use (winedevice and the like) inherit the standard handles and would hold a pipe open
# long after the program ended. Console output comes with CRLF line ends; they are made plain.
out="$(mktemp /tmp/vantrel-wine-out.XXXXXX)"
err="$(mktemp /tmp/vantrel-wine-err.XXXXXX)"
trap 'rm -f "$out" "$err"' EXIT
set +e
"$VANTREL_WINE64" "$@" </dev/null >"$out" 2>"$err"
status=$?
set -e
tr -d '\r' <"$out"
tr -d '\r' <"$err" >&2
exit "$status"
