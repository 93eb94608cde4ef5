#!/usr/bin/env bash
# Proves that the headless AutoPrint works inside the sandbox of its systemd user unit: starts a
# real user service manager for an ordinary user (nobody), starts the unit with it, drops two
# files into the user's drop directory and checks that a private CUPS scheduler's capture printer
# received each one byte for byte and that both files are gone. The unit is the one the user
# manager finds itself (the installed /usr/lib/systemd/user/vantrel-autoprint.service); only
# where the scheduler is, and where the service's messages go, are added in a drop-in.
#
# The manager runs in a mount namespace of its own, in which /run/systemd/system exists (a
# manager refuses to run on a system not booted with systemd, a container's) with the directory
# the sandboxes are built in, /run/systemd/unit-root, and in control
# groups made for it and handed to the user. Nothing outside is changed; everything goes again
# at the end. The scheduler and the user's home are under /run, since the unit gives the service
# a /tmp of its own. Run as root. Exit status 0 only when both files were printed and deleted.
#
# Usage: scripts/test-user-unit.sh [UNIT_NAME]   (default: vantrel-autoprint.service)
#   VANTREL_UNIT_DIR   a directory the user's manager also loads units from (a unit under test
#                      that is not installed)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
unit="${1:-vantrel-autoprint.service}"
source "$root/scripts/cups/common.sh"

say() { echo "test-user-unit: $*" >&2; }
[[ $(id -u) -eq 0 ]] || { say "run as root"; exit 1; }

work="$(mktemp -d /run/vantrel-user-unit.XXXXXX)"
chmod 755 "$work"
home="$work/home" runtime="$work/runtime"
mkdir -p "$home/.config/systemd/user/$unit.d" "$runtime"
manager_pid=""
cgroups=()

cleanup() {
    local status=$?
    [[ -n "$manager_pid" ]] && kill -TERM "$manager_pid" 2>/dev/null && wait "$manager_pid" || true
    cups_stop "$work/cups"
    local group
    for group in "${cgroups[@]}"; do find "$group" -depth -type d -exec rmdir {} + 2>/dev/null || true; done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

as_user() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$runtime" LANG=C.UTF-8 "$@"
}

# The scheduler, with the default printer the unit prints on.
cups_start_scheduler "$work/cups"
cups_add_capture_queue "$work/cups" Label_Printer
cups_client "$work/cups" lpadmin -d Label_Printer
cat >"$home/.config/systemd/user/$unit.d/test.conf" <<EOF
[Service]
Environment=CUPS_SERVER=$work/cups/cups.sock CUPS_SERVERROOT=$work/cups/etc
StandardError=append:$work/service.log
EOF
if [[ -n "${VANTREL_UNIT_DIR:-}" ]]; then
    cp "$VANTREL_UNIT_DIR/$unit" "$home/.config/systemd/user/"
fi
touch "$work/service.log"
chown -R nobody:nogroup "$home" "$runtime" "$work/service.log"
chmod 700 "$runtime"

# Control groups of the manager's own, in each hierarchy that tracks processes.
for hierarchy in /sys/fs/cgroup/unified /sys/fs/cgroup/systemd /sys/fs/cgroup; do
    [[ -f "$hierarchy/cgroup.procs" ]] || continue
    group="$hierarchy/$(basename "$work")"
    mkdir "$group" && chown -R nobody:nogroup "$group" && cgroups+=("$group")
done
((${#cgroups[@]})) || { say "no control group hierarchy to run a service manager in"; exit 1; }

# The manager, as the user; its launcher first moves itself into the control groups.
launch="for g in ${cgroups[*]}; do echo \$\$ >\"\$g/cgroup.procs\"; done
if [[ ! -d /run/systemd/system ]]; then
    mkdir -p /run/systemd && mount -t tmpfs -o mode=755 tmpfs /run/systemd
    mkdir /run/systemd/system /run/systemd/unit-root
fi
exec setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH=/usr/bin:/bin \
    HOME='$home' XDG_RUNTIME_DIR='$runtime' LANG=C.UTF-8 /usr/lib/systemd/systemd --user"
unshare --mount --propagation private bash -c "$launch" >"$work/manager.log" 2>&1 &
manager_pid=$!
for ((i = 0; i < 100; ++i)); do
    [[ -S "$runtime/systemd/private" ]] && as_user systemctl --user show-environment \
        >/dev/null 2>&1 && break
    kill -0 "$manager_pid" 2>/dev/null || break
    sleep 0.1
done
[[ -S "$runtime/systemd/private" ]] || {
    say "the user's service manager did not start:"
    cat "$work/manager.log" >&2
    exit 1
}

status=0
if ! as_user systemctl --user start "$unit"; then
    say "systemctl --user start $unit failed:"
    as_user systemctl --user status "$unit" >&2 || true
    cat "$work/service.log" >&2 2>/dev/null || true
    exit 1
fi
drop="$home/.local/share/Vantrel/RawSpool"
for ((i = 0; i < 100; ++i)); do
    [[ -d "$drop" ]] && grep -q "watching" "$work/service.log" 2>/dev/null && break
    sleep 0.1
done
if [[ ! -d "$drop" ]]; then
    say "the service does not watch $drop:"
    as_user systemctl --user status "$unit" >&2 || true
    sed 's/^/test-user-unit: service: /' "$work/service.log" >&2
    exit 1
fi

# Two files as the user writes them, each printed once and deleted.
declare -A sent=([first.prn]=$'\x1b@first label\f' [second.prn]="$(head -c 5000 /dev/urandom | base64)")
for name in "${!sent[@]}"; do
    printf '%s' "${sent[$name]}" | as_user tee "$drop/.$name" >/dev/null
    as_user mv "$drop/.$name" "$drop/$name"
done
capture="$work/cups/capture/Label_Printer"
for ((i = 0; i < 300; ++i)); do
    [[ $(ls "$drop" | wc -l) -eq 0 && $(ls "$capture"/job-*.bin 2>/dev/null | wc -l) -ge 2 ]] && break
    sleep 0.1
done
received=()
for job in "$capture"/job-*.bin; do [[ -f "$job" ]] && received+=("$(cat "$job")"); done
for name in "${!sent[@]}"; do
    found=0
    for bytes in "${received[@]}"; do [[ "$bytes" == "${sent[$name]}" ]] && found=$((found + 1)); done
    if ((found != 1)); then
        say "$name reached the printer $found times, not once"
        status=1
    fi
    if [[ -e "$drop/$name" ]]; then
        say "$name is still in the drop directory"
        status=1
    fi
done
((${#received[@]} == 2)) || { say "the printer received ${#received[@]} jobs, not 2"; status=1; }
as_user systemctl --user stop "$unit" || status=1
if ((status)); then
    as_user systemctl --user status "$unit" >&2 || true
    sed 's/^/test-user-unit: service: /' "$work/service.log" >&2 || true
else
    say "the sandboxed $unit printed and deleted both files"
fi
exit "$status"
