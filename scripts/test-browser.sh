#!/usr/bin/env bash
# The web endpoint from a real browser (Debian's headless Chromium): a page served from an
# allowed origin on another local port lists the printers, prints a 1 KB label with fetch
# (docs/vantrel.js) twice with one Idempotency-Key, and follows its job to "completed"; the
# capture printer receives it once, byte for byte. A page from an origin not on the list, a
# request with a rebinding Host, and one without the token print nothing and are refused.
#
# Usage: scripts/test-browser.sh [BUILD_DIR]    (default: build/; run as root)
# Uses the private CUPS server of the environment (VANTREL_TEST_CUPS_DIR, as scripts/test.sh
# exports it) or starts one of its own (VANTREL_CAPTURE_BIN names its capture printer).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
vantrel="$build/src/app/vantrel"
bash "$root/scripts/install-deps.sh" --with-browser

work="$(mktemp -d /tmp/vantrel-browser.XXXXXX)"
chmod 755 "$work"
groups=()  # process groups started here, each ended by its own id
own_cups=""
finish() {
    local group
    for group in "${groups[@]}"; do kill -- "-$group" 2>/dev/null || true; done
    [[ -n "$own_cups" ]] && bash "$root/scripts/cups/stop-server.sh" "$work/cups" || true
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "test-browser: FAIL: $*" >&2
    echo "--- the endpoint's journal:" >&2
    cat "$work/journal" >&2 || true
    exit 1
}
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
    local tries=$(($1 * 10))
    shift
    until "$@"; do
        ((--tries > 0)) || return 1
        sleep 0.1
    done
}

if [[ -z "${VANTREL_TEST_CUPS_DIR:-}" ]]; then
    eval "$(bash "$root/scripts/cups/start-server.sh" "$work/cups")"
    own_cups=1
fi
export HOME="$work/home" ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
mkdir -p "$HOME" "$work/pages"
cp "$root/docs/vantrel.js" "$root/scripts/browser/serve_page.html" "$work/pages/"

setsid python3 "$root/scripts/browser/page_server.py" "$work/pages" "$work/page-port" &
groups+=($!)
wait_for 10 test -s "$work/page-port" || fail "the page server did not start"
page_port="$(cat "$work/page-port")"
allowed="http://127.0.0.1:$page_port"

setsid "$vantrel" --serve --port 0 --allow-origin "$allowed" 2>"$work/journal" &
groups+=($!)
wait_for 30 grep -q "serving on" "$work/journal" || fail "the endpoint did not start"
port="$(sed -n 's|.*serving on http://127\.0\.0\.1:\([0-9]*\).*|\1|p' "$work/journal")"
token="$("$vantrel" --serve --show-token)"
captures="$VANTREL_TEST_CUPS_DIR/capture/Label_Printer"
mkdir -p "$captures"
count_before="$(find "$captures" -name 'job-*.bin' | wc -l)"

# browse MODE PAGE_ORIGIN ENDPOINT_URL: opens the page in a new headless Chromium and waits for
# its report.
browse() {
    setsid chromium --headless --no-sandbox --disable-gpu --no-first-run \
        --user-data-dir="$work/profile-$1" --host-resolver-rules="MAP rebind.test 127.0.0.1" \
        "$2/serve_page.html#mode=$1&url=$3&token=$token" >"$work/chromium-$1.log" 2>&1 &
    local group=$!
    groups+=("$group")
    wait_for 90 test -s "$work/pages/$1.json" || fail "the $1 page reported nothing"
    kill -- "-$group" 2>/dev/null || true
    echo "test-browser: $1: $(cat "$work/pages/$1.json")"
}
browse allowed "$allowed" "http://127.0.0.1:$port"
browse other "http://localhost:$page_port" "http://127.0.0.1:$port"
browse rebind "$allowed" "http://rebind.test:$port"

python3 - "$work/pages" "$captures" "$count_before" <<'CHECK' || fail "see above"
import glob, json, os, sys
pages, captures, before = sys.argv[1], sys.argv[2], int(sys.argv[3])
report = {m: json.load(open(os.path.join(pages, m + ".json"))) for m in ("allowed", "other", "rebind")}
a = report["allowed"]
problems = []
def check(ok, what):
    if not ok:
        problems.append(what)
check("Label_Printer" in [p["name"] for p in a["printers"]], "the page lists the printers")
check(len(a["first"].get("jobs", [])) == 1, "the page's print is answered with its job")
check(a["retry"].get("repeated") is True and a["retry"].get("jobs") == a["first"].get("jobs"),
      "the retry with the same key answers the first job")
check(a["job"].get("state") == "completed", "the job is followed to completed")
check(a["noToken"].get("status") == 401, "a request without the token is refused with 401")
for mode in ("other", "rebind"):
    check("failed" in report[mode]["print"], "the " + mode + " page cannot print")
jobs = sorted(glob.glob(os.path.join(captures, "job-*.bin")))[before:]
check(len(jobs) == 1, "the label is printed once (printed: %d)" % len(jobs))
check(all(open(j, "rb").read() == bytes(i % 256 for i in range(1024)) for j in jobs),
      "the printer receives the label byte for byte")
for problem in problems:
    print("test-browser: not so: " + problem, file=sys.stderr)
sys.exit(1 if problems else 0)
CHECK
# The preflight is refused, and the simple request that needs none too, before its body is read.
for method in OPTIONS POST; do
    grep -q "refused $method /jobs: origin http://localhost:$page_port is not allowed" \
        "$work/journal" || fail "the other page's $method is not refused in the journal"
    grep -q "refused $method /jobs: Host \"rebind.test:$port\" is not this server" \
        "$work/journal" || fail "the rebinding Host's $method is not refused in the journal"
done
echo "test-browser: PASS"
