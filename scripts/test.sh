#!/usr/bin/env bash
# The test command: set-up, both builds, then every test in one CTest run: the native tests under
# AddressSanitizer and UBSan, bounded fuzz runs of the cartridge decoder and the theme-package
# reader, and the Windows tests under Wine, all inside one Xvfb and one wineserver. Extra arguments go to CTest (e.g. -R codec).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VENNMARK_BUILD_DIR:-$root/build}

bash "$root/scripts/setup-env.sh"
bash "$root/scripts/build.sh"
# shellcheck source=route.sh
. "$root/scripts/route.sh"
route_detect

export VENNMARK_WINEPREFIX=${VENNMARK_WINEPREFIX:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/vennmark/wine32}
# One wineserver for the whole run, kept alive between test programs and stopped at the end.
inner='
  export WINEPREFIX="$VENNMARK_WINEPREFIX" LANG=zh_CN.UTF-8
  wineserver -p
  # Start the helper processes of Wine once, before the first test pays for them.
  WINEDEBUG=-all wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  rc=0
  ctest --test-dir "$1" --output-on-failure -j "$(nproc)" "${@:2}" || rc=$?
  # -k returns before the server has gone; a run started meanwhile would join the dying one.
  wineserver -k || true
  wineserver -w || true
  exit $rc'
rc=0
route_exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$inner" ctest-under-xvfb "$build/win" "$@" ||
  rc=$?

# CTest shows nothing of a program that passed: name each case a program skipped, and why.
log="$build/win/Testing/Temporary/LastTest.log"
if [ -f "$log" ]; then
  awk '
    /^[0-9]+\/[0-9]+ Testing: / { program = $3 }
    /: Skipped$/ { getline reason }
    /^\[  SKIPPED \] [^ ]+ \([0-9]+ ms\)$/ { n++; list = list "  " program ": " $4 " (" reason ")\n" }
    END { if (n) printf "test: %d test cases skipped:\n%s", n, list }' "$log"
fi
exit $rc
