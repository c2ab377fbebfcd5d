#!/bin/sh
# Renders a manual page as man(1) would and fails on any warning (groff exits 0 on warnings).
groff=$1
page=$2
warnings=$("$groff" -man -ww -Tutf8 -z -rLL=78n "$page" 2>&1)
if [ -n "$warnings" ]; then
    printf '%s\n' "$warnings"
    exit 1
fi
if command -v man >/dev/null 2>&1; then
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        printf '%s\n' "$warnings"
        exit 1
    fi
fi
echo "$page: no warnings"
