#!/usr/bin/env bash
# The test command. Installs what is missing (scripts/install-deps.sh), builds everything with
# warnings as errors, starts a private CUPS scheduler with raw capture queues, and runs every
# test: unit tests, the forms' tests offscreen, and the integration tests that drive the real
# vantrel program through that scheduler. The scheduler is stopped whatever happens.
# Exits with ctest's status.
#
# Usage: scripts/test.sh [BUILD_DIR]      (default: build/ in the repository; run as root)
#   VANTREL_JOBS   parallel build and test jobs (default 2)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
jobs="${VANTREL_JOBS:-2}"

bash "$root/scripts/install-deps.sh"
# Gates that keep the tree clean: formatted as .clang-format says, tests about a third of the
# product's size, and each folder including only from the floors below it. They are reported at
# the end; the tests run either way.
gates=0
bash "$root/scripts/check-format.sh" || gates=1
bash "$root/scripts/test-ratio.sh" || gates=1
bash "$root/scripts/check-layers.sh" || gates=1
# Every test runs on a build with AddressSanitizer and UndefinedBehaviorSanitizer; the release
# build with Debian's hardening is the package's (scripts/test-deb.sh).
cmake -S "$root" -B "$build" -DVANTREL_WERROR=ON -DVANTREL_SANITIZE=ON
cmake --build "$build" -j"$jobs"
# Leaks are not looked for: Qt, fontconfig and libcups keep caches for the process's life.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=0" UBSAN_OPTIONS="print_stacktrace=1"

run_dir="$(mktemp -d /tmp/vantrel-test-run.XXXXXX)"
chmod 755 "$run_dir"  # the scheduler's backends run as lp and read the spool inside
status=1
finish() {
    bash "$root/scripts/cups/stop-server.sh" "$run_dir/cups" || true
    if [[ $status -eq 0 ]]; then
        rm -rf "$run_dir"
    else
        echo "test.sh: the private CUPS server's logs are kept in $run_dir/cups/log" >&2
        # Where only the output is kept (CI), the scheduler's and the capture printers' own words
        # on the failure come with it.
        local log
        for log in "$run_dir"/cups/log/error_log "$run_dir"/cups/log/capture-*.out; do
            [[ -s "$log" ]] || continue
            echo "test.sh: the last lines of $(basename "$log"):" >&2
            tail -n 40 "$log" >&2
        done
    fi
}
trap finish EXIT
trap 'exit 130' INT TERM

# The tests get a home of their own: no lpoptions, CUPS client settings or Vantrel settings of
# whoever runs them, and nothing of theirs is touched.
export HOME="$run_dir/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" \
    XDG_CACHE_HOME="$HOME/.cache" XDG_RUNTIME_DIR="$run_dir/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset LPDEST PRINTER
export QT_QPA_PLATFORM=offscreen

export VANTREL_CAPTURE_BIN="$build/tests/integration/capture_printer"
cups_env="$(bash "$root/scripts/cups/start-server.sh" "$run_dir/cups")"
eval "$cups_env"
# With the server up, the integration tests must run: they fail instead of skipping.
export VANTREL_REQUIRE_CUPS=1

set +e
ctest --test-dir "$build" --output-on-failure -j"$jobs"
status=$?
# The web endpoint from a real browser (headless Chromium), on the private CUPS server above.
bash "$root/scripts/test-browser.sh" "$build" || status=1
# The first run as the README tells it, with a system CUPS that answers but has no printer.
bash "$root/scripts/test-first-run.sh" "$build" || status=1
# The Windows build: cross-compiled with mingw-w64, its tests run under Wine against a private
# CUPS server of its own.
bash "$root/scripts/windows/test-under-wine.sh" "$build-win" || status=1
# The .deb: built, installed with apt-get, run, and removed again.
bash "$root/scripts/test-deb.sh" "$build-deb" || status=1
set -e
if ((gates)); then
    echo "test.sh: a gate failed: see check-format, test-ratio and check-layers above" >&2
    status=1
fi
exit "$status"
