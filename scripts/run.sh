#!/usr/bin/env bash
# The run command: set-up, build, lay out the program folder and start the editor there, or the
# preview program with the argument "preview". Without a display the program runs under Xvfb, a
# screenshot is saved, and the program is closed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VENNMARK_BUILD_DIR:-$root/build}
app="$build/win/app"
program=${VENNMARK_PROGRAM:-vennmark.exe}
if [ "${1:-}" = "preview" ]; then
  program=vennmark_preview.exe
fi
shot=${VENNMARK_SCREENSHOT:-$build/screenshot.png}

bash "$root/scripts/setup-env.sh"
bash "$root/scripts/build.sh"

if [ ! -f "$app/$program" ]; then
  echo "run: $program is not built yet; the program folder $app holds what exists:"
  ls "$app"
  exit 0
fi

cd "$app"
if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine-run.sh" "$program"
fi

inner='
  export WINEPREFIX="$VENNMARK_WINEPREFIX" LANG=zh_CN.UTF-8
  wineserver -p
  "$1/scripts/wine-run.sh" "$2" &
  pid=$!
  sleep "${VENNMARK_SHOT_DELAY:-6}"
  xwd -root -silent | convert xwd:- "png:$3"
  kill $pid 2>/dev/null || true
  wineserver -k || true'
export VENNMARK_WINEPREFIX=${VENNMARK_WINEPREFIX:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/vennmark/wine32}
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$inner" run-under-xvfb "$root" "$program" "$shot"
echo "run: no display; $program ran under Xvfb and its screenshot is $shot"
