#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's prefix and code page 936.
# CTest uses this as the emulator for every Windows test program.
prefix=${VENNMARK_WINEPREFIX:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/vennmark/wine32}
export WINEPREFIX="$prefix" WINEARCH=win32 LANG=zh_CN.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's helper processes (services, explorer) outlive the program and inherit its output: were
# that CTest's pipe, CTest would wait for them until its time-out. So the output goes through a
# file that the helpers may keep open as long as they like.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
wine "$@" >"$out" 2>&1
rc=$?
cat "$out"
exit $rc
