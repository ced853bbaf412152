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
# shellcheck source=route.sh
. "$root/scripts/route.sh"
route_detect

if [ ! -f "$app/$program" ]; then
  echo "run: $program is not built yet; the program folder $app holds what exists:"
  ls "$app"
  exit 0
fi

cd "$app"
if [ -n "${DISPLAY:-}" ]; then
  route_exec "$root/scripts/wine-run.sh" "$program"
  exit
fi

inner='
  export WINEPREFIX="$VENNMARK_WINEPREFIX" LANG=zh_CN.UTF-8
  wineserver -p
  shots=$(mktemp -d)
  xwd -root -silent > "$shots/empty.xwd"
  "$1/scripts/wine-run.sh" "$2" &
  pid=$!
  # The shot is taken once the program has drawn its window: the screen differs from the empty
  # one and has stopped changing for a while. A caret or a hover may still blink, so a few
  # changed pixels count as unchanged. Under emulation that takes several times longer.
  wait_for_window=$((SECONDS + ${VENNMARK_SHOT_TIMEOUT:-120}))
  calm=0
  cp "$shots/empty.xwd" "$shots/last.xwd"
  while [ "$calm" -lt 4 ] && [ "$SECONDS" -lt "$wait_for_window" ] && kill -0 "$pid" 2>/dev/null; do
    sleep 0.5
    xwd -root -silent > "$shots/now.xwd"
    shown=$(compare -metric AE "xwd:$shots/empty.xwd" "xwd:$shots/now.xwd" null: 2>&1 || true)
    moved=$(compare -metric AE "xwd:$shots/last.xwd" "xwd:$shots/now.xwd" null: 2>&1 || true)
    if [ "${shown%%.*}" -gt 10000 ] 2>/dev/null && [ "${moved%%.*}" -lt 200 ] 2>/dev/null; then
      calm=$((calm + 1))
    else
      calm=0
    fi
    mv "$shots/now.xwd" "$shots/last.xwd"
  done
  [ "$calm" -ge 4 ] || echo "run: $2 showed no settled window; the screenshot shows what there is"
  convert "xwd:$shots/last.xwd" "png:$3"
  rm -rf "$shots"
  kill $pid 2>/dev/null || true
  # -k returns before the server has gone; a run started meanwhile would join the dying one.
  wineserver -k || true
  wineserver -w || true'
export VENNMARK_WINEPREFIX=${VENNMARK_WINEPREFIX:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/vennmark/wine32}
route_exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$inner" run-under-xvfb "$root" "$program" "$shot"
echo "run: no display; $program ran under Xvfb and its screenshot is $shot"
