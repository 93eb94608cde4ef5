# Shared by the scripts in this folder: Wine, run quietly in a prefix of its own, for the Windows
# build's programs. Source it; don't run it.
#
#   WINEPREFIX   the prefix (default: /tmp/vantrel-wine-UID, made on first use)
#   CUPS_SERVER  the CUPS server Wine's spooler hands jobs to (Wine reads it at every start)

_vantrel_win_here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
VANTREL_ROOT="$(cd "$_vantrel_win_here/../.." && pwd)"

# Debian's wine64 package puts the loader outside PATH.
VANTREL_WINE64="${VANTREL_WINE64:-/usr/lib/wine/wine64}"
VANTREL_WINESERVER="${VANTREL_WINESERVER:-/usr/lib/wine/wineserver}"

wine_die() {
    echo "wine: $*" >&2
    exit 1
}

wine_available() {
    [[ -x "$VANTREL_WINE64" && -x "$VANTREL_WINESERVER" ]]
}

# wine_environment: the environment every Wine process of ours runs in. No display (console
# programs only), no debug chatter, no Mono or Gecko installer prompts.
wine_environment() {
    export WINEPREFIX="${WINEPREFIX:-/tmp/vantrel-wine-$(id -u)}"
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
    export WINEARCH=win64
    unset DISPLAY WAYLAND_DISPLAY
}

# wine_prefix_ready: true when the prefix has been initialised completely.
wine_prefix_ready() {
    [[ -f "$WINEPREFIX/system.reg" && -f "$WINEPREFIX/.vantrel-ready" ]]
}

# wine_init_prefix: creates the prefix when needed and waits until Wine has finished with it.
wine_init_prefix() {
    wine_environment
    if ! wine_prefix_ready; then
        mkdir -p "$WINEPREFIX"
        "$VANTREL_WINE64" wineboot --init >/dev/null 2>&1 ||
            wine_die "wineboot could not set up the prefix $WINEPREFIX"
        "$VANTREL_WINESERVER" -w
        touch "$WINEPREFIX/.vantrel-ready"
    fi
}

# wine_keep_server / wine_stop_server: one wineserver for a whole series of programs, rather
# than one started and torn down for each.
wine_keep_server() {
    "$VANTREL_WINESERVER" -p </dev/null >/dev/null 2>&1
}

wine_stop_server() {
    "$VANTREL_WINESERVER" -k 2>/dev/null || true
    "$VANTREL_WINESERVER" -w 2>/dev/null || true
}

# wine_path UNIX_PATH: the same file as a Windows program under Wine names it (drive Z: is /).
wine_path() {
    local path="$1"
    [[ "$path" == /* ]] || path="$(pwd)/$path"
    printf 'Z:%s\n' "${path//\//\\}"
}

# wait_until SECONDS COMMAND...: true once COMMAND succeeds within SECONDS.
wait_until() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < end)) || return 1
        sleep 0.2
    done
}

# job_count QUEUE: the jobs the capture printer of QUEUE received, under the caller's $capture.
job_count() { find "$capture/$1" -maxdepth 1 -name 'job-*.bin' | wc -l; }
