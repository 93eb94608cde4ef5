# Shared by the scripts in this folder: a private CUPS scheduler in a directory of its own, and
# raw queues whose device is a capture printer on a loopback port. Source it; don't run it.
#
# Layout of a server directory D:
#   D/cups.sock          the scheduler's only listener (clients: CUPS_SERVER=D/cups.sock)
#   D/etc/               ServerRoot: cupsd.conf, cups-files.conf, printers.conf, ppd/
#   D/spool/ D/state/ D/cache/ D/log/
#   D/capture/QUEUE/     what the queue's capture printer received: job-0001.bin, ..., capture.log
#   D/pids/              one pid file per process we started (cupsd, capture-QUEUE)
#   D/env                the client environment, as shell assignments

_vantrel_cups_here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
VANTREL_ROOT="$(cd "$_vantrel_cups_here/../.." && pwd)"

cups_die() {
    echo "cups: $*" >&2
    exit 1
}

# cups_client D ARGS...: runs a CUPS client program against the server in D.
cups_client() {
    local dir="$1"
    shift
    CUPS_SERVER="$dir/cups.sock" "$@"
}

cups_running() {
    local dir="$1"
    [[ -S "$dir/cups.sock" ]] || return 1
    # lpstat -r exits 0 whether or not a scheduler answers; only its text tells.
    cups_client "$dir" lpstat -r 2>/dev/null | grep -q "scheduler is running"
}

# cups_find_capture_bin: prints the path of a built capture_printer, building one into
# $VANTREL_CAPTURE_CACHE (default /tmp/vantrel-tools) when no build directory has it.
cups_find_capture_bin() {
    if [[ -n "${VANTREL_CAPTURE_BIN:-}" && -x "$VANTREL_CAPTURE_BIN" ]]; then
        echo "$VANTREL_CAPTURE_BIN"
        return
    fi
    local candidate
    for candidate in "$VANTREL_ROOT"/build*/tests/integration/capture_printer; do
        if [[ -x "$candidate" && "$candidate" -nt "$VANTREL_ROOT/scripts/cups/capture_printer.cpp" ]]; then
            echo "$candidate"
            return
        fi
    done
    local cache="${VANTREL_CAPTURE_CACHE:-/tmp/vantrel-tools}"
    local built="$cache/capture_printer"
    if [[ ! -x "$built" || "$VANTREL_ROOT/scripts/cups/capture_printer.cpp" -nt "$built" ]]; then
        mkdir -p "$cache"
        c++ -std=c++20 -O2 -o "$built.new" "$VANTREL_ROOT/scripts/cups/capture_printer.cpp" ||
            cups_die "could not build the capture printer"
        mv "$built.new" "$built"
    fi
    echo "$built"
}

# cups_write_config D ERROR_POLICY: the scheduler's configuration, touching nothing outside D.
cups_write_config() {
    local dir="$1" policy="$2"
    mkdir -p "$dir/etc/ppd" "$dir/spool/tmp" "$dir/state" "$dir/cache" "$dir/log" \
        "$dir/capture" "$dir/pids"
    # Filters and backends run as lp and must reach the spool through these directories.
    chmod 755 "$dir"
    local parent="$dir" perms
    while [[ "$parent" != / ]]; do
        parent="$(dirname "$parent")"
        perms="$(stat -c %A "$parent")"
        [[ "${perms:9:1}" == [xt] ]] ||
            cups_die "the lp user can't reach $dir: $parent must be searchable by others (chmod o+x)"
    done
    cat >"$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
StateDir $dir/state
CacheDir $dir/cache
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
ServerKeychain $dir/etc/ssl
CreateSelfSignedCerts no
FileDevice Yes
User lp
Group lp
SystemGroup root
EOF
    cat >"$dir/etc/cupsd.conf" <<EOF
LogLevel warn
MaxLogSize 0
Listen $dir/cups.sock
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
ErrorPolicy $policy
# Finished jobs are listed for half a minute: long enough for a test to look one up, short
# enough that a long-lived scheduler never holds more than the 500 jobs it lists at most.
PreserveJobHistory 30
PreserveJobFiles No
MaxJobs ${VANTREL_CUPS_MAX_JOBS:-0}
AccessLogLevel ${VANTREL_CUPS_ACCESS_LOG_LEVEL:-actions}
# A job whose sender died before its document ended is given up after 20 s, not 15 minutes, so
# that a test of a service killed mid-document sees its copy sent again.
MultipleOperationTimeout 20
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
}

# cups_start_scheduler D [ERROR_POLICY]: starts cupsd for D and waits until it answers.
cups_start_scheduler() {
    local dir="$1" policy="${2:-abort-job}"
    [[ $(id -u) -eq 0 ]] || cups_die "the private scheduler must be started as root"
    command -v cupsd >/dev/null || PATH="$PATH:/usr/sbin"
    command -v cupsd >/dev/null || cups_die "cupsd is missing (scripts/install-deps.sh installs it)"
    [[ -x /usr/lib/cups/backend/socket ]] ||
        cups_die "the CUPS socket backend is missing (package 'cups')"
    cups_write_config "$dir" "$policy"
    cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" \
        </dev/null >>"$dir/log/cupsd.out" 2>&1 &
    echo $! >"$dir/pids/cupsd"
    local i
    for ((i = 0; i < 200; ++i)); do
        cups_running "$dir" && return 0
        kill -0 "$(cat "$dir/pids/cupsd")" 2>/dev/null || break
        sleep 0.05
    done
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    cups_die "the private scheduler in $dir did not start"
}

# cups_add_capture_queue D QUEUE [--discard]: a raw queue whose device is a new capture printer
# that stores into D/capture/QUEUE.
cups_add_capture_queue() {
    local dir="$1" queue="$2"
    shift 2
    local capture_bin
    capture_bin="$(cups_find_capture_bin)"
    local port_file="$dir/capture/$queue.port"
    rm -f "$port_file"
    "$capture_bin" --dir "$dir/capture/$queue" --port-file "$port_file" "$@" \
        </dev/null >>"$dir/log/capture-$queue.out" 2>&1 &
    echo $! >"$dir/pids/capture-$queue"
    local i
    for ((i = 0; i < 200; ++i)); do
        [[ -s "$port_file" ]] && break
        sleep 0.02
    done
    [[ -s "$port_file" ]] || cups_die "the capture printer for $queue did not start"
    cups_client "$dir" lpadmin -p "$queue" -E -v "socket://127.0.0.1:$(cat "$port_file")" \
        -m raw -o printer-is-shared=false 2>&1 | grep -v -i "deprecated\|will not be supported" >&2 || true
    cups_client "$dir" lpstat -p "$queue" >/dev/null 2>&1 || cups_die "could not add the queue $queue"
}

# cups_write_env D [--tests]: writes D/env with what a client of the server in D needs; with
# --tests also VANTREL_TEST_CUPS_DIR, which tells the integration tests where their queues are.
cups_write_env() {
    local dir="$1"
    # CUPS_SERVERROOT keeps the system's client.conf and lpoptions (a system-wide default
    # printer) out of the clients' view.
    {
        echo "CUPS_SERVER=$dir/cups.sock"
        echo "CUPS_SERVERROOT=$dir/etc"
        if [[ "${2:-}" == "--tests" ]]; then echo "VANTREL_TEST_CUPS_DIR=$dir"; fi
    } >"$dir/env.tmp"
    mv "$dir/env.tmp" "$dir/env"
}

# cups_stop D: ends the scheduler and the capture printers that were started for D.
cups_stop() {
    local dir="$1" pid_file pid i
    [[ -d "$dir/pids" ]] || return 0
    for pid_file in "$dir"/pids/*; do
        [[ -f "$pid_file" ]] || continue
        pid="$(cat "$pid_file")"
        if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
            kill -TERM "$pid" 2>/dev/null || true
            for ((i = 0; i < 100; ++i)); do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.05
            done
            kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
        fi
        rm -f "$pid_file"
    done
    rm -f "$dir/cups.sock"
}

# cups_add_refusing_queue D QUEUE POLICY: a raw queue whose device refuses every connection
# (nothing listens on port 1 of the loopback; only root could), with the error policy POLICY
# (abort-job, stop-printer, ...). The socket backend gives up after its first retry, some five
# seconds, and says "The printer is not responding.".
cups_add_refusing_queue() {
    local dir="$1" queue="$2" policy="$3"
    cups_client "$dir" lpadmin -p "$queue" -E -v "socket://127.0.0.1:1/?contimeout=1" -m raw \
        -o printer-is-shared=false -o printer-error-policy="$policy" 2>&1 |
        grep -v -i "deprecated\|will not be supported" >&2 || true
    cups_client "$dir" lpstat -p "$queue" >/dev/null 2>&1 || cups_die "could not add the queue $queue"
}
