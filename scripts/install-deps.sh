#!/usr/bin/env bash
# Installs what building, running and testing Vantrel needs on Debian 12 (run as root).
# Pass "--with-windows" to add the mingw-w64 cross compiler, Wine and what the Windows packages
# and their tests need (NSIS, the icon tools, an X server with a window manager driven by
# keyboard, a screenshot to PNG), "--with-package-checks" to add the tools that check the Debian
# package (scripts/test-deb.sh), "--with-browser" to add the headless Chromium of the web
# endpoint's browser test (scripts/test-browser.sh).
set -euo pipefail

packages=(cmake g++ make pkg-config qt6-base-dev qt6-svg-dev libcups2-dev cups cups-client
          cups-daemon googletest libgtest-dev libgmock-dev fonts-dejavu-core dpkg-dev
          desktop-file-utils clang-format libmicrohttpd-dev)
for option in "$@"; do
    case "$option" in
    --with-windows)
        packages+=(g++-mingw-w64-x86-64 wine64 wine qt6-base-dev-tools xz-utils zip unzip nsis
                   librsvg2-bin icoutils xvfb xauth openbox xdotool x11-apps netpbm) ;;
    # hardening-check is in devscripts.
    --with-package-checks) packages+=(lintian devscripts appstream appstream-util man-db) ;;
    --with-browser) packages+=(chromium python3) ;;
    *) echo "install-deps: unknown option $option" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "install-deps: run as root to install: ${missing[*]}" >&2
        exit 1
    fi
    apt-get update -o DPkg::Lock::Timeout=300
    # cups brings the socket backend; recommends would pull in a whole print stack.
    apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"
fi
