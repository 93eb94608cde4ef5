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
# Under load Wine now and then fails to start a program at all: it ends having printed nothing.
# A test program always prints first, so such a start of one is tried once more (never a print
# command's, which could print twice).
if ((status != 0)) && [[ "$1" == *_tests.exe && ! -s "$out" && ! -s "$err" ]]; then
    echo "wine-run: $(basename "$1") failed before it printed anything; starting it again" >&2
    "$VANTREL_WINE64" "$@" </dev/null >"$out" 2>"$err"
    status=$?
fi
set -e
tr -d '\r' <"$out"
tr -d '\r' <"$err" >&2
exit "$status"
