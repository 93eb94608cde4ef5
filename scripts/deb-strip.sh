#!/bin/sh
# The strip that the Debian package's build gives CPack (scripts/package-deb.sh): as Debian's own
# dh_strip, it also drops the compiler's .comment section and the .note section, which carry
# nothing a program needs (lintian: binary-has-unneeded-section).
exec strip --remove-section=.comment --remove-section=.note "$@"
